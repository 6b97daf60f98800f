#pragma once

#include <windows.h>

#include "platform/unique_handle.h"

struct MemoryDcTraits {
    using Handle = HDC;
    static Handle Empty() { return nullptr; }
    static void Close(Handle dc) { DeleteDC(dc); }
};

// A memory device context from CreateCompatibleDC, deleted with DeleteDC.
using MemoryDc = UniqueHandle<MemoryDcTraits>;
