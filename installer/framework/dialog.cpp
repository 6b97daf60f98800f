#include "framework/dialog.h"

#include <algorithm>
#include <utility>

#include "framework/application.h"
#include "framework/data_exchange.h"
#include "framework/pre_translate_hook.h"

namespace {

// Messages whose result a dialog procedure returns itself instead of
// storing it as DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
    switch (message) {
        case WM_INITDIALOG:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
            return true;
        default:
            return false;
    }
}

RECT WorkAreaOfMainWindowMonitor() {
    const HWND mainWindow = ApplicationMainWindow();
    const HMONITOR monitor = mainWindow != nullptr
                                 ? MonitorFromWindow(mainWindow, MONITOR_DEFAULTTOPRIMARY)
                                 : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(monitor, &info);
    return info.rcWork;
}

}  // namespace

CDialog::CDialog(UINT templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

INT_PTR CDialog::DoModal() {
    const HWND owner = parent_ != nullptr ? parent_ : ApplicationMainWindow();
    INT_PTR result = -1;
    {
        CPreTranslateHook hook(*this);
        result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner,
                                 DialogProc, reinterpret_cast<LPARAM>(this));
    }
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
    return result;
}

void CDialog::EndDialog(INT_PTR result) { ::EndDialog(hwnd, result); }

void CDialog::UpdateData(bool saveAndValidate) {
    CDataExchange exchange(hwnd, saveAndValidate, boundControls_);
    DoDataExchange(exchange);
}

void CDialog::CenterWindow() {
    const RECT area = WorkAreaOfMainWindowMonitor();
    RECT window{};
    GetWindowRect(hwnd, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    // A window larger than the work area keeps its top left corner inside.
    const int left = std::max(area.left, (area.left + area.right - width) / 2);
    const int top = std::max(area.top, (area.top + area.bottom - height) / 2);
    SetWindowPos(hwnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange&) {}

bool CDialog::OnCommand(UINT id, UINT code, HWND) {
    if (code != BN_CLICKED) return false;
    switch (id) {
        case IDOK:
            OnOK();
            return true;
        case IDCANCEL:
            OnCancel();
            return true;
        default:
            return false;
    }
}

void CDialog::OnOK() {
    UpdateData(true);
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

std::optional<LRESULT> CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND:
            if (OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) return 0;
            return std::nullopt;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item->CtlType == ODT_MENU || item->hwndItem == nullptr) return std::nullopt;
            if (SendMessageW(item->hwndItem, kReflectedDrawItem, wParam, lParam) == 0) {
                return std::nullopt;
            }
            return TRUE;
        }
        default:
            return std::nullopt;
    }
}

bool CDialog::PreTranslateMessage(MSG&) { return false; }

INT_PTR CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    const std::optional<LRESULT> result = HandleMessage(message, wParam, lParam);
    if (!result) return FALSE;
    if (ReturnsResultDirectly(message)) return *result;
    SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, *result);
    return TRUE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept {
    CDialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        self->hwnd = window;
    } else {
        self = reinterpret_cast<CDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    }
    if (self == nullptr) return FALSE;

    INT_PTR result = FALSE;
    try {
        result = self->Dispatch(message, wParam, lParam);
    } catch (...) {
        // An exception must not unwind through the system's code: end the
        // dialog and let DoModal throw it again.
        if (!self->failure_) self->failure_ = std::current_exception();
        ::EndDialog(window, -1);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, DWLP_USER, 0);
        self->hwnd = nullptr;
        // The controls are gone: the next run of the dialog binds its own.
        for (CWindow* control : std::exchange(self->boundControls_, {})) control->Detach();
    }
    return result;
}
