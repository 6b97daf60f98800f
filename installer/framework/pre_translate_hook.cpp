#include "framework/pre_translate_hook.h"

#include "framework/dialog.h"

namespace {
// The scopes of one thread form a stack; the outermost installs the hook.
thread_local CPreTranslateHook* innermostScope = nullptr;
}  // namespace

CPreTranslateHook::CPreTranslateHook(CDialog& dialog) : dialog_(dialog), outer_(innermostScope) {
    if (outer_ == nullptr) {
        hook_.Reset(SetWindowsHookExW(WH_MSGFILTER, FilterProc, nullptr, GetCurrentThreadId()));
    }
    innermostScope = this;
}

CPreTranslateHook::~CPreTranslateHook() { innermostScope = outer_; }

bool CPreTranslateHook::Holds(HWND window) const {
    const HWND dialog = dialog_.hwnd;
    return dialog != nullptr && window != nullptr && (window == dialog || IsChild(dialog, window));
}

LRESULT CALLBACK CPreTranslateHook::FilterProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
    if (code == MSGF_DIALOGBOX) {
        MSG& message = *reinterpret_cast<MSG*>(lParam);
        for (CPreTranslateHook* scope = innermostScope; scope != nullptr; scope = scope->outer_) {
            if (!scope->Holds(message.hwnd)) continue;
            if (scope->dialog_.PreTranslateMessage(message)) return 1;
            break;
        }
    }
    // The system finds the next hook itself: the handle argument is ignored.
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
