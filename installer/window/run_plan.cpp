#include "window/run_plan.h"

#include <algorithm>

CRunPlan::CRunPlan(std::size_t operationCount, int rowCount)
    : skipMarks_(operationCount, false), lastRow_(rowCount - 1) {}

void CRunPlan::Begin() {
    row_ = 0;
    done_ = 0;
    skipped_ = 0;
    firstBlockingFailure_ = 0;
}

bool CRunPlan::PassOver(std::size_t index) {
    if (!skipMarks_.at(index)) return false;
    ++skipped_;
    ++row_;
    return true;
}

StepShown CRunPlan::Finish(std::size_t index, const StepResult& result) {
    StepShown shown;
    shown.row = row_;
    const bool failed = result.code != 0;
    if (failed) {
        shown.icon = result.blocking ? RowIcon::FailedBlocking : RowIcon::FailedNonBlocking;
    }
    if (!(failed && row_ == lastRow_)) shown.progress = result.progressWeight;

    if (failed && result.blocking) {
        // Its row goes to the next operation, whose icon is drawn on top.
        if (firstBlockingFailure_ == 0) firstBlockingFailure_ = result.code;
        return shown;
    }
    ++done_;
    if (!failed && result.skipFollowing) {
        const std::size_t end =
            std::min(skipMarks_.size(),
                     index + 1 + static_cast<std::size_t>(std::max(0, result.skipCountOnSuccess)));
        for (std::size_t next = index + 1; next < end; ++next) skipMarks_[next] = true;
    }
    ++row_;
    return shown;
}
