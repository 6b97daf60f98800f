#include "window/run_driver.h"

#include <algorithm>

#include "framework/worker_thread.h"
#include "operations/operation_log.h"
#include "platform/install_log.h"
#include "platform/stopwatch.h"

namespace {

// The bottom row of the window: a failure there adds nothing to the progress.
constexpr int kLastRow = 4;

}  // namespace

CRunDriver::CRunDriver(OperationList& operations, IRunView& view, DWORD pauseMs)
    : operations_(operations), view_(view), pauseMs_(pauseMs) {}

void CRunDriver::Run() {
    doneCount_ = 0;
    skippedCount_ = 0;
    firstBlockingFailure_ = 0;
    int row = 0;
    for (std::size_t index = 0; index < operations_.size(); ++index) {
        COperatorBase& operation = *operations_[index];
        if (pauseMs_ != 0) Sleep(pauseMs_);
        if (operation.skipped) {
            ++skippedCount_;
            ++row;
            continue;
        }
        const StepOutcome outcome = RunOneOperation(row, operation);
        // A blocking failure leaves its row to the next operation.
        if (outcome == StepOutcome::Failed && operation.blocking) {
            if (firstBlockingFailure_ == 0) firstBlockingFailure_ = operation.result.code;
            continue;
        }
        ++doneCount_;
        if (outcome == StepOutcome::SucceededSkipFollowing) {
            const std::size_t end = std::min(
                operations_.size(),
                index + 1 + static_cast<std::size_t>(std::max(0, operation.skipCountOnSuccess)));
            for (std::size_t next = index + 1; next < end; ++next)
                operations_[next]->skipped = true;
        }
        ++row;
    }
    install_log::Write(
        "run-end", {{"succeeded", Succeeded()}, {"done", doneCount_}, {"skipped", skippedCount_}});
}

bool CRunDriver::Succeeded() const {
    return doneCount_ + skippedCount_ >= static_cast<int>(operations_.size());
}

StepOutcome CRunDriver::RunOneOperation(int row, COperatorBase& operation) {
    view_.ShowRunning(operation);
    LogOperationStart(operation);
    operation.facts = OperationFacts{};
    const Stopwatch stopwatch;
    RunOnThreadOfItsOwn(operation);
    LogOperationEnd(operation, stopwatch.Milliseconds());

    StepOutcome outcome = StepOutcome::Succeeded;
    if (operation.result.code != 0) {
        outcome = StepOutcome::Failed;
    } else if (operation.result.skipFollowing) {
        outcome = StepOutcome::SucceededSkipFollowing;
    }
    view_.ShowOutcome(row, operation, outcome);
    if (!(row == kLastRow && outcome == StepOutcome::Failed)) {
        view_.AddProgress(operation.GetProgressWeight());
    }
    return outcome;
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
