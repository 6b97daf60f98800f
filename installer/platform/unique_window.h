#pragma once

#include <windows.h>

#include "platform/unique_handle.h"

struct WindowTraits {
    using Handle = HWND;
    static Handle Empty() { return nullptr; }
    static void Close(Handle window) { DestroyWindow(window); }
};

// A window its creator destroys with DestroyWindow; destroy it on the thread
// that created it. A window merely used, not created, is a plain HWND.
using UniqueWindow = UniqueHandle<WindowTraits>;
