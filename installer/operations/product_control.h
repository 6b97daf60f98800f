#pragma once

#include <windows.h>

#include <oleauto.h>
#include <wrl/client.h>

#include <string>

#include "platform/loaded_library.h"

// The installed product's own automation control, through which the check
// and the launcher find the product. It is not ours: all we rely on is its
// programmatic identifier, two methods without arguments called by name, and
// the Version subkey of its class key.
//
// Everything about it is read from HKEY_LOCAL_MACHINE\SOFTWARE\Classes in the
// 64-bit view (the installer and the control it loads are 64-bit), never from
// HKEY_CLASSES_ROOT: that view merges in the current user's classes, which
// any program of the user can write, and the control is loaded into the
// elevated installer.

// A VARIANT that is cleared when it goes away. Starts all zero, so an answer
// the callee leaves empty reads as 0.
class ScopedVariant {
public:
    ScopedVariant();
    ~ScopedVariant();
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;

    VARIANT* Get() { return &value_; }
    const VARIANT& Value() const { return value_; }

private:
    VARIANT value_;
};

// The class identifier the machine registers for the product's ProgID;
// false when the product is not installed.
bool FindProductControl(CLSID& classId);

// The version the product registered with its control class (the Version
// subkey's default value); false when it has none.
bool ReadRegisteredVersion(const CLSID& classId, std::string& version);

// The control, created from the in-process server that the machine's
// registration of the class names: a DLL by its full path, loaded from there
// (its own dependencies from its folder and the system folder), asked for its
// class object and that for the control. The module stays loaded as long as
// the control lives. Empty when any step fails.
class CProductControl {
public:
    explicit CProductControl(const CLSID& classId);
    CProductControl(const CProductControl&) = delete;
    CProductControl& operator=(const CProductControl&) = delete;

    explicit operator bool() const { return control_ != nullptr; }
    IDispatch* Get() const { return control_.Get(); }

private:
    // Declared first, so released after the control.
    LoadedLibrary module_;
    Microsoft::WRL::ComPtr<IDispatch> control_;
};

// Calls the method called name without arguments; false when the control
// does not know the name or the call fails.
bool CallByName(IDispatch* control, const wchar_t* name, ScopedVariant& result);

// Whether the control calls the installation intact. Only the low 32 bits
// of the answer count, whatever its type: an empty answer is intact.
bool IsProductIntact(IDispatch* control);

// The installation folder with its trailing backslash; empty when the call
// fails or the answer is not a string.
std::wstring ProductInstallPath(IDispatch* control);
