#pragma once

#include <windows.h>

#include <objbase.h>

#include "platform/unique_handle.h"

template <typename Pointer>
struct TaskMemoryTraits {
    using Handle = Pointer;
    static Handle Empty() { return nullptr; }
    static void Close(Handle memory) { CoTaskMemFree(memory); }
};

// Memory a COM or shell call handed out (a string, for one), freed with
// CoTaskMemFree.
template <typename Pointer>
using TaskMemory = UniqueHandle<TaskMemoryTraits<Pointer>>;
