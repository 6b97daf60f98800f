#pragma once

#include <windows.h>

#include "platform/unique_handle.h"

struct FileSearchTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle search) { FindClose(search); }
};

// A search started with FindFirstFile, ended with FindClose. A search that
// could not start is INVALID_HANDLE_VALUE, which is the empty owner.
using FileSearch = UniqueHandle<FileSearchTraits>;
