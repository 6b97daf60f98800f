#pragma once

#include <windows.h>

#include <utility>

// Sole owner of one GDI object (bitmap, font, region, brush), deleted with
// DeleteObject. A handle that has been handed to the system (a window region,
// for one) must be given up with Release first.
template <typename Handle>
class CGdiObject {
public:
    CGdiObject() = default;
    explicit CGdiObject(Handle handle) : handle_(handle) {}
    ~CGdiObject() { Reset(); }

    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    CGdiObject(CGdiObject&& other) noexcept : handle_(other.Release()) {}
    CGdiObject& operator=(CGdiObject&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

    Handle Release() { return std::exchange(handle_, nullptr); }

    void Reset(Handle handle = nullptr) {
        const Handle old = std::exchange(handle_, handle);
        if (old != nullptr) DeleteObject(old);
    }

private:
    Handle handle_ = nullptr;
};

using CBitmap = CGdiObject<HBITMAP>;
using CFont = CGdiObject<HFONT>;
using CRgn = CGdiObject<HRGN>;
using CBrush = CGdiObject<HBRUSH>;
