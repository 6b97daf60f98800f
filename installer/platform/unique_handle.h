#pragma once

#include <cassert>
#include <utility>

// Sole owner of one platform handle. Traits name the handle type, its empty
// value and the one call that releases it, so each kind of handle is closed
// in exactly one place:
//   struct Traits { using Handle = ...; static Handle Empty(); static void Close(Handle); };
template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { Reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::Empty(); }

    // Gives the handle up without closing it.
    Handle Release() { return std::exchange(handle_, Traits::Empty()); }

    void Reset(Handle handle = Traits::Empty()) {
        const Handle old = std::exchange(handle_, handle);
        if (old != Traits::Empty()) Traits::Close(old);
    }

    // For calls that return the handle through an out-parameter. Only an
    // empty owner may receive, or the handle it holds would leak. A call
    // that fails may still write to it: Release() the slot then.
    Handle* Receive() {
        assert(!*this);
        return &handle_;
    }

private:
    Handle handle_ = Traits::Empty();
};
