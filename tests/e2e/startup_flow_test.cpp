// The installer from its start to its end as a user sees it: the window
// with one row per operation, a whole run, the start of the product, and
// the proxy prompt when the server cannot be used.
#include <gtest/gtest.h>

#include "installer_flow.h"
#include "operation_test_support.h"
#include "product_control_fixture.h"
#include "resources/resource_ids.h"
#include "ruv_exe_fixture.h"
#include "scoped_registry_value.h"

using ops_test::Utf8;
using ops_test::WaitUntil;

namespace {

// GBK of the labels below, which the plan carries as UTF-8.
const std::string kOsLabel = "\xbc\xec\xb2\xe9\xcf\xb5\xcd\xb3";  // 检查系统
const std::string kLaunchFailed = "\xc6\xf4\xb6\xaf\x52\x75\x76\x65\x78\xca\xa7\xb0\xdc\xa3\xba";
// "已将操作系统错误报告服务器": the product is not there, the report went out.
const std::string kReported =
    "\xd2\xd1\xbd\xab\xb2\xd9\xd7\xf7\xcf\xb5\xcd\xb3\xb4\xed\xce\xf3\xb1\xa8\xb8\xe6\xb7\xfe\xce"
    "\xf1\xc6\xf7";

const std::string kThreeChecks =
    OsCheck(Utf8(u8"检查系统")) + UserCheck("Admin") + OsCheck("Second check");

TEST_F(InstallerFlowTest, ThreeChecksFillThreeRowsAndEndWithOk) {
    Serve(kThreeChecks);
    Start();
    const HWND window = MainWindow();
    ASSERT_NE(window, nullptr);

    EXPECT_EQ(control::Text(window, IDC_ROW_CAPTION_FIRST), kOsLabel);
    EXPECT_EQ(control::Text(window, IDC_ROW_CAPTION_FIRST + 1), "Admin");
    EXPECT_EQ(control::Text(window, IDC_ROW_CAPTION_FIRST + 2), "Second check");
    EXPECT_EQ(control::Text(window, IDC_ROW_CAPTION_FIRST + 3), gbk::kTemplateCaption);
    EXPECT_EQ(control::Text(window, IDC_ROW_CAPTION_FIRST + 4), gbk::kTemplateCaption);
    EXPECT_TRUE(control::Visible(window, IDCANCEL));
    EXPECT_FALSE(control::Visible(window, IDOK));
    Screenshot("running", window);

    ASSERT_TRUE(WaitForRunEnd(window));
    Screenshot("succeeded", window);
    for (int row = 0; row < 3; ++row) EXPECT_EQ(RowIcons(window, row), "P3") << row;
    EXPECT_EQ(RowIcons(window, 3), "");
    EXPECT_EQ(RowIcons(window, 4), "");
    EXPECT_EQ(Progress(window), 15);
    EXPECT_EQ(control::Text(window, IDC_SUCCESS_TEXT), gbk::kRunSucceeded);
    EXPECT_TRUE(control::Visible(window, IDC_SUCCESS_TEXT));
    EXPECT_TRUE(control::Visible(window, IDC_RUN_SUCCEEDED_PICTURE));
    EXPECT_TRUE(control::Enabled(window, IDOK));
    EXPECT_FALSE(control::Visible(window, IDC_PROGRESS));
    EXPECT_FALSE(control::Visible(window, IDCANCEL));
    EXPECT_FALSE(control::Visible(window, IDC_STATUS_LINE));
    EXPECT_FALSE(control::Visible(window, IDC_BUSY_PICTURE));
    EXPECT_FALSE(control::Visible(window, IDC_RETRY));
    EXPECT_FALSE(control::Visible(window, IDC_EXIT));
}

TEST_F(InstallerFlowTest, OkStartsTheInstalledProductAndClosesTheWindow) {
    ProductControlFixture product;
    RuvExeFolder ruv;
    product.SetInstallPath(ruv.Path());
    Serve(UserCheck("Admin"));
    Start();
    const HWND window = MainWindow();
    ASSERT_TRUE(WaitForRunEnd(window));

    ASSERT_TRUE(control::Click(window, IDOK));
    // The fixture's mark may be caught while it is being put in place: wait
    // for a complete one.
    std::optional<RuvExeMark> mark;
    ASSERT_TRUE(WaitUntil([&] {
        mark = ruv.WaitForMark(std::chrono::milliseconds(0));
        return mark.has_value() && !mark->programPath.empty();
    }));
    EXPECT_EQ(mark->programPath, ruv.Path() + "RUV.exe");
    EXPECT_TRUE(installer->WaitForExit());
}

TEST_F(InstallerFlowTest, AFailedLaunchIsReportedInTheSkinnedBoxBeforeTheWindowCloses) {
    // No product control registered: the launcher reports to the server.
    Serve(UserCheck("Admin"));
    Start();
    const HWND window = MainWindow();
    ASSERT_TRUE(WaitForRunEnd(window));

    ASSERT_TRUE(control::Click(window, IDOK));
    const HWND box = MessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(control::Text(box, IDC_MSGBOX_TEXT), kLaunchFailed + kReported);
    Screenshot("launch-failed", box);
    ASSERT_TRUE(control::Click(box, IDOK));
    EXPECT_TRUE(installer->WaitForExit());
}

TEST_F(InstallerFlowTest, AnUnreachableServerAsksForAProxyAndCancelEndsWithoutAWindow) {
    ConfigureUnreachableServer();
    Start();
    const HWND box = MessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(control::Text(box, IDC_MSGBOX_TEXT), gbk::kProxyPrompt);
    EXPECT_EQ(installer->FindWindowWith(IDC_STATUS_LINE), nullptr);
    Screenshot("prompt", box);

    ASSERT_TRUE(control::Click(box, IDCANCEL));
    EXPECT_TRUE(installer->WaitForExit());
}

TEST_F(InstallerFlowTest, AnswersThatCannotBeUsedAreTreatedLikeANetworkFailure) {
    // An empty list, and a download that would be saved two folders up from
    // the work folder (the install folder's Download): beside the test's
    // install folder, in the temporary folder.
    char temp[MAX_PATH + 1];
    const std::string outside = std::string(temp, GetTempPathA(sizeof temp, temp)) + "evil.dll";
    DeleteFileA(outside.c_str());
    plan.AddSetupProgram("evil.dll");
    for (const std::string& operations :
         {std::string(),
          Operation("FileDownload", "Download",
                    "<URL>files/evil.dll</URL><SaveName>..\\..\\evil.dll</SaveName>")}) {
        Serve(operations);
        ExpectOnlyTheProxyPrompt(operations);
    }
    EXPECT_EQ(GetFileAttributesA(outside.c_str()), INVALID_FILE_ATTRIBUTES);
}

// An answer that announces 2^40 bytes and comes as fast as it is taken: the
// installer takes no more than its limit, leaves the rest unread and asks
// for a proxy at once; the server's send stalls and ends.
TEST_F(InstallerFlowTest, AnEndlessAnswerIsGivenUpAtOnceAndItsServerStopsSending) {
    constexpr unsigned kPromptLimitMs = 10000;
    constexpr unsigned long long kMostSent = 16ull << 20;
    const EndlessAnswer endless = services.ServeEndless();
    installed.Configure(endless.url);
    Start();
    ASSERT_TRUE(WaitUntil([&] { return endless.Read().requests > 0; }, 30000));
    const ULONGLONG requested = GetTickCount64();

    const HWND box = installer->WaitForWindowWith(IDC_MSGBOX_PICTURE, kPromptLimitMs);
    ASSERT_NE(box, nullptr) << "no prompt within 10 s of the request";
    const ULONGLONG prompted = GetTickCount64();
    EXPECT_EQ(control::Text(box, IDC_MSGBOX_TEXT), gbk::kProxyPrompt);
    ASSERT_TRUE(WaitUntil([&] { return !endless.Read().sending; }, 60000))
        << "still sending: " << endless.Read().sent << " bytes";
    const EndlessAnswer::Counts counts = endless.Read();
    SaveArtefact("figures.txt", std::to_string(prompted - requested) +
                                    " ms from the request to the prompt\n" +
                                    std::to_string(counts.sent) + " bytes sent\n");
    EXPECT_LE(counts.sent, kMostSent);
    EXPECT_EQ(counts.requests, 1);

    ASSERT_TRUE(control::Click(box, IDCANCEL));
    EXPECT_TRUE(installer->WaitForExit());
}

TEST_F(InstallerFlowTest, WithoutAConfigurationTheProxyDialogOpensWithEmptyFields) {
    Start();  // no RUVI.config in the install folder
    ASSERT_TRUE(control::Click(MessageBox(), IDOK));
    const HWND dialog = ProxyDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(control::Checked(dialog, IDC_PROXY_ENABLE));
    EXPECT_EQ(control::Text(dialog, IDC_PROXY_ADDRESS),
              "\xb4\xfa\xc0\xed\xb7\xfe\xce\xf1\xc6\xf7\xb5\xd8\xd6\xb7");
    EXPECT_EQ(control::Text(dialog, IDC_PROXY_PORT),
              "\xb4\xfa\xc0\xed\xb7\xfe\xce\xf1\xc6\xf7\xb6\xcb\xbf\xda");
    ASSERT_TRUE(control::Click(dialog, IDC_CLOSE));
    // Cancelled: a new attempt, which fails the same way.
    ASSERT_NE(MessageBox(), nullptr);
}

TEST_F(InstallerFlowTest, ThePromptsOkOpensTheProxyDialogWithTheBrowsersSettings) {
    const char* settingsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
    ScopedRegistryValue enable(HKEY_CURRENT_USER, settingsKey, "ProxyEnable");
    ScopedRegistryValue proxyServer(HKEY_CURRENT_USER, settingsKey, "ProxyServer");
    enable.SetDword(1);
    proxyServer.SetText("127.0.0.1:3128");
    ConfigureUnreachableServer();
    Start();
    ASSERT_TRUE(control::Click(MessageBox(), IDOK));

    const HWND dialog = ProxyDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(control::Checked(dialog, IDC_PROXY_ENABLE));
    EXPECT_EQ(control::Text(dialog, IDC_PROXY_ADDRESS), "127.0.0.1");
    EXPECT_EQ(control::Text(dialog, IDC_PROXY_PORT), "3128");
    EXPECT_EQ(control::Text(dialog, IDC_PROXY_USER), "\xd3\xc3\xbb\xa7\xc3\xfb");
    EXPECT_EQ(control::Text(dialog, IDC_PROXY_PASSWORD), "\xd3\xc3\xbb\xa7\xc3\xdc\xc2\xeb");
    EXPECT_EQ(control::PasswordChar(dialog, IDC_PROXY_PASSWORD), L'\0');
    Screenshot("proxy-dialog", dialog);

    // The second action button ends the dialog with 8: settings unchanged,
    // the next attempt fails again and the prompt comes back.
    ASSERT_TRUE(control::Click(dialog, IDC_PROXY_SECOND_ACTION));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    const HWND again = MessageBox();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(control::Text(again, IDC_MSGBOX_TEXT), gbk::kProxyPrompt);
    ASSERT_TRUE(control::Click(again, IDCANCEL));
    EXPECT_TRUE(installer->WaitForExit());
}

}  // namespace
