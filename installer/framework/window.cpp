#include "framework/window.h"

#include <commctrl.h>

namespace {
// One subclass per window at most: this id marks ours.
constexpr UINT_PTR kSubclassId = 0x52555649;  // "RUVI"
}  // namespace

CSubclassedWindow::~CSubclassedWindow() { UnsubclassWindow(); }

bool CSubclassedWindow::SubclassWindow(HWND window) {
    if (window == nullptr || hwnd != nullptr) return false;
    if (!SetWindowSubclass(window, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        return false;
    }
    hwnd = window;
    return true;
}

HWND CSubclassedWindow::UnsubclassWindow() {
    if (hwnd != nullptr) RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
    return CWindow::Detach();
}

LRESULT CSubclassedWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultProc(message, wParam, lParam);
}

LRESULT CSubclassedWindow::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK CSubclassedWindow::SubclassProc(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam, UINT_PTR, DWORD_PTR data) noexcept {
    auto* self = reinterpret_cast<CSubclassedWindow*>(data);
    if (message != WM_NCDESTROY) return self->WindowProc(message, wParam, lParam);
    // The last message of the window: let the control see it, then let go.
    const LRESULT result = self->WindowProc(message, wParam, lParam);
    RemoveWindowSubclass(window, SubclassProc, kSubclassId);
    self->hwnd = nullptr;
    return result;
}
