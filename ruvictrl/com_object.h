#pragma once

#include <windows.h>

#include <unknwn.h>
#include <wrl/client.h>

#include <atomic>
#include <utility>

#include "ruvictrl_app.h"

// Reference counting for the module's COM objects, which implement their
// interfaces by inheriting them and answer QueryInterface themselves. An
// object owns itself: the last Release destroys it. Every live object keeps
// the module loaded.
template <class... Interfaces>
class ComObject : public Interfaces... {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }

    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

protected:
    ComObject() { theApp.ObjectCreated(); }
    virtual ~ComObject() { theApp.ObjectDestroyed(); }

    // Hands out `face` when riid names it (or names `iid`, for interfaces
    // that are known by more than one identifier); for QueryInterface chains.
    template <class Interface>
    bool Offer(REFIID riid, Interface* face, void** object, REFIID iid = __uuidof(Interface)) {
        if (riid != iid) {
            return false;
        }
        *object = face;
        AddRef();
        return true;
    }

private:
    std::atomic<ULONG> references_{0};  // the creator's pointer takes the first
};

// Creates a COM object; the returned pointer holds its only reference.
// (MinGW's ComPtr::Attach adds a reference of its own, so it cannot adopt one.)
template <class T, class... Args>
Microsoft::WRL::ComPtr<T> MakeComObject(Args&&... args) {
    return Microsoft::WRL::ComPtr<T>(new T(std::forward<Args>(args)...));
}
