#pragma once

#include <windows.h>

#include <oaidl.h>

#include <atomic>
#include <string>

// The control module: its instance handle, the count of live objects and
// server locks that decides whether COM may unload it, and access to the
// type library embedded in it.
class CRUVICtrlApp {
public:
    void Attach(HINSTANCE instance) { instance_ = instance; }
    HINSTANCE Instance() const { return instance_; }
    std::wstring ModulePath() const;

    void ObjectCreated() { ++objects_; }
    void ObjectDestroyed() { --objects_; }
    void Lock() { ++locks_; }
    void Unlock() { --locks_; }
    bool CanUnload() const { return objects_ == 0 && locks_ == 0; }

    // The embedded type library, loaded without registering it.
    HRESULT OpenTypeLib(ITypeLib** typeLib) const;
    HRESULT LoadTypeInfo(REFGUID guid, ITypeInfo** typeInfo) const;

    std::wstring ResourceString(UINT id) const;

private:
    HINSTANCE instance_ = nullptr;
    std::atomic<long> objects_{0};
    std::atomic<long> locks_{0};
};

extern CRUVICtrlApp theApp;
