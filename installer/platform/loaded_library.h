#pragma once

#include <windows.h>

#include "platform/unique_handle.h"

struct LoadedLibraryTraits {
    using Handle = HMODULE;
    static Handle Empty() { return nullptr; }
    static void Close(Handle module) { FreeLibrary(module); }
};

// A module this code loaded with LoadLibrary, freed with FreeLibrary.
using LoadedLibrary = UniqueHandle<LoadedLibraryTraits>;
