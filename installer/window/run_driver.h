#pragma once

#include <windows.h>

#include "operations/operator_base.h"
#include "window/run_view.h"

// Runs the operation list, each operation on a worker thread of its own,
// and decides what the window shows: which operations are skipped, which
// row each uses, how far the progress moves and whether the run succeeded.
// A failed operation does not stop the run; a blocking one keeps it from
// succeeding. Skip marks stay on the operations from one run to the next.
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
    bool Succeeded() const;
    // After Run: the result code of the first blocking operation that
    // failed; 0 when none did.
    int FirstBlockingFailure() const { return firstBlockingFailure_; }

private:
    StepOutcome RunOneOperation(int row, COperatorBase& operation);
    static void RunOnThreadOfItsOwn(COperatorBase& operation);

    OperationList& operations_;
    IRunView& view_;
    DWORD pauseMs_;
    int doneCount_ = 0;
    int skippedCount_ = 0;
    int firstBlockingFailure_ = 0;
};
