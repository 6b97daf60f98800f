#include "window/run_driver.h"

#include "framework/worker_thread.h"
#include "operations/operation_log.h"
#include "platform/install_log.h"
#include "platform/stopwatch.h"

CRunDriver::CRunDriver(OperationList& operations, IRunView& view, DWORD pauseMs)
    : operations_(operations),
      view_(view),
      pauseMs_(pauseMs),
      plan_(operations.size(), static_cast<int>(kMaxOperationCount)) {}

void CRunDriver::Run() {
    plan_.Begin();
    for (std::size_t index = 0; index < operations_.size(); ++index) {
        if (pauseMs_ != 0) Sleep(pauseMs_);
        if (plan_.PassOver(index)) continue;
        RunOneOperation(index, *operations_[index]);
    }
    install_log::Write(
        "run-end",
        {{"succeeded", plan_.Succeeded()}, {"done", plan_.Done()}, {"skipped", plan_.Skipped()}});
}

void CRunDriver::RunOneOperation(std::size_t index, COperatorBase& operation) {
    view_.ShowRunning(operation);
    LogOperationStart(operation);
    operation.facts = OperationFacts{};
    const Stopwatch stopwatch;
    RunOnThreadOfItsOwn(operation);
    LogOperationEnd(operation, stopwatch.Milliseconds());

    const StepShown shown = plan_.Finish(
        index, {operation.result.code, operation.blocking, operation.result.skipFollowing,
                operation.skipCountOnSuccess, operation.GetProgressWeight()});
    view_.ShowOutcome(shown.row, operation, shown.icon);
    if (shown.progress) view_.AddProgress(*shown.progress);
}

void CRunDriver::RunOnThreadOfItsOwn(COperatorBase& operation) {
    CWorkerThread thread = CWorkerThread::Start([&operation] { operation.Run(); });
    if (!thread) {
        // No thread to be had: run it here rather than not at all.
        operation.Run();
        return;
    }
    WaitForSingleObject(thread.Handle(), INFINITE);
}
