#include "startup/ruv_installer_app.h"

#include <commctrl.h>

#include "skin/gdiplus_session.h"
#include "skin/msg_box.h"
#include "window/ruv_installer_dlg.h"

namespace {

// Every common-control class up to and including the animation control.
constexpr DWORD kAllCommonControlClasses = 0xFF;

}  // namespace

int CRUVInstallerApp::DoMessageBox(const std::string& prompt, UINT, UINT) {
    CMsgBox box;
    box.messageText = prompt;
    currentMessageBox_ = &box;
    const INT_PTR result = box.DoModal();
    currentMessageBox_ = nullptr;
    return static_cast<int>(result);
}

bool CRUVInstallerApp::InitInstance() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), kAllCommonControlClasses};
    InitCommonControlsEx(&controls);

    // GDI+ outlives the window object: the window's controls hold GDI+
    // pictures until they are destroyed with it.
    CGdiplusSession gdiplus;
    CRUVInstallerDlg window;
    if (window.CanRun()) {
        SetMainWindow(&window);
        window.DoModal();
        SetMainWindow(nullptr);
    }
    return false;
}
