#pragma once

#include <windows.h>

#include "operations/operator_base.h"
#include "window/run_plan.h"
#include "window/run_view.h"

// Runs the operation list, each operation on a worker thread of its own,
// and shows each step as the run plan decides it: which operations are
// skipped, which row each uses, how far the progress moves and whether the
// run succeeded.
class CRunDriver {
public:
    // pauseMs comes before each operation, skipped ones too, so that each
    // step stays on screen long enough to be read.
    CRunDriver(OperationList& operations, IRunView& view, DWORD pauseMs);

    // One run over the list; returns when it has ended. Runs on the calling
    // thread, which nothing else may use the operations from meanwhile.
    void Run();

    // After Run: every operation ran without a blocking failure or was
    // skipped.
    bool Succeeded() const { return plan_.Succeeded(); }
    // After Run: the result code of the first blocking operation that
    // failed; 0 when none did.
    int FirstBlockingFailure() const { return plan_.FirstBlockingFailure(); }

private:
    void RunOneOperation(std::size_t index, COperatorBase& operation);
    static void RunOnThreadOfItsOwn(COperatorBase& operation);

    OperationList& operations_;
    IRunView& view_;
    DWORD pauseMs_;
    CRunPlan plan_;
};
