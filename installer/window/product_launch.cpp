// OK after a successful run: start the installed product.
#include "framework/application.h"
#include "operations/ruv_invoker.h"
#include "window/ruv_installer_dlg.h"
#include "window/window_messages.h"

void CRUVInstallerDlg::OnLaunch() {
    COpRUVInvoker invoker(context_.serverBaseUrl, context_.cacheDirectory);
    invoker.useProxy = userProxyEnabled_;
    if (userProxySettings_.size() == 4) invoker.proxySettings = userProxySettings_;
    invoker.Run();
    if (invoker.result.code != 0 && invoker.result.showMessage) {
        std::string text = window_messages::kLaunchFailed;
        text += invoker.result.message;
        AppMessageBox(text);
    }
    EndDialog(IDOK);
}
