#include "installer_flow.h"

#include <commctrl.h>

#include <algorithm>
#include <filesystem>

#include "operation_test_support.h"
#include "platform/install_log_folder.h"
#include "resources/resource_ids.h"
#include "screen_capture.h"

using ops_test::WaitUntil;
using ops_test::WindowsPathOf;

void InstallerFlowTest::Serve(const std::string& operations) {
    plan.Write(PlanDocument(operations));
    server.emplace(services.StartRuviServer(plan.Shared().unixPath));
    installed.Configure(server->url);
}

std::string InstallerFlowTest::ConfigureUnreachableServer() {
    const std::string url =
        "http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + "/RUVServer/";
    installed.Configure(url);
    return url;
}

InstallerProcess& InstallerFlowTest::Start(const std::string& arguments) {
    installer = std::make_unique<InstallerProcess>(installed.ProgramPath(), arguments);
    return *installer;
}

DWORD InstallerFlowTest::RunShowingNothing(const std::string& arguments, const std::string& what) {
    Start(arguments);
    bool shown = false;
    EXPECT_TRUE(WaitUntil(
        [&] {
            shown = shown || installer->FindWindowWith(InstallerProcess::kAnyWindow) != nullptr;
            return !installer->Running();
        },
        60000))
        << what;
    EXPECT_FALSE(shown) << what;
    return installer->ExitCode();
}

std::string InstallerFlowTest::InstallLog() const {
    std::string suffix = "-";
    suffix += std::to_string(installer->Id()) + ".log";
    // The system may give an earlier run's number to this one: of the logs
    // that name it, the newest.
    std::string newest;
    std::error_code noFolder;
    const std::string folder = installed.LogFolder();
    for (const auto& entry : std::filesystem::directory_iterator(folder, noFolder)) {
        const std::string name = entry.path().filename().string();
        if (IsInstallLogFileName(name) && name.ends_with(suffix)) newest = std::max(newest, name);
    }
    return newest.empty() ? std::string() : ops_test::ReadTestFile(folder + "\\" + newest);
}

HWND InstallerFlowTest::MainWindow() {
    const HWND window = installer->WaitForWindowWith(IDC_STATUS_LINE);
    EXPECT_NE(window, nullptr) << "the main window did not show";
    return window;
}

HWND InstallerFlowTest::MessageBox() {
    const HWND box = installer->WaitForWindowWith(IDC_MSGBOX_PICTURE);
    EXPECT_NE(box, nullptr) << "no message box showed";
    return box;
}

HWND InstallerFlowTest::ProxyDialog() {
    const HWND dialog = installer->WaitForWindowWith(IDC_PROXY_ENABLE);
    EXPECT_NE(dialog, nullptr) << "the proxy settings dialog did not show";
    return dialog;
}

void InstallerFlowTest::ExpectOnlyTheProxyPrompt(const std::string& what) {
    Start();
    const HWND box = MessageBox();
    ASSERT_NE(box, nullptr) << what;
    EXPECT_EQ(control::Text(box, IDC_MSGBOX_TEXT), gbk::kProxyPrompt) << what;
    EXPECT_EQ(installer->FindWindowWith(IDC_STATUS_LINE), nullptr) << what;
    ASSERT_TRUE(control::Click(box, IDCANCEL)) << what;
    EXPECT_TRUE(installer->WaitForExit()) << what;
}

bool InstallerFlowTest::WaitForRunEnd(HWND window) {
    return WaitUntil(
        [&] { return control::Visible(window, IDOK) || control::Visible(window, IDC_RETRY); },
        90000);
}

int InstallerFlowTest::Progress(HWND window) {
    return static_cast<int>(SendDlgItemMessageW(window, IDC_PROGRESS, PBM_GETPOS, 0, 0));
}

std::string InstallerFlowTest::RowIcons(HWND window, int row) {
    std::string icons;
    if (control::Visible(window, IDC_ROW_BLOCKING_FIRST + row)) icons += "P1";
    if (control::Visible(window, IDC_ROW_NONBLOCKING_FIRST + row)) icons += "P2";
    if (control::Visible(window, IDC_ROW_SUCCESS_FIRST + row)) icons += "P3";
    return icons;
}

void InstallerFlowTest::Screenshot(const std::string& stage, HWND window) {
    // Painted to the end before the screen is read.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    SaveScreen(ArtefactPath(stage + ".png"));
}

void InstallerFlowTest::SaveArtefact(const std::string& stageAndExtension,
                                     const std::string& text) {
    ops_test::WriteTestFile(ArtefactPath(stageAndExtension), text);
}

std::string InstallerFlowTest::ArtefactPath(const std::string& stageAndExtension) const {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string folder = WindowsPathOf(RUVI_E2E_ARTIFACTS);
    std::filesystem::create_directories(folder);
    return folder + "\\" + test->name() + "-" + stageAndExtension;
}
