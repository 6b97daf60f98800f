#include "window/set_proxy_svr_dlg.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "framework/data_exchange.h"
#include "framework/window_text.h"
#include "net/probe_proxy.h"
#include "platform/local_paths.h"
#include "resources/resource_ids.h"
#include "skin/skin_files.h"
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

constexpr SkinnedControl kControls[] = {
    // OK's disabled picture is the shared one.
    {IDOK, {89, 411, 99, 30}, "SetProxySvr\\B1", kDialogTextColour, "Public\\B1"},
    {IDC_PROXY_SECOND_ACTION, {224, 411, 99, 30}, "SetProxySvr\\B2"},
    {IDC_PROXY_TEST, {117, 322, 180, 33}, "SetProxySvr\\B3"},
    {IDC_MINIMISE, {349, 7, 25, 25}, "Public\\B1"},
    {IDC_CLOSE, {379, 7, 25, 25}, "Public\\B2"},
    {IDC_PROXY_ENABLE, {140, 74, 15, 15}},
    {IDC_PROXY_ADDRESS, {93, 124, 227, 21}},
    {IDC_PROXY_PORT, {93, 176, 227, 21}},
    {IDC_PROXY_USER, {93, 226, 227, 21}},
    {IDC_PROXY_PASSWORD, {93, 279, 227, 21}},
    {IDC_PROXY_ERROR_LINE, {90, 376, 235, 48}, nullptr, kErrorText},
    {IDC_PROXY_SUCCESS_LINE, {90, 376, 235, 48}},
};

void SetPasswordChar(HWND dialog, HWND edit, wchar_t character) {
    SendMessageW(edit, EM_SETPASSWORDCHAR, character, 0);
    RepaintBehind(dialog, edit);
}

}  // namespace

CSetProxySvrDlg::CSetProxySvrDlg(HWND parent, std::string testUrl, bool useProxy,
                                 std::string address, std::string port, std::string userName,
                                 std::string password)
    : CDlgEx(IDD_SETPROXYSVR, parent),
      testUrl_(std::move(testUrl)),
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
    LayoutFromTable(skinRoot_ + skin_files::kSkinFolder, kControls);
}

HBRUSH CSetProxySvrDlg::OnCtlColor(HDC dc, HWND control, UINT kind) {
    const HBRUSH brush = CDlgEx::OnCtlColor(dc, control, kind);
    const int id = GetDlgCtrlID(control);
    if (id == IDC_PROXY_ERROR_LINE) {
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
        status = ProbeProxy(testUrl_, proxy.c_str(), Entered(kUserName).c_str(),
                            Entered(kPassword).c_str());
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
