#pragma once

#include <windows.h>

#include "platform/unique_handle.h"

template <typename Object>
struct GdiObjectTraits {
    using Handle = Object;
    static Handle Empty() { return nullptr; }
    static void Close(Handle object) { DeleteObject(object); }
};

// A bitmap, font, region, brush or pen, deleted with DeleteObject. One that
// has been handed to the system (a window region, for one) must be given up
// with Release first.
template <typename Object>
using GdiObject = UniqueHandle<GdiObjectTraits<Object>>;
