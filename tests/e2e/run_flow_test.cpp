// How a run goes: skipping, failures that block and those that do not,
// Retry, the progress of the last row, and closing in the middle of a run.
#include <gtest/gtest.h>

#include "installer_flow.h"
#include "operation_test_support.h"
#include "product_control_fixture.h"
#include "resources/resource_ids.h"

using ops_test::WaitUntil;

namespace {

// A setup run of a file that was never downloaded fails.
std::string FailingSetupRun(const std::string& attributes = "") {
    return SetupRun("Setup", "missing.exe", attributes);
}

TEST_F(InstallerFlowTest, ACurrentProductSkipsTheDownloadAndTheSetupRun) {
    ProductControlFixture product;  // intact, registered version "1.0"
    plan.AddSetupProgram("RUVSetup.exe");
    Serve(ProductCheck("Product", "1.0", "SuccessSkippedNum=\"2\"") +
          Download("Download", "RUVSetup.exe") + SetupRun("Setup", "RUVSetup.exe"));
    Start();
    const HWND window = MainWindow();
    ASSERT_TRUE(WaitForRunEnd(window));

    EXPECT_EQ(RowIcons(window, 0), "P3");
    EXPECT_EQ(RowIcons(window, 1), "");
    EXPECT_EQ(RowIcons(window, 2), "");
    EXPECT_EQ(Progress(window), 5);
    EXPECT_TRUE(control::Visible(window, IDOK));
    EXPECT_EQ(control::Text(window, IDC_SUCCESS_TEXT), gbk::kRunSucceeded);
}

TEST_F(InstallerFlowTest, ANonBlockingFailureShowsItsIconAndTheRunStillSucceeds) {
    Serve(UserCheck("Admin") + FailingSetupRun());
    Start();
    const HWND window = MainWindow();
    ASSERT_TRUE(WaitForRunEnd(window));

    EXPECT_EQ(RowIcons(window, 0), "P3");
    EXPECT_EQ(RowIcons(window, 1), "P2");
    // A failure outside the last row still adds its weight.
    EXPECT_EQ(Progress(window), 5 + 25);
    EXPECT_TRUE(control::Visible(window, IDOK));
    EXPECT_FALSE(control::Visible(window, IDC_RETRY));
}

TEST_F(InstallerFlowTest, ABlockingFailureLeavesItsRowToTheNextAndRetryRunsEverythingAgain) {
    Serve(UserCheck("Admin") + FailingSetupRun("Block=\"true\"") + UserCheck("Again"));
    Start();
    const HWND window = MainWindow();
    ASSERT_TRUE(WaitForRunEnd(window));
    Screenshot("failed", window);

    EXPECT_EQ(RowIcons(window, 0), "P3");
    EXPECT_EQ(RowIcons(window, 1), "P1P3");  // the next operation drew on top
    EXPECT_EQ(RowIcons(window, 2), "");
    EXPECT_EQ(Progress(window), 5 + 25 + 5);
    EXPECT_EQ(control::Text(window, IDC_FAILURE_TEXT), gbk::kRunFailed);
    EXPECT_TRUE(control::Visible(window, IDC_FAILURE_TEXT));
    EXPECT_TRUE(control::Visible(window, IDC_RUN_FAILED_PICTURE));
    EXPECT_TRUE(control::Visible(window, IDC_RETRY));
    EXPECT_TRUE(control::Visible(window, IDC_EXIT));
    EXPECT_FALSE(control::Visible(window, IDOK));
    EXPECT_FALSE(control::Visible(window, IDCANCEL));

    ASSERT_TRUE(control::Click(window, IDC_RETRY));
    ASSERT_TRUE(WaitUntil([&] { return control::Visible(window, IDCANCEL); }));
    for (int row = 0; row < 5; ++row) EXPECT_EQ(RowIcons(window, row), "") << row;
    EXPECT_FALSE(control::Visible(window, IDC_FAILURE_TEXT));
    EXPECT_FALSE(control::Visible(window, IDC_RUN_FAILED_PICTURE));
    EXPECT_FALSE(control::Visible(window, IDC_RETRY));
    EXPECT_FALSE(control::Visible(window, IDC_EXIT));
    EXPECT_TRUE(control::Visible(window, IDC_BUSY_PICTURE));
    EXPECT_TRUE(control::Visible(window, IDC_STATUS_LINE));

    // The counters start from 0 again: the same failure, the same progress.
    ASSERT_TRUE(WaitUntil([&] { return control::Visible(window, IDC_RETRY); }, 90000));
    EXPECT_EQ(RowIcons(window, 0), "P3");
    EXPECT_EQ(RowIcons(window, 1), "P1P3");
    EXPECT_EQ(Progress(window), 5 + 25 + 5);
}

TEST_F(InstallerFlowTest, AFailureInTheLastRowAddsNothingToTheProgress) {
    Serve(UserCheck("1") + UserCheck("2") + UserCheck("3") + UserCheck("4") + FailingSetupRun());
    Start();
    const HWND window = MainWindow();
    ASSERT_TRUE(WaitForRunEnd(window));

    EXPECT_EQ(RowIcons(window, 4), "P2");
    EXPECT_EQ(Progress(window), 4 * 5);
    EXPECT_TRUE(control::Visible(window, IDOK));
}

TEST_F(InstallerFlowTest, RetryDuringARunIsIgnoredAndRetryThenCloseEndsTheProgramAtOnce) {
    // The new run takes three pauses of three seconds: a close that waited
    // for it would miss the deadline.
    Serve(FailingSetupRun("Block=\"true\"") + UserCheck("1") + UserCheck("2"));
    Start();
    const HWND window = MainWindow();
    ASSERT_NE(window, nullptr);

    // The button is hidden while the run goes on, but a press can still
    // reach the window. Handled (sent, not posted), it must have left the
    // run alone: a second run would have started by hiding every icon.
    ASSERT_TRUE(WaitUntil([&] { return RowIcons(window, 0) == "P1"; }, 90000));
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_RETRY, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_RETRY)));
    EXPECT_NE(RowIcons(window, 0).find("P1"), std::string::npos);

    // Once the last operation has its icon, Retry is moments away: from
    // then on, look without pause and press it the moment it shows.
    ASSERT_TRUE(WaitUntil([&] { return RowIcons(window, 1) == "P3"; }, 90000));
    ASSERT_TRUE(WaitUntil([&] { return control::Visible(window, IDC_RETRY); }, 20000, 0));
    ASSERT_TRUE(control::Click(window, IDC_RETRY));
    ASSERT_TRUE(control::Click(window, IDC_CLOSE));
    EXPECT_TRUE(installer->WaitForExit(5000));
}

TEST_F(InstallerFlowTest, EscapeIsIgnoredAndTheCloseButtonEndsTheProgramDuringARun) {
    // Three pauses of three seconds: the run is still going when the test
    // clicks.
    Serve(UserCheck("1") + UserCheck("2") + UserCheck("3"));
    Start();
    const HWND window = MainWindow();
    ASSERT_NE(window, nullptr);

    // Messages are handled in order: once the focus has gone where a click
    // into the status line sends it, the Escape before it has been dealt with.
    PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(window, WM_KEYUP, VK_ESCAPE, 0);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_STATUS_LINE, EN_SETFOCUS),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_STATUS_LINE)));
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    ASSERT_TRUE(WaitUntil([&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        return GetGUIThreadInfo(thread, &info) &&
               info.hwndFocus == GetDlgItem(window, IDC_MINIMISE);
    }));
    EXPECT_TRUE(installer->Running());
    EXPECT_TRUE(IsWindowVisible(window));

    ASSERT_TRUE(control::Visible(window, IDCANCEL)) << "the run ended before the test could close";
    ASSERT_TRUE(control::Click(window, IDC_CLOSE));
    EXPECT_TRUE(installer->WaitForExit());
}

}  // namespace
