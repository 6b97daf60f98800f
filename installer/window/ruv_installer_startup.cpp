// Everything the main window object does before there is a window: the
// exchange with the server and the proxy prompt after each failure.
#include "framework/application.h"
#include "net/initial_exchange.h"
#include "net/probe_proxy.h"
#include "resources/resource_ids.h"
#include "skin/skin_files.h"
#include "startup/local_paths.h"
#include "window/ruv_installer_dlg.h"
#include "window/set_proxy_svr_dlg.h"
#include "window/window_messages.h"

namespace {

constexpr int kFontHeight = 17;
constexpr COLORREF kTextColour = RGB(150, 150, 150);
constexpr RECT kWindow{0, 0, 414, 492};
constexpr char kInstallerProductKey[] = "RUVI";

}  // namespace

CRUVInstallerDlg::CRUVInstallerDlg() : CDlgEx(IDD_RUVINSTALLER_DIALOG, nullptr) {
    icon_ = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    RunProxyPromptLoop();
    canRun_ = !operations_.empty();
    skinFolder_ = ReadInstallPath(kInstallerProductKey);
    InitSkin(
        skinFolder_ + skin_files::kSkinFolder + skin_files::kRuviFolder + skin_files::kBackground,
        kFontHeight, kTextColour, kWindow.left, kWindow.top, kWindow.right, kWindow.bottom);
}

void CRUVInstallerDlg::RunProxyPromptLoop() {
    for (;;) {
        operations_.clear();
        if (RunInitialExchange(operations_, context_)) return;
        // Whatever went wrong, the user is only offered a proxy.
        if (AppMessageBox(window_messages::kProxyPrompt) != IDOK) {
            operations_.clear();
            return;
        }
        AskForProxy();
    }
}

void CRUVInstallerDlg::AskForProxy() {
    std::vector<std::string> settings(4);
    context_.GetProxySettings(settings);
    // The test goes where the exchange goes, once a configuration was read.
    CSetProxySvrDlg dialog(hwnd, ProxyProbeUrl(context_.serverBaseUrl),
                           context_.browserProxyEnabled, settings[0], settings[1], settings[2],
                           settings[3]);
    if (dialog.DoModal() != IDOK) return;

    userProxySettings_ = {dialog.ProxyAddress(), dialog.ProxyPort(), dialog.UserName(),
                          dialog.Password()};
    userProxyEnabled_ = dialog.UseProxy();
    context_.browserProxyEnabled = userProxyEnabled_;
    context_.httpClient.useProxy = userProxyEnabled_;
    context_.SetProxySettings(userProxySettings_);
}
