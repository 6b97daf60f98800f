#pragma once

#include <windows.h>

#include "platform/unique_handle.h"

struct WindowsHookTraits {
    using Handle = HHOOK;
    static Handle Empty() { return nullptr; }
    static void Close(Handle hook) { UnhookWindowsHookEx(hook); }
};

// A hook procedure installed with SetWindowsHookEx, removed with
// UnhookWindowsHookEx.
using WindowsHook = UniqueHandle<WindowsHookTraits>;
