#include "startup/proxy_prompt.h"

#include <utility>

#include "exchange/initial_exchange.h"
#include "exchange/installer_context.h"
#include "framework/application.h"
#include "net/probe_proxy.h"
#include "platform/install_log.h"
#include "window/set_proxy_svr_dlg.h"
#include "window/window_messages.h"

namespace {

void AskForProxy(CInstallerContext& context, ProxyChoice& choice) {
    const ProxySettings& shown = context.proxySettings;
    // The test goes where the exchange goes, once a configuration was read.
    CSetProxySvrDlg dialog(nullptr, ProxyProbeUrl(context.serverBaseUrl),
                           context.browserProxyEnabled, shown.host, shown.port, shown.userName,
                           shown.password);
    if (dialog.DoModal() != IDOK) return;

    choice.settings = {dialog.ProxyAddress(), dialog.ProxyPort(), dialog.UserName(),
                       dialog.Password()};
    choice.enabled = dialog.UseProxy();
    // Never the user name or the password.
    install_log::Write("proxy", {{"source", "dialog"},
                                 {"enabled", choice.enabled},
                                 {"host", choice.settings.host},
                                 {"port", choice.settings.port}});
    context.ChooseProxy(choice);
}

}  // namespace

OperationList RunExchangeWithProxyPrompt(CInstallerContext& context, ProxyChoice& choice) {
    for (;;) {
        ExchangeOutcome outcome = RunInitialExchange(context);
        if (outcome.Succeeded()) return std::move(outcome.operations);
        // Whatever went wrong, the user is only offered a proxy.
        const bool accepted = AppMessageBox(window_messages::kProxyPrompt) == IDOK;
        install_log::Write("proxy-prompt", {{"accepted", accepted}});
        if (!accepted) return {};
        AskForProxy(context, choice);
    }
}
