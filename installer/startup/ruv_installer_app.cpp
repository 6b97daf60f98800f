#include "startup/ruv_installer_app.h"

#include <commctrl.h>

#include <optional>
#include <utility>
#include <vector>

#include "core/xml_document.h"
#include "exchange/initial_exchange.h"
#include "exchange/installer_context.h"
#include "exchange/installer_version.h"
#include "operations/os_description.h"
#include "platform/install_log.h"
#include "platform/install_log_folder.h"
#include "platform/local_paths.h"
#include "skin/gdiplus_session.h"
#include "skin/msg_box.h"
#include "skin/picture_prefetch.h"
#include "startup/command_line.h"
#include "startup/offline_layout.h"
#include "startup/product_launch.h"
#include "startup/proxy_prompt.h"
#include "window/run_driver.h"
#include "window/ruv_installer_dlg.h"
#include "window/window_messages.h"

namespace {

// Every common-control class up to and including the animation control.
constexpr DWORD kAllCommonControlClasses = 0xFF;
// The longest path the system allows, with its terminating zero.
constexpr DWORD kLongestPath = 32768;

std::string RunningProgramPath() {
    std::vector<char> path(kLongestPath);
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), kLongestPath);
    return std::string(path.data(), length < kLongestPath ? length : 0);
}

}  // namespace

int CRUVInstallerApp::DoMessageBox(const std::string& prompt, UINT, UINT) {
    CMsgBox box;
    box.messageText = prompt;
    return static_cast<int>(box.DoModal());
}

bool CRUVInstallerApp::InitInstance() {
    const CommandLine commandLine = ParseCommandLine(ProgramArguments());
    const std::optional<OwnFolder> logFolder =
        OpenInstallLog(commandLine.logPath, ReadInstallPath(kInstallerProductKey));
    LogStart(commandLine);
    if (logFolder) LogOwnFolder("log-folder", *logFolder);
    int exitCode = kExitBadCommandLine;
    // Relative folders are the current folder's, whatever the run does.
    const auto folder = [](const std::string& path) {
        return path.empty() ? path : FullFolderPath(path);
    };
    const std::string source = folder(commandLine.sourcePath);
    if (commandLine.badArgument) {
        install_log::Write("bad-command-line", {{"argument", *commandLine.badArgument}});
    } else if (!commandLine.layoutPath.empty()) {
        exitCode = MakeOfflineLayout(folder(commandLine.layoutPath));
    } else if (commandLine.silent) {
        exitCode = RunUnattended(commandLine.launch, source);
    } else {
        exitCode = RunWithWindow(source);
    }
    install_log::Write("end", {{"exit-code", exitCode}});
    install_log::Close();
    SetExitCode(exitCode);
    return false;
}

void CRUVInstallerApp::LogStart(const CommandLine& commandLine) {
    install_log::Write("start", {{"version", FileVersionText(RunningProgramPath())},
                                 {"command-line", GetCommandLineA()},
                                 {"os", GetOSDescription()},
                                 {"unattended", commandLine.silent}});
}

int CRUVInstallerApp::RunWithWindow(const std::string& offlineLayout) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), kAllCommonControlClasses};
    InitCommonControlsEx(&controls);
    // GDI+ outlives the dialogs: their controls hold GDI+ pictures until
    // they are destroyed with them.
    CGdiplusSession gdiplus;
    CInstallerContext context;
    context.offlineLayout = offlineLayout;
    CXmlRuntime xmlRuntime;
    // The window's pictures are decoded while the server is asked. Only now:
    // decoding reads HKEY_CLASSES_ROOT, which is another key while the XML
    // runtime starts.
    const std::string installFolder = ReadInstallPath(kInstallerProductKey);
    CPicturePrefetch picturesAhead(CRUVInstallerDlg::PicturesToDecodeAhead(installFolder));
    ProxyChoice proxy;
    OperationList operations = offlineLayout.empty() ? RunExchangeWithProxyPrompt(context, proxy)
                                                     : RunLayoutExchange(context);
    if (operations.empty()) return kExitSucceeded;

    // OK starts the product while the window still shows, so a failure's
    // box stands over it.
    const auto launch = [&] {
        const OperationResult result = LaunchProduct(context, proxy);
        if (result.code != 0 && result.showMessage) {
            AppMessageBox(window_messages::kLaunchFailed + result.message);
        }
    };
    CRUVInstallerDlg window(installFolder, operations, proxy, launch, &picturesAhead);
    SetMainWindow(&window);
    window.DoModal();
    SetMainWindow(nullptr);
    return kExitSucceeded;
}

OperationList CRUVInstallerApp::RunLayoutExchange(CInstallerContext& context) {
    ExchangeOutcome outcome = RunInitialExchange(context);
    if (outcome.Succeeded()) return std::move(outcome.operations);
    // No proxy can help a layout on disk: the user is told what is wrong
    // with it instead, and the program ends.
    AppMessageBox(window_messages::kLayoutUnusable + outcome.failure);
    return {};
}

int CRUVInstallerApp::RunUnattended(bool launch, const std::string& offlineLayout) {
    CInstallerContext context;
    context.offlineLayout = offlineLayout;
    CXmlRuntime xmlRuntime;
    ExchangeOutcome outcome = RunInitialExchange(context);
    if (!outcome.Succeeded()) return kExitExchangeFailed;

    // Nothing is on screen, so there is nothing to pause for.
    CSilentRunView nothingShown;
    CRunDriver driver(outcome.operations, nothingShown, 0);
    driver.Run();
    if (!driver.Succeeded()) return driver.FirstBlockingFailure();
    if (!launch) return kExitSucceeded;
    return LaunchProduct(context, ProxyChoice()).code;
}
