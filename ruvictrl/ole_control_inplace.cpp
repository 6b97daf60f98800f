// IOleInPlaceObject: activation in place, with a child window of the
// container's window that shows the control's picture.

#include "ole_control.h"

using Microsoft::WRL::ComPtr;

HRESULT COleControl::ActivateInPlace() {
    if (inPlaceSite_) {
        ShowWindow(window_.Handle(), SW_SHOWNA);  // shown again after a hide verb
        return S_OK;
    }
    if (!clientSite_) {
        return E_UNEXPECTED;
    }
    ComPtr<IOleInPlaceSite> site;
    HRESULT hr = clientSite_.As(&site);
    if (FAILED(hr)) {
        return hr;
    }
    if (site->CanInPlaceActivate() != S_OK) {
        return E_FAIL;
    }
    hr = site->OnInPlaceActivate();
    if (FAILED(hr)) {
        return hr;
    }
    HWND parent = nullptr;
    ComPtr<IOleInPlaceFrame> frame;
    ComPtr<IOleInPlaceUIWindow> document;
    RECT position{};
    RECT clip{};
    OLEINPLACEFRAMEINFO frameInfo{};
    frameInfo.cb = sizeof frameInfo;
    if (FAILED(site->GetWindow(&parent)) ||
        FAILED(site->GetWindowContext(&frame, &document, &position, &clip, &frameInfo)) ||
        !window_.Create(parent, position, clip)) {
        site->OnInPlaceDeactivate();
        return E_FAIL;
    }
    inPlaceSite_ = std::move(site);
    return S_OK;
}

STDMETHODIMP COleControl::GetWindow(HWND* window) {
    if (!window) {
        return E_POINTER;
    }
    *window = window_.Handle();
    return *window ? S_OK : E_FAIL;
}

STDMETHODIMP COleControl::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

STDMETHODIMP COleControl::InPlaceDeactivate() {
    if (!inPlaceSite_) {
        return S_OK;
    }
    window_.Destroy();
    ComPtr<IOleInPlaceSite> site = std::move(inPlaceSite_);
    site->OnInPlaceDeactivate();
    return S_OK;
}

STDMETHODIMP COleControl::UIDeactivate() { return S_OK; }

STDMETHODIMP COleControl::SetObjectRects(LPCRECT position, LPCRECT clip) {
    if (!position || !clip) {
        return E_INVALIDARG;
    }
    window_.Place(*position, *clip);
    return S_OK;
}

STDMETHODIMP COleControl::ReactivateAndUndo() { return INPLACE_E_NOTUNDOABLE; }
