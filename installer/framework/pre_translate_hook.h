#pragma once

#include <windows.h>

#include "platform/windows_hook.h"

class CDialog;

// The dialog manager runs the modal loop of DialogBoxParam itself; before it
// acts on an input message it calls the thread's message filter hooks
// (MSGF_DIALOGBOX) with that very message. While a dialog runs modally, this
// scope routes those messages to its PreTranslateMessage. Dialogs opened
// from a running dialog nest: a message goes to the innermost dialog that
// holds its window.
class CPreTranslateHook {
public:
    explicit CPreTranslateHook(CDialog& dialog);
    ~CPreTranslateHook();
    CPreTranslateHook(const CPreTranslateHook&) = delete;
    CPreTranslateHook& operator=(const CPreTranslateHook&) = delete;

private:
    static LRESULT CALLBACK FilterProc(int code, WPARAM wParam, LPARAM lParam) noexcept;
    bool Holds(HWND window) const;

    CDialog& dialog_;
    CPreTranslateHook* outer_;
    // Held by the outermost scope only.
    WindowsHook hook_;
};
