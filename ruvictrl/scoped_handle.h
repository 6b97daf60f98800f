#pragma once

#include <windows.h>

// The one owner of a Win32 handle that is released by a single function.
// receive() hands the empty owner's slot to an API that returns the handle
// through an out-parameter.
template <typename Handle, auto Close>
class ScopedHandle {
public:
    ScopedHandle() = default;
    explicit ScopedHandle(Handle handle) : handle_(handle) {}
    ~ScopedHandle() { reset(); }

    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Handle{}; }

    Handle* receive() {
        reset();
        return &handle_;
    }

    Handle release() {
        Handle handle = handle_;
        handle_ = Handle{};
        return handle;
    }

    void reset(Handle handle = Handle{}) {
        if (handle_ != Handle{}) {
            Close(handle_);
        }
        handle_ = handle;
    }

private:
    Handle handle_{};
};

using ScopedRegKey = ScopedHandle<HKEY, &RegCloseKey>;
using ScopedWindow = ScopedHandle<HWND, &DestroyWindow>;
using ScopedGdiObject = ScopedHandle<HGDIOBJ, &DeleteObject>;
