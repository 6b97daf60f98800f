#include "startup/proxy_prompt.h"

#include "exchange/initial_exchange.h"
#include "exchange/installer_context.h"
#include "framework/application.h"
#include "net/probe_proxy.h"
#include "platform/install_log.h"
#include "window/set_proxy_svr_dlg.h"
#include "window/window_messages.h"

namespace {

void AskForProxy(CInstallerContext& context, ProxyChoice& choice) {
    std::vector<std::string> settings(4);
    context.GetProxySettings(settings);
    // The test goes where the exchange goes, once a configuration was read.
    CSetProxySvrDlg dialog(nullptr, ProxyProbeUrl(context.serverBaseUrl),
                           context.browserProxyEnabled, settings[0], settings[1], settings[2],
                           settings[3]);
    if (dialog.DoModal() != IDOK) return;

    choice.settings = {dialog.ProxyAddress(), dialog.ProxyPort(), dialog.UserName(),
                       dialog.Password()};
    choice.enabled = dialog.UseProxy();
    // Never the user name or the password.
    install_log::Write("proxy", {{"source", "dialog"},
                                 {"enabled", choice.enabled},
                                 {"host", choice.settings[0]},
                                 {"port", choice.settings[1]}});
    context.browserProxyEnabled = choice.enabled;
    context.httpClient.useProxy = choice.enabled;
    context.SetProxySettings(choice.settings);
}

}  // namespace

void RunExchangeWithProxyPrompt(CInstallerContext& context, OperationList& operations,
                                ProxyChoice& choice) {
    for (;;) {
        operations.clear();
        if (RunInitialExchange(operations, context)) return;
        // Whatever went wrong, the user is only offered a proxy.
        const bool accepted = AppMessageBox(window_messages::kProxyPrompt) == IDOK;
        install_log::Write("proxy-prompt", {{"accepted", accepted}});
        if (!accepted) {
            operations.clear();
            return;
        }
        AskForProxy(context, choice);
    }
}
