#include "skin/dlg_ex.h"

#include <windowsx.h>

#include <utility>

#include "framework/device_context.h"
#include "skin/skin_files.h"

namespace {
constexpr int kDialogFontWeight = 900;
constexpr int kCornerArc = 10;
}  // namespace

CDlgEx::CDlgEx(UINT templateId, HWND parent) : CDialog(templateId, parent) {}

void CDlgEx::InitSkin(const std::string& imagePath, int fontHeight, COLORREF textColour, int left,
                      int top, int right, int bottom) {
    skinRect_ = RECT{left, top, right, bottom};
    background_ = LoadPicture(imagePath);
    font_.Reset(CreateFontW(fontHeight, 0, 0, 0, kDialogFontWeight, FALSE, FALSE, FALSE,
                            ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            FF_SWISS, skin_files::kDialogFontFace));
    textColour_ = textColour;
}

void CDlgEx::LayoutControls() {}

BOOL CDlgEx::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowLongPtrW(hwnd, GWL_STYLE,
                      GetWindowLongPtrW(hwnd, GWL_STYLE) | WS_SYSMENU | WS_MINIMIZEBOX);
    LayoutControls();
    SetWindowPos(hwnd, nullptr, skinRect_.left, skinRect_.top, skinRect_.right - skinRect_.left,
                 skinRect_.bottom - skinRect_.top, SWP_NOZORDER);
    ApplyFont();
    ApplyRoundedRegion();
    picturesPending_ = true;
    return TRUE;
}

void CDlgEx::ApplyFont() {
    if (!font_) return;
    const WPARAM font = reinterpret_cast<WPARAM>(font_.Get());
    SendMessageW(hwnd, WM_SETFONT, font, TRUE);
    for (HWND child = GetWindow(hwnd, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        SendMessageW(child, WM_SETFONT, font, TRUE);
    }
}

void CDlgEx::ApplyRoundedRegion() {
    // In the window's own coordinates: the region starts at its top left
    // corner wherever the window stands.
    CRgn region(CreateRoundRectRgn(0, 0, skinRect_.right - skinRect_.left,
                                   skinRect_.bottom - skinRect_.top, kCornerArc, kCornerArc));
    if (region && SetWindowRgn(hwnd, region.Get(), TRUE) != 0) {
        region.Release();  // the window owns it now
    }
}

std::optional<LRESULT> CDlgEx::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
            return reinterpret_cast<LRESULT>(OnCtlColor(reinterpret_cast<HDC>(wParam),
                                                        reinterpret_cast<HWND>(lParam),
                                                        message - WM_CTLCOLORMSGBOX));
        case WM_NCHITTEST:
            return OnNcHitTest(lParam);
        case WM_SHOWWINDOW:
            // Shown: once it is painted, the rest of the pictures. A dialog
            // that starts hidden is shown when its queue first runs empty.
            if (wParam && std::exchange(picturesPending_, false)) {
                PostMessageW(hwnd, kCompletePicturesMessage, 0, 0);
            }
            return CDialog::HandleMessage(message, wParam, lParam);
        case kCompletePicturesMessage:
            CompletePictures();
            return 0;
        default:
            return CDialog::HandleMessage(message, wParam, lParam);
    }
}

HBRUSH CDlgEx::OnCtlColor(HDC dc, HWND control, UINT kind) {
    const SkinnedControl* skinned = FindControl(GetDlgCtrlID(control));
    const bool ownColour = skinned != nullptr && skinned->textColour != kDialogTextColour;
    SetTextColor(dc, ownColour ? skinned->textColour : textColour_);
    switch (kind) {
        case CTLCOLOR_EDIT:
            if (!IsWindowEnabled(control)) SetBkMode(dc, OPAQUE);
            break;
        case CTLCOLOR_LISTBOX:
        case CTLCOLOR_BTN:
        case CTLCOLOR_DLG:
        case CTLCOLOR_STATIC:
            SetBkMode(dc, TRANSPARENT);
            break;
        default:
            break;
    }
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void CDlgEx::OnPaint() {
    CPaintDC paint(hwnd);
    RECT window{};
    GetWindowRect(hwnd, &window);
    if (!background_) {
        // No picture: a plain dialog surface rather than whatever was there.
        RECT client{};
        GetClientRect(hwnd, &client);
        FillRect(paint.Get(), &client, GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    CMemoryDC memory(paint.Get());
    CSelectObject select(memory.Get(), background_.Get());
    BitBlt(paint.Get(), 0, 0, window.right - window.left, window.bottom - window.top, memory.Get(),
           0, 0, SRCCOPY);
}

std::optional<LRESULT> CDlgEx::OnNcHitTest(LPARAM point) {
    RECT client{};
    GetClientRect(hwnd, &client);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const POINT hit{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    if (PtInRect(&client, hit)) return HTCAPTION;
    return std::nullopt;
}

bool CDlgEx::PreTranslateMessage(MSG& message) {
    if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) message.wParam = 0;
    return CDialog::PreTranslateMessage(message);
}
