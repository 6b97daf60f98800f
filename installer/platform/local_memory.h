#pragma once

#include <windows.h>

#include "platform/unique_handle.h"

template <typename Pointer>
struct LocalMemoryTraits {
    using Handle = Pointer;
    static Handle Empty() { return nullptr; }
    static void Close(Handle memory) { LocalFree(memory); }
};

// Memory the system handed out with LocalAlloc, freed with LocalFree.
template <typename Pointer>
using LocalMemory = UniqueHandle<LocalMemoryTraits<Pointer>>;
