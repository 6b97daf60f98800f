#include "window/set_proxy_svr_dlg.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "framework/data_exchange.h"
#include "framework/window_text.h"
#include "net/probe_proxy.h"
#include "resources/resource_ids.h"
#include "skin/button_skin.h"
#include "skin/skin_files.h"
#include "startup/local_paths.h"
#include "startup/message_error.h"
#include "window/repaint_behind.h"
#include "window/window_messages.h"

namespace {

constexpr int kFontHeight = 17;
constexpr RECT kWindow{0, 0, 414, 492};
constexpr COLORREF kNormalText = RGB(64, 64, 64);
constexpr COLORREF kPlaceholderText = RGB(192, 192, 192);
constexpr COLORREF kErrorText = RGB(255, 0, 0);
constexpr COLORREF kErrorBackground = RGB(255, 255, 255);
constexpr int kHighestPort = 65535;
constexpr int kHttpOk = 200;
// What a result line shows while the other one speaks: blanks over the
// whole line, so that nothing of the earlier text stays visible.
const std::string kBlankLine(61, ' ');

constexpr const char* kPlaceholders[] = {
    window_messages::kAddressPlaceholder, window_messages::kPortPlaceholder,
    window_messages::kUserNamePlaceholder, window_messages::kPasswordPlaceholder};

struct Placement {
    int x, y, width, height;
};

void Place(HWND control, const Placement& place) {
    SetWindowPos(control, nullptr, place.x, place.y, place.width, place.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetPasswordChar(HWND dialog, HWND edit, wchar_t character) {
    SendMessageW(edit, EM_SETPASSWORDCHAR, character, 0);
    RepaintBehind(dialog, edit);
}

}  // namespace

CSetProxySvrDlg::CSetProxySvrDlg(HWND parent, bool useProxy, std::string address, std::string port,
                                 std::string userName, std::string password)
    : CDlgEx(IDD_SETPROXYSVR, parent),
      skinRoot_(ReadInstallPath(skin_files::kMsgBoxProductKey)),
      values_{std::move(address), std::move(port), std::move(userName), std::move(password)},
      useProxy_(useProxy ? 1 : 0) {
    InitSkin(skinRoot_ + skin_files::kSkinFolder + skin_files::kSetProxySvrFolder +
                 skin_files::kBackground,
             kFontHeight, RGB(0, 0, 0), kWindow.left, kWindow.top, kWindow.right, kWindow.bottom);
}

int CSetProxySvrDlg::FieldId(Field field) {
    constexpr int ids[] = {IDC_PROXY_ADDRESS, IDC_PROXY_PORT, IDC_PROXY_USER, IDC_PROXY_PASSWORD};
    return ids[field];
}

std::string CSetProxySvrDlg::Entered(Field field) const {
    return values_[field] == kPlaceholders[field] ? std::string() : values_[field];
}

void CSetProxySvrDlg::DoDataExchange(CDataExchange& exchange) {
    CDlgEx::DoDataExchange(exchange);
    DdxControl(exchange, IDC_PROXY_TEST, testButton_);
    DdxControl(exchange, IDOK, okButton_);
    DdxControl(exchange, IDC_PROXY_SECOND_ACTION, secondActionButton_);
    DdxControl(exchange, IDC_MINIMISE, minimiseButton_);
    DdxControl(exchange, IDC_CLOSE, closeButton_);
    for (int field = 0; field < kFieldCount; ++field) {
        DdxText(exchange, FieldId(static_cast<Field>(field)), values_[field]);
    }
    DdxCheck(exchange, IDC_PROXY_ENABLE, useProxy_);
}

BOOL CSetProxySvrDlg::OnInitDialog() {
    CDlgEx::OnInitDialog();
    CenterWindow();
    const LONG_PTR extended = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    SetWindowLongPtrW(hwnd, GWL_EXSTYLE, (extended & ~WS_EX_TOOLWINDOW) | WS_EX_APPWINDOW);
    SetWindowTextAnsi(hwnd, window_messages::kProxyDialogTitle);
    UpdateUseProxy();

    colours_.fill(kNormalText);
    for (const Field field : {kAddress, kPort, kUserName}) {
        if (!values_[field].empty()) continue;
        colours_[field] = kPlaceholderText;
        SetWindowTextAnsi(Item(FieldId(field)), kPlaceholders[field]);
    }
    if (values_[kPassword].empty()) {
        colours_[kPassword] = kPlaceholderText;
        SetWindowTextAnsi(Item(IDC_PROXY_PASSWORD), kPlaceholders[kPassword]);
    } else {
        RestorePlaceholder(kPassword);
    }
    return TRUE;
}

void CSetProxySvrDlg::LayoutControls() {
    for (HWND child = GetWindow(hwnd, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(child);
        switch (id) {
            case IDOK:
                Place(child, {89, 411, 99, 30});
                LoadButtonSkin(id, 2);
                break;
            case IDC_PROXY_SECOND_ACTION:
                Place(child, {224, 411, 99, 30});
                LoadButtonSkin(id, 3);
                break;
            case IDC_PROXY_TEST:
                Place(child, {117, 322, 180, 33});
                LoadButtonSkin(id, 4);
                break;
            case IDC_MINIMISE:
                Place(child, {349, 7, 25, 25});
                LoadButtonSkin(id, 0);
                break;
            case IDC_CLOSE:
                Place(child, {379, 7, 25, 25});
                LoadButtonSkin(id, 1);
                break;
            case IDC_PROXY_ENABLE:
                Place(child, {140, 74, 15, 15});
                break;
            case IDC_PROXY_ADDRESS:
                Place(child, {93, 124, 227, 21});
                break;
            case IDC_PROXY_PORT:
                Place(child, {93, 176, 227, 21});
                break;
            case IDC_PROXY_USER:
                Place(child, {93, 226, 227, 21});
                break;
            case IDC_PROXY_PASSWORD:
                Place(child, {93, 279, 227, 21});
                break;
            case IDC_PROXY_ERROR_LINE:
            case IDC_PROXY_SUCCESS_LINE:
                Place(child, {90, 376, 235, 48});
                break;
            default:
                break;
        }
    }
}

CBitmapButtonEx* CSetProxySvrDlg::ButtonOf(int id) {
    switch (id) {
        case IDOK:
            return &okButton_;
        case IDC_PROXY_SECOND_ACTION:
            return &secondActionButton_;
        case IDC_PROXY_TEST:
            return &testButton_;
        case IDC_MINIMISE:
            return &minimiseButton_;
        case IDC_CLOSE:
            return &closeButton_;
        default:
            return nullptr;
    }
}

void CSetProxySvrDlg::LoadButtonSkin(int buttonId, int skinCase) {
    CBitmapButtonEx* button = ButtonOf(buttonId);
    if (button == nullptr || button->hwnd == nullptr) return;
    const std::string skin = skinRoot_ + skin_files::kSkinFolder;
    const std::string publicFolder = skin + skin_files::kPublicFolder;
    const std::string ownFolder = skin + skin_files::kSetProxySvrFolder;
    ButtonSkinPaths paths;
    switch (skinCase) {
        case 0:
            paths = MakeButtonSkinPaths(publicFolder, "B1");
            break;
        case 1:
            paths = MakeButtonSkinPaths(publicFolder, "B2");
            break;
        case 2:
            // The disabled picture is the shared one.
            paths = MakeButtonSkinPaths(ownFolder, "B1");
            paths[4] = MakeButtonSkinPaths(publicFolder, "B1")[4];
            break;
        case 3:
            paths = MakeButtonSkinPaths(ownFolder, "B2");
            break;
        default:
            paths = MakeButtonSkinPaths(ownFolder, "B3");
            break;
    }
    ApplyButtonSkin(*button, paths);
}

HBRUSH CSetProxySvrDlg::OnCtlColor(HDC dc, HWND control, UINT kind) {
    const HBRUSH brush = CDlgEx::OnCtlColor(dc, control, kind);
    const int id = GetDlgCtrlID(control);
    if (id == IDC_PROXY_ERROR_LINE) {
        SetTextColor(dc, kErrorText);
        SetBkColor(dc, kErrorBackground);
        SetBkMode(dc, OPAQUE);
        return brush;
    }
    for (int field = 0; field < kFieldCount; ++field) {
        if (id == FieldId(static_cast<Field>(field))) SetTextColor(dc, colours_[field]);
    }
    return brush;
}

bool CSetProxySvrDlg::OnCommand(UINT id, UINT code, HWND control) {
    if (code == EN_CHANGE) {
        RepaintBehind(hwnd, control);
        return true;
    }
    for (int index = 0; index < kFieldCount; ++index) {
        const Field field = static_cast<Field>(index);
        if (static_cast<int>(id) != FieldId(field)) continue;
        if (code == EN_KILLFOCUS) RestorePlaceholder(field);
        if (code == EN_SETFOCUS) ClearPlaceholder(field);
        return code == EN_KILLFOCUS || code == EN_SETFOCUS;
    }
    if (id == IDC_PROXY_ERROR_LINE && code == EN_SETFOCUS) {
        SetFocus(Item(IDOK));
        return true;
    }
    if (code != BN_CLICKED) return CDlgEx::OnCommand(id, code, control);
    switch (id) {
        case IDC_PROXY_ENABLE:
            UpdateUseProxy();
            return true;
        case IDC_MINIMISE:
            ShowWindow(hwnd, SW_MINIMIZE);
            return true;
        case IDC_CLOSE:
            OnCancel();
            return true;
        case IDC_PROXY_TEST:
            TestConnection();
            return true;
        case IDC_PROXY_SECOND_ACTION:
            EndDialog(kSecondActionResult);
            return true;
        default:
            return CDlgEx::OnCommand(id, code, control);
    }
}

void CSetProxySvrDlg::OnOK() {
    if (useProxy_ == 0) {
        CDlgEx::OnOK();
        return;
    }
    if (TestConnection()) EndDialog(IDOK);
}

void CSetProxySvrDlg::UpdateUseProxy() {
    useProxy_ = SendDlgItemMessageW(hwnd, IDC_PROXY_ENABLE, BM_GETCHECK, 0, 0) == BST_CHECKED;
    EnableWindow(Item(IDC_PROXY_TEST), useProxy_);
    for (int field = 0; field < kFieldCount; ++field) {
        EnableWindow(Item(FieldId(static_cast<Field>(field))), useProxy_);
    }
}

void CSetProxySvrDlg::RestorePlaceholder(Field field) {
    const HWND edit = Item(FieldId(field));
    std::string text = GetWindowTextAnsi(edit);
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    SetWindowTextAnsi(edit, text);
    if (field == kPassword && !text.empty()) {
        SetPasswordChar(hwnd, edit, L'*');
        return;
    }
    if (!text.empty()) return;
    SetWindowTextAnsi(edit, kPlaceholders[field]);
    colours_[field] = kPlaceholderText;
    SetPasswordChar(hwnd, edit, 0);
}

void CSetProxySvrDlg::ClearPlaceholder(Field field) {
    const HWND edit = Item(FieldId(field));
    colours_[field] = kNormalText;
    if (GetWindowTextAnsi(edit) == kPlaceholders[field]) SetWindowTextAnsi(edit, "");
    if (field == kPassword) SetPasswordChar(hwnd, edit, L'*');
    RepaintBehind(hwnd, edit);
}

bool CSetProxySvrDlg::ValidateProxyFields() {
    UpdateData(true);
    const bool usable = CheckFields();
    UpdateData(false);
    return usable;
}

bool CSetProxySvrDlg::CheckFields() {
    const HWND errorLine = Item(IDC_PROXY_ERROR_LINE);
    const std::string address = GetWindowTextAnsi(Item(IDC_PROXY_ADDRESS));
    const std::string port = GetWindowTextAnsi(Item(IDC_PROXY_PORT));
    if (address.empty() || address == kPlaceholders[kAddress]) {
        SetWindowTextAnsi(errorLine, window_messages::kAddressMissing);
        return false;
    }
    if (port.empty() || port == kPlaceholders[kPort]) {
        SetWindowTextAnsi(errorLine, window_messages::kPortMissing);
        return false;
    }
    const int number = std::atoi(port.c_str());
    if (number < 1 || number > kHighestPort) {
        SetWindowTextAnsi(errorLine, window_messages::kPortInvalid);
        return false;
    }
    return true;
}

void CSetProxySvrDlg::ShowResult(const std::string& success, const std::string& error) {
    SetWindowTextAnsi(Item(IDC_PROXY_SUCCESS_LINE), success);
    SetWindowTextAnsi(Item(IDC_PROXY_ERROR_LINE), error);
}

bool CSetProxySvrDlg::TestConnection() {
    ShowResult(window_messages::kConnected, "");
    EnableWindow(Item(IDC_PROXY_SUCCESS_LINE), FALSE);
    if (!ValidateProxyFields()) {
        // The success line shares the error line's place: it must not go on
        // saying "connected" under a refusal.
        SetWindowTextAnsi(Item(IDC_PROXY_SUCCESS_LINE), kBlankLine);
        return false;
    }

    for (int field = 0; field < kFieldCount; ++field) {
        values_[field] = GetWindowTextAnsi(Item(FieldId(static_cast<Field>(field))));
    }
    // A field that still shows its hint holds nothing: the hint is no user
    // name or password to send to the proxy.
    const std::string proxy = Entered(kAddress) + ":" + Entered(kPort);
    int status = 0;
    try {
        status = ProbeProxy(proxy.c_str(), Entered(kUserName).c_str(), Entered(kPassword).c_str());
    } catch (const CMessageError&) {
        ShowResult(kBlankLine, window_messages::kCheckProxySettings);
        return false;
    }
    if (status == kHttpOk) {
        ShowResult(window_messages::kConnected, kBlankLine);
        EnableWindow(Item(IDC_PROXY_SUCCESS_LINE), TRUE);
        return true;
    }
    char text[128];
    std::snprintf(text, sizeof(text), window_messages::kStatusCodeFormat,
                  window_messages::kConnectFailed, status);
    ShowResult(kBlankLine, text);
    return false;
}
