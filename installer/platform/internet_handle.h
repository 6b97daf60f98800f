#pragma once

#include <windows.h>
#include <wininet.h>

#include "platform/unique_handle.h"

struct InternetHandleTraits {
    using Handle = HINTERNET;
    static Handle Empty() { return nullptr; }
    static void Close(Handle handle) { InternetCloseHandle(handle); }
};

// A WinINet session, connection or request, closed with InternetCloseHandle.
// Declare them in that order so that they close request first, session last.
using InternetHandle = UniqueHandle<InternetHandleTraits>;
