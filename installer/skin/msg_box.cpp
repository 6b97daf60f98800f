#include "skin/msg_box.h"

#include "framework/data_exchange.h"
#include "framework/window_text.h"
#include "platform/local_paths.h"
#include "resources/resource_ids.h"
#include "skin/skin_files.h"

namespace {

constexpr int kFontHeight = 20;
constexpr COLORREF kTextColour = RGB(0, 0, 0);
constexpr RECT kWindow{0, 0, 370, 191};

constexpr SkinnedControl kControls[] = {
    {IDOK, {66, 120, 99, 30}, "MsgBox\\B1"},
    {IDCANCEL, {203, 119, 99, 30}, "MsgBox\\B2"},
    {IDC_MSGBOX_TEXT, {30, 50, 300, 150}},
};

}  // namespace

CMsgBox::CMsgBox()
    : CDlgEx(IDD_MSGBOX, nullptr), skinRoot_(ReadInstallPath(skin_files::kMsgBoxProductKey)) {
    InitSkin(
        skinRoot_ + skin_files::kSkinFolder + skin_files::kMsgBoxFolder + skin_files::kBackground,
        kFontHeight, kTextColour, kWindow.left, kWindow.top, kWindow.right, kWindow.bottom);
}

void CMsgBox::DoDataExchange(CDataExchange& exchange) {
    CDlgEx::DoDataExchange(exchange);
    DdxControl(exchange, IDC_MSGBOX_STATIC, unusedStatic_);
}

void CMsgBox::LayoutControls() { LayoutFromTable(skinRoot_ + skin_files::kSkinFolder, kControls); }

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
