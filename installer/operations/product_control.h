#pragma once

#include <windows.h>

#include <oleauto.h>
#include <wrl/client.h>

#include <string>

// The installed product's own automation control, through which the check
// and the launcher find the product. It is not ours: all we rely on is its
// programmatic identifier, two methods without arguments called by name, and
// the Version subkey of its class key.

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

// The class identifier the product registered its control under; false when
// the product is not installed.
bool FindProductControl(CLSID& classId);

// The control, or null when it cannot be created.
Microsoft::WRL::ComPtr<IDispatch> CreateProductControl(const CLSID& classId);

// Calls the method called name without arguments; false when the control
// does not know the name or the call fails.
bool CallByName(IDispatch* control, const wchar_t* name, ScopedVariant& result);

// Whether the control calls the installation intact. Only the low 32 bits
// of the answer count, whatever its type: an empty answer is intact.
bool IsProductIntact(IDispatch* control);

// The installation folder with its trailing backslash; empty when the call
// fails or the answer is not a string.
std::wstring ProductInstallPath(IDispatch* control);
