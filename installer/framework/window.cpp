#include "framework/window.h"

#include <commctrl.h>

namespace {
// One subclass per window at most: this id marks ours.
constexpr UINT_PTR kSubclassId = 0x52555649;  // "RUVI"
}  // namespace

bool CWindow::Attach(HWND window) {
    if (window == nullptr) return false;
    hwnd = window;
    return true;
}

CSubclassedWindow::~CSubclassedWindow() { Detach(); }

bool CSubclassedWindow::Attach(HWND window) {
    if (window == nullptr || hwnd != nullptr) return false;
    if (!SetWindowSubclass(window, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        return false;
    }
    hwnd = window;
    return true;
}

void CSubclassedWindow::Detach() {
    if (hwnd == nullptr) return;
    RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
    hwnd = nullptr;
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
