#include "dispatch_call.h"

HRESULT CallByName(IDispatch* object, const wchar_t* name, VARIANT& result, WORD flags) {
    VariantClear(&result);
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &id);
    if (FAILED(hr)) {
        return hr;
    }
    DISPPARAMS noArguments = {nullptr, nullptr, 0, 0};
    return object->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, flags, &noArguments, &result,
                          nullptr, nullptr);
}
