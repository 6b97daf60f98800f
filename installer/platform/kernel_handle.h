#pragma once

#include <windows.h>

#include "platform/unique_handle.h"

struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() { return nullptr; }
    static void Close(Handle handle) { CloseHandle(handle); }
};

// A process, thread or file handle, closed with CloseHandle.
using KernelHandle = UniqueHandle<KernelHandleTraits>;

// CreateFile reports failure as INVALID_HANDLE_VALUE instead of null.
inline KernelHandle AdoptFileHandle(HANDLE handle) {
    return KernelHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}
