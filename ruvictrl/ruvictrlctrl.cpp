#include "ruvictrlctrl.h"

#include <new>
#include <string>

#include "about_box.h"
#include "control_drawing.h"
#include "installer_records.h"
#include "integrity_check.h"
#include "resource.h"
#include "ruvictrl_h.h"
#include "ruvictrl_names.h"
#include "ruvictrlproppage.h"
#include "site_origin.h"
#include "webcheck_names.h"

namespace {

const ControlIdentity kIdentity = {
    .classId = CLSID_RUVICtrl,
    .typeNameString = IDS_RUVICTRL,
    .dispatchInterface = DIID__DRUVICtrl,
    .eventInterface = DIID__DRUVICtrlEvents,
    .propertyPage = CLSID_RUVICtrlPropPage,
    .miscStatus = kControlMiscStatus,
};

// Null only when the string cannot be allocated.
BSTR ToBstr(const std::wstring& text) { return SysAllocStringLen(text.data(), UINT(text.size())); }

}  // namespace

CRUVICtrlCtrl::CRUVICtrlCtrl() : COleControl(kIdentity) {}

void CRUVICtrlCtrl::OnDraw(HDC dc, const RECT& bounds) { DrawControl(dc, bounds); }

bool CRUVICtrlCtrl::TrustsPage(std::wstring_view address) const {
    return IsPageAllowed(address, ReadAllowedSites(kInstallerProductKey));
}

HRESULT CRUVICtrlCtrl::DispatchTypeInfo(ITypeInfo** typeInfo) {
    if (!dispatchTypeInfo_) {
        const HRESULT hr = theApp.LoadTypeInfo(DIID__DRUVICtrl, &dispatchTypeInfo_);
        if (FAILED(hr)) {
            return hr;
        }
    }
    return dispatchTypeInfo_.CopyTo(typeInfo);
}

STDMETHODIMP CRUVICtrlCtrl::GetTypeInfoCount(UINT* count) {
    if (!count) {
        return E_POINTER;
    }
    *count = 1;
    return S_OK;
}

STDMETHODIMP CRUVICtrlCtrl::GetTypeInfo(UINT index, LCID, ITypeInfo** typeInfo) {
    if (!typeInfo) {
        return E_POINTER;
    }
    *typeInfo = nullptr;
    if (index != 0) {
        return DISP_E_BADINDEX;
    }
    return DispatchTypeInfo(typeInfo);
}

STDMETHODIMP CRUVICtrlCtrl::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) {
    if (riid != IID_NULL) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    Microsoft::WRL::ComPtr<ITypeInfo> typeInfo;
    const HRESULT hr = DispatchTypeInfo(&typeInfo);
    if (FAILED(hr)) {
        return hr;
    }
    return DispGetIDsOfNames(typeInfo.Get(), names, count, ids);
}

// The methods take no arguments. Script engines call them as methods, or
// as property reads when a script leaves out the parentheses; the about box
// opens only for a call, as reading a property must not block the page.
STDMETHODIMP CRUVICtrlCtrl::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO*, UINT*) {
    if (riid != IID_NULL) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    if (!params) {
        return E_INVALIDARG;
    }
    const WORD answered =
        id == kDispidAboutBox ? DISPATCH_METHOD : DISPATCH_METHOD | DISPATCH_PROPERTYGET;
    if (!(flags & answered)) {
        return DISP_E_MEMBERNOTFOUND;
    }
    if (params->cNamedArgs != 0) {
        return DISP_E_NONAMEDARGS;
    }
    if (params->cArgs != 0) {
        return DISP_E_BADPARAMCOUNT;
    }
    if (!HolderMayUse()) {
        return E_ACCESSDENIED;
    }
    VARIANT answer;
    VariantInit(&answer);
    const HRESULT hr = CallMethod(id, answer);
    if (SUCCEEDED(hr) && result) {
        *result = answer;
    } else {
        VariantClear(&answer);
    }
    return hr;
}

HRESULT CRUVICtrlCtrl::CallMethod(DISPID id, VARIANT& result) {
    try {
        switch (id) {
            case kDispidAboutBox:
                ShowAboutBox(OwnerWindow());
                return S_OK;
            case kDispidGetInstallPath:
                V_BSTR(&result) = ToBstr(ReadInstallPathText(kInstallerProductKey));
                if (!V_BSTR(&result)) {
                    return E_OUTOFMEMORY;
                }
                V_VT(&result) = VT_BSTR;
                return S_OK;
            case kDispidCheckIntegrity:
                V_VT(&result) = VT_I4;
                V_I4(&result) = CheckInstallation();
                return S_OK;
            default:
                return DISP_E_MEMBERNOTFOUND;
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
