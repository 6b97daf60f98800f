#pragma once

#include <windows.h>

#include "platform/unique_handle.h"

struct RegistryKeyTraits {
    using Handle = HKEY;
    static Handle Empty() { return nullptr; }
    static void Close(Handle key) { RegCloseKey(key); }
};

// An open registry key, closed with RegCloseKey.
using RegistryKey = UniqueHandle<RegistryKeyTraits>;
