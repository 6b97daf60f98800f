#pragma once

#include <windows.h>

#include <oaidl.h>

// Calls a method without arguments by name, the way the installer calls the
// product's control: GetIDsOfNames with IID_NULL and LOCALE_SYSTEM_DEFAULT,
// then Invoke with DISPATCH_METHOD. result is cleared first.
HRESULT CallByName(IDispatch* object, const wchar_t* name, VARIANT& result,
                   WORD flags = DISPATCH_METHOD);

// A VARIANT that clears itself.
class ScopedVariant {
public:
    ScopedVariant() { VariantInit(&value_); }
    ~ScopedVariant() { VariantClear(&value_); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;

    VARIANT& get() { return value_; }
    VARTYPE type() const { return V_VT(&value_); }
    const wchar_t* text() const { return V_BSTR(&value_); }
    LONG number() const { return V_I4(&value_); }

private:
    VARIANT value_;
};
