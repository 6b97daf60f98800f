// IPersistStreamInit and IPersistPropertyBag. The control has no persistent
// properties; what it saves and loads is its version stamp.

#include "ole_control.h"
#include "ruvictrl_names.h"

STDMETHODIMP COleControl::GetClassID(CLSID* classId) {
    if (!classId) {
        return E_POINTER;
    }
    *classId = identity_.classId;
    return S_OK;
}

STDMETHODIMP COleControl::IsDirty() { return S_FALSE; }

STDMETHODIMP COleControl::InitNew() { return S_OK; }

STDMETHODIMP COleControl::Load(LPSTREAM stream) {
    if (!stream) {
        return E_POINTER;
    }
    DWORD version = 0;
    ULONG read = 0;
    const HRESULT hr = stream->Read(&version, sizeof version, &read);
    if (FAILED(hr)) {
        return hr;
    }
    return read == sizeof version ? S_OK : E_FAIL;
}

STDMETHODIMP COleControl::Save(LPSTREAM stream, BOOL) {
    if (!stream) {
        return E_POINTER;
    }
    const DWORD version = kVersionStamp;
    ULONG written = 0;
    const HRESULT hr = stream->Write(&version, sizeof version, &written);
    if (FAILED(hr)) {
        return hr;
    }
    return written == sizeof version ? S_OK : STG_E_MEDIUMFULL;
}

STDMETHODIMP COleControl::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size) {
        return E_POINTER;
    }
    size->QuadPart = sizeof kVersionStamp;
    return S_OK;
}

// Pages that pass no parameters have no stamp; that is as good as the
// current one.
STDMETHODIMP COleControl::Load(IPropertyBag* bag, IErrorLog* log) {
    if (!bag) {
        return E_POINTER;
    }
    VARIANT version;
    VariantInit(&version);
    V_VT(&version) = VT_I4;
    bag->Read(kVersionStampProperty, &version, log);
    VariantClear(&version);
    return S_OK;
}

STDMETHODIMP COleControl::Save(IPropertyBag* bag, BOOL, BOOL) {
    if (!bag) {
        return E_POINTER;
    }
    VARIANT version;
    VariantInit(&version);
    V_VT(&version) = VT_I4;
    V_I4(&version) = LONG(kVersionStamp);
    return bag->Write(kVersionStampProperty, &version);
}
