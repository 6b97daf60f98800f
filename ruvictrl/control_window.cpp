#include "control_window.h"

#include "control_drawing.h"
#include "platform/gdi_object.h"
#include "ruvictrl_app.h"

namespace {

constexpr wchar_t kWindowClass[] = L"RUVICtrlWindow";

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;  // painting covers the whole client area
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            RECT client;
            GetClientRect(window, &client);
            DrawControl(dc, client);
            EndPaint(window, &paint);
            return 0;
        }
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

// Registered on first use; a second registration of the same class is harmless.
bool RegisterWindowClass() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = theApp.Instance();
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

bool ControlWindow::Create(HWND parent, const RECT& position, const RECT& clip) {
    window_.Reset();
    if (!RegisterWindowClass()) {
        return false;
    }
    window_.Reset(CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_CLIPSIBLINGS, position.left,
                                  position.top, position.right - position.left,
                                  position.bottom - position.top, parent, nullptr,
                                  theApp.Instance(), nullptr));
    if (!window_) {
        return false;
    }
    Place(position, clip);
    ShowWindow(window_.Get(), SW_SHOWNA);
    return true;
}

void ControlWindow::Place(const RECT& position, const RECT& clip) {
    HWND window = window_.Get();
    if (!window) {
        return;
    }
    MoveWindow(window, position.left, position.top, position.right - position.left,
               position.bottom - position.top, TRUE);
    RECT visible;
    IntersectRect(&visible, &position, &clip);
    if (EqualRect(&visible, &position)) {
        SetWindowRgn(window, nullptr, TRUE);
        return;
    }
    // The region is in window coordinates; the system owns it once it is set.
    OffsetRect(&visible, -position.left, -position.top);
    GdiObject<HRGN> region(CreateRectRgnIndirect(&visible));
    if (region && SetWindowRgn(window, region.Get(), TRUE)) {
        region.Release();
    }
}

void ControlWindow::UnregisterClass() { UnregisterClassW(kWindowClass, theApp.Instance()); }
