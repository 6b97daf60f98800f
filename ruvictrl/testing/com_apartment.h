#pragma once

#include <windows.h>

#include <ole2.h>

// OLE on the current thread (a single-threaded apartment) for the lifetime
// of the object, as containers and the installer use it.
class ComApartment {
public:
    ComApartment() : result_(OleInitialize(nullptr)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_)) {
            OleUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    HRESULT Result() const { return result_; }

private:
    HRESULT result_;
};
