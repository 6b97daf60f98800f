#pragma once

#include <windows.h>
// after windows.h
#include <bcrypt.h>

#include "platform/unique_handle.h"

// Owners of the system's cryptography objects, each released by its one call.

struct BcryptAlgorithmTraits {
    using Handle = BCRYPT_ALG_HANDLE;
    static Handle Empty() { return nullptr; }
    static void Close(Handle algorithm) { BCryptCloseAlgorithmProvider(algorithm, 0); }
};
using BcryptAlgorithm = UniqueHandle<BcryptAlgorithmTraits>;

struct BcryptHashTraits {
    using Handle = BCRYPT_HASH_HANDLE;
    static Handle Empty() { return nullptr; }
    static void Close(Handle hash) { BCryptDestroyHash(hash); }
};
using BcryptHash = UniqueHandle<BcryptHashTraits>;

struct BcryptKeyTraits {
    using Handle = BCRYPT_KEY_HANDLE;
    static Handle Empty() { return nullptr; }
    static void Close(Handle key) { BCryptDestroyKey(key); }
};
using BcryptKey = UniqueHandle<BcryptKeyTraits>;
