#pragma once

#include <windows.h>

#include <ole2.h>

#include "platform/unique_handle.h"

// The token stands for "this thread entered the apartment": it is true only
// when entering succeeded, S_FALSE (already inside) included, since every
// successful entry must be balanced by one exit.
struct ComApartmentTraits {
    using Handle = bool;
    static Handle Empty() { return false; }
    static void Close(Handle) { CoUninitialize(); }
};

struct OleApartmentTraits {
    using Handle = bool;
    static Handle Empty() { return false; }
    static void Close(Handle) { OleUninitialize(); }
};

// The calling thread inside a COM apartment for the lifetime of the object,
// left on the same thread at its end.
template <typename Traits>
class ScopedApartment {
public:
    ScopedApartment(const ScopedApartment&) = delete;
    ScopedApartment& operator=(const ScopedApartment&) = delete;

    // What entering returned.
    HRESULT Result() const { return result_; }

protected:
    explicit ScopedApartment(HRESULT result) : result_(result), entered_(SUCCEEDED(result)) {}

private:
    HRESULT result_;
    UniqueHandle<Traits> entered_;
};

// A COM apartment of the given model (CoInitializeEx).
class ComApartment : public ScopedApartment<ComApartmentTraits> {
public:
    explicit ComApartment(DWORD model) : ScopedApartment(CoInitializeEx(nullptr, model)) {}
};

// OLE's single-threaded apartment, as containers and the product control's
// callers use it (OleInitialize).
class OleApartment : public ScopedApartment<OleApartmentTraits> {
public:
    OleApartment() : ScopedApartment(OleInitialize(nullptr)) {}
};
