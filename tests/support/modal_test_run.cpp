#include "modal_test_run.h"

namespace {

struct WindowSearch {
    HWND found = nullptr;
};

BOOL CALLBACK FindVisibleTopLevel(HWND window, LPARAM data) {
    if (!IsWindowVisible(window)) return TRUE;
    reinterpret_cast<WindowSearch*>(data)->found = window;
    return FALSE;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD deadlineMs) {
    const ULONGLONG deadline = GetTickCount64() + deadlineMs;
    while (!condition()) {
        if (GetTickCount64() > deadline) return false;
        Sleep(5);
    }
    return true;
}

CModalTestRun::CModalTestRun(std::function<INT_PTR()> run) {
    thread_ = std::thread([this, run = std::move(run)] {
        threadId_ = GetCurrentThreadId();
        result_ = run();
        ended_ = true;
    });
}

CModalTestRun::~CModalTestRun() {
    if (!ended_) {
        // Cancel the way the dialog manager would, then insist.
        if (const HWND window = WaitForWindow(); window != nullptr) {
            PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            if (!WaitUntil([this] { return ended_.load(); }, 5000)) {
                PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                EndDialog(window, -1);
            }
        }
    }
    thread_.join();
}

HWND CModalTestRun::WaitForWindow() {
    HWND window = nullptr;
    WaitUntil([&] {
        if (ended_) return true;
        const DWORD id = threadId_;
        if (id == 0) return false;
        WindowSearch search;
        EnumThreadWindows(id, FindVisibleTopLevel, reinterpret_cast<LPARAM>(&search));
        window = search.found;
        return window != nullptr;
    });
    return ended_ ? nullptr : window;
}

INT_PTR CModalTestRun::WaitForResult() {
    if (!WaitUntil([this] { return ended_.load(); })) return -2;
    return result_;
}

void CModalTestRun::PressKey(WPARAM key) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(threadId_, &info);
    HWND target = info.hwndFocus != nullptr ? info.hwndFocus : info.hwndActive;
    if (target == nullptr) target = WaitForWindow();
    const UINT scan = MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
    PostMessageW(target, WM_KEYDOWN, key, 1 | (static_cast<LPARAM>(scan) << 16));
    PostMessageW(target, WM_KEYUP, key,
                 1 | (static_cast<LPARAM>(scan) << 16) | (1LL << 30) | (1LL << 31));
}
