#include "window/run_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int kRows = 5;

// One operation of a table: its result, and whether it is blocking, asks to
// skip and weighs on the progress.
struct Step {
    int code = 0;
    bool blocking = false;
    int skipCount = 0;  // with skipFollowing on success
    int weight = 5;
};

Step Ok(int weight = 5) { return {0, false, 0, weight}; }
Step SkipNext(int count) { return {0, false, count, 5}; }
Step Fails(int code, bool blocking, int weight = 5) { return {code, blocking, 0, weight}; }

// One run over steps: per operation what the window shows ("P3@row" for
// success, "P1@row" blocking failure, "P2@row" other failure, "skipped"),
// then the progress it added and the run's end.
struct RunSeen {
    std::vector<std::string> rows;
    int progress = 0;
    bool succeeded = false;
    int firstBlockingFailure = 0;
};

RunSeen RunOnce(CRunPlan& plan, const std::vector<Step>& steps) {
    RunSeen run;
    plan.Begin();
    for (std::size_t index = 0; index < steps.size(); ++index) {
        if (plan.PassOver(index)) {
            run.rows.push_back("skipped");
            continue;
        }
        const Step& step = steps[index];
        const StepShown shown = plan.Finish(
            index, {step.code, step.blocking, step.skipCount > 0, step.skipCount, step.weight});
        const char* icon = shown.icon == RowIcon::Succeeded        ? "P3"
                           : shown.icon == RowIcon::FailedBlocking ? "P1"
                                                                   : "P2";
        run.rows.push_back(std::string(icon) + "@" + std::to_string(shown.row));
        run.progress += shown.progress.value_or(0);
    }
    run.succeeded = plan.Succeeded();
    run.firstBlockingFailure = plan.FirstBlockingFailure();
    return run;
}

TEST(RunPlan, DecidesRowsProgressAndTheEndOfARun) {
    const struct {
        const char* name;
        std::vector<Step> steps;
        RunSeen expected;
    } cases[] = {
        {"three checks", {Ok(), Ok(), Ok()}, {{"P3@0", "P3@1", "P3@2"}, 15, true, 0}},
        {"a current product skips download and setup",
         {SkipNext(2), Ok(0), Ok(25)},
         {{"P3@0", "skipped", "skipped"}, 5, true, 0}},
        {"a skip past the end of the list", {SkipNext(9), Ok()}, {{"P3@0", "skipped"}, 5, true, 0}},
        {"a failure to skip does not skip",
         {{101, false, 2, 5}, Ok(), Ok()},
         {{"P2@0", "P3@1", "P3@2"}, 15, true, 0}},
        {"a failure that is not blocking",
         {Ok(), Fails(201, false), Ok()},
         {{"P3@0", "P2@1", "P3@2"}, 15, true, 0}},
        {"a blocking failure leaves its row to the next",
         {Ok(), Fails(201, true), Ok(), Fails(404, true, 0)},
         {{"P3@0", "P1@1", "P3@1", "P1@2"}, 15, false, 201}},
        {"a failure in the last row adds nothing",
         {Ok(), Ok(), Ok(), Ok(), Fails(501, false, 25)},
         {{"P3@0", "P3@1", "P3@2", "P3@3", "P2@4"}, 20, true, 0}},
        {"a success in the last row adds its weight",
         {Ok(), Ok(), Ok(), Ok(), Ok(25)},
         {{"P3@0", "P3@1", "P3@2", "P3@3", "P3@4"}, 45, true, 0}},
    };
    for (const auto& c : cases) {
        CRunPlan plan(c.steps.size(), kRows);
        const RunSeen run = RunOnce(plan, c.steps);
        EXPECT_EQ(run.rows, c.expected.rows) << c.name;
        EXPECT_EQ(run.progress, c.expected.progress) << c.name;
        EXPECT_EQ(run.succeeded, c.expected.succeeded) << c.name;
        EXPECT_EQ(run.firstBlockingFailure, c.expected.firstBlockingFailure) << c.name;
    }
}

TEST(RunPlan, RetryKeepsTheSkipMarksAndCountsAfresh) {
    CRunPlan plan(4, kRows);
    const RunSeen failed = RunOnce(plan, {SkipNext(1), Ok(), Fails(102, true), Ok()});
    EXPECT_EQ(failed.rows, (std::vector<std::string>{"P3@0", "skipped", "P1@2", "P3@2"}));
    EXPECT_FALSE(failed.succeeded);

    // The product check fails this time, but what it skipped stays skipped.
    const RunSeen retried = RunOnce(plan, {Fails(301, false), Ok(), Ok(), Ok()});
    EXPECT_EQ(retried.rows, (std::vector<std::string>{"P2@0", "skipped", "P3@2", "P3@3"}));
    EXPECT_TRUE(retried.succeeded);
    EXPECT_EQ(retried.firstBlockingFailure, 0);
    EXPECT_EQ(plan.Done(), 3);
    EXPECT_EQ(plan.Skipped(), 1);
}

}  // namespace
