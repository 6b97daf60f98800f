#include "window_creation_block.h"

#include <stdexcept>

namespace {

thread_local int attempts = 0;

LRESULT CALLBACK RefuseCreation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        ++attempts;
        return 1;  // the window is not created
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

WindowCreationBlock::WindowCreationBlock()
    : hook_(SetWindowsHookExW(WH_CBT, RefuseCreation, nullptr, GetCurrentThreadId())) {
    if (!hook_) {
        throw std::runtime_error("cannot hook window creation");
    }
    attempts = 0;
}

int WindowCreationBlock::Attempts() const { return attempts; }
