#include "skin/msg_box.h"

#include "framework/data_exchange.h"
#include "framework/window_text.h"
#include "resources/resource_ids.h"
#include "skin/button_skin.h"
#include "skin/skin_files.h"
#include "startup/local_paths.h"

namespace {

constexpr int kFontHeight = 20;
constexpr COLORREF kTextColour = RGB(0, 0, 0);
constexpr RECT kWindow{0, 0, 370, 191};

struct Placement {
    int x, y, width, height;
};
constexpr Placement kOkButton{66, 120, 99, 30};
constexpr Placement kCancelButton{203, 119, 99, 30};
constexpr Placement kText{30, 50, 300, 150};

void Place(HWND control, const Placement& place) {
    SetWindowPos(control, nullptr, place.x, place.y, place.width, place.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

CMsgBox::CMsgBox()
    : CDlgEx(IDD_MSGBOX, nullptr), skinRoot_(ReadInstallPath(skin_files::kMsgBoxProductKey)) {
    InitSkin(
        skinRoot_ + skin_files::kSkinFolder + skin_files::kMsgBoxFolder + skin_files::kBackground,
        kFontHeight, kTextColour, kWindow.left, kWindow.top, kWindow.right, kWindow.bottom);
}

void CMsgBox::DoDataExchange(CDataExchange& exchange) {
    CDlgEx::DoDataExchange(exchange);
    DdxControl(exchange, IDOK, okButton_);
    DdxControl(exchange, IDCANCEL, cancelButton_);
    DdxControl(exchange, IDC_MSGBOX_STATIC, unusedStatic_);
}

void CMsgBox::LayoutControls() {
    for (HWND child = GetWindow(hwnd, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        switch (GetDlgCtrlID(child)) {
            case IDOK:
                Place(child, kOkButton);
                LoadButtonSkin(okButton_, 0);
                break;
            case IDCANCEL:
                Place(child, kCancelButton);
                LoadButtonSkin(cancelButton_, 1);
                break;
            case IDC_MSGBOX_TEXT:
                Place(child, kText);
                break;
            default:
                break;
        }
    }
}

void CMsgBox::LoadButtonSkin(CBitmapButtonEx& button, int which) {
    const std::string folder = skinRoot_ + skin_files::kSkinFolder + skin_files::kMsgBoxFolder;
    const char* baseName =
        which == 0 ? skin_files::kMsgBoxOkButton : skin_files::kMsgBoxCancelButton;
    ApplyButtonSkin(button, MakeButtonSkinPaths(folder, baseName));
}

BOOL CMsgBox::OnInitDialog() {
    CDlgEx::OnInitDialog();
    CenterWindow();
    SetWindowTextAnsi(GetDlgItem(hwnd, IDC_MSGBOX_TEXT), messageText);
    return TRUE;
}

HBRUSH CMsgBox::OnCtlColor(HDC dc, HWND control, UINT kind) {
    const HBRUSH brush = CDlgEx::OnCtlColor(dc, control, kind);
    SetBkMode(dc, OPAQUE);
    return brush;
}
