#pragma once

#include "com_object.h"

// The class object of T, as DllGetClassObject hands it out. T has a public
// default constructor and implements QueryInterface.
template <class T>
class ClassFactory final : public ComObject<IClassFactory> {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        if (!object) {
            return E_POINTER;
        }
        *object = nullptr;
        if (Offer<IUnknown>(riid, this, object) || Offer<IClassFactory>(riid, this, object)) {
            return S_OK;
        }
        return E_NOINTERFACE;
    }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        if (!object) {
            return E_POINTER;
        }
        *object = nullptr;
        if (outer) {
            return CLASS_E_NOAGGREGATION;
        }
        return MakeComObject<T>()->QueryInterface(riid, object);
    }

    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock) {
            theApp.Lock();
        } else {
            theApp.Unlock();
        }
        return S_OK;
    }
};
