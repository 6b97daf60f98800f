#pragma once

#include <cstddef>
#include <optional>
#include <vector>

// The icon a display row gets when its operation has ended.
enum class RowIcon { Succeeded, FailedBlocking, FailedNonBlocking };

// What the plan needs of an operation that has ended.
struct StepResult {
    int code = 0;  // 0 is success
    bool blocking = false;
    bool skipFollowing = false;
    int skipCountOnSuccess = 0;
    int progressWeight = 0;
};

// What the window shows for an operation that has ended.
struct StepShown {
    int row = 0;
    RowIcon icon = RowIcon::Succeeded;
    // Points the overall progress moves on by; none for a failure in the
    // last row.
    std::optional<int> progress;
};

// The run driver's decisions, apart from threads and windows: which
// operations are passed over, which row and icon each one gets, how far the
// progress moves, whether the run succeeded and which blocking failure came
// first. A failed operation does not stop the run; a blocking one keeps it
// from succeeding and leaves its row to the next operation. Skip marks stay
// from one run to the next (Retry reruns what is not marked); the counters
// start again with every run.
class CRunPlan {
public:
    // rowCount is the number of display rows the window has.
    CRunPlan(std::size_t operationCount, int rowCount);

    // A new run over the same operations.
    void Begin();
    // Whether the operation at index is passed over: an operation before it
    // asked to skip it, in this run or an earlier one. Counts it as skipped
    // and moves on to the next row.
    bool PassOver(std::size_t index);
    // The operation at index has ended with result.
    StepShown Finish(std::size_t index, const StepResult& result);

    // After a run: every operation ran without a blocking failure or was
    // skipped.
    bool Succeeded() const { return done_ + skipped_ >= static_cast<int>(skipMarks_.size()); }
    // After a run: the result code of the first blocking operation that
    // failed; 0 when none did.
    int FirstBlockingFailure() const { return firstBlockingFailure_; }
    int Done() const { return done_; }
    int Skipped() const { return skipped_; }

private:
    std::vector<bool> skipMarks_;
    int lastRow_;
    int row_ = 0;
    int done_ = 0;
    int skipped_ = 0;
    int firstBlockingFailure_ = 0;
};
