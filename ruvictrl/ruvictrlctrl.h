#pragma once

#include <windows.h>

#include <olectl.h>
#include <wrl/client.h>

#include "ole_control.h"

// Dispatch identifiers of _DRUVICtrl, as the type library declares them.
inline constexpr DISPID kDispidAboutBox = DISPID_ABOUTBOX;
inline constexpr DISPID kDispidGetInstallPath = 1;
inline constexpr DISPID kDispidCheckIntegrity = 2;

// The browser control. A web page asks it where the installer is installed
// and whether every path of the installer's file-list manifest is present;
// both answers are read afresh on every call, and nothing is ever written.
// Pages are answered only from the origins that the installer's registry
// key allows.
class CRUVICtrlCtrl final : public COleControl {
public:
    CRUVICtrlCtrl();

    // IDispatch, by the names and identifiers of the type library
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** typeInfo) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale,
                               DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

protected:
    void OnDraw(HDC dc, const RECT& bounds) override;
    bool TrustsPage(std::wstring_view address) const override;

private:
    HRESULT DispatchTypeInfo(ITypeInfo** typeInfo);
    HRESULT CallMethod(DISPID id, VARIANT& result);

    Microsoft::WRL::ComPtr<ITypeInfo> dispatchTypeInfo_;
};
