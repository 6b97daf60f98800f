// IViewObject2: drawing into a device context the container hands over.

#include "ole_control.h"

STDMETHODIMP COleControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc,
                               LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                               ULONG_PTR) {
    if (aspect != DVASPECT_CONTENT) {
        return DV_E_DVASPECT;
    }
    if (!dc || !bounds) {
        return E_INVALIDARG;  // nothing to draw on
    }
    const RECT rect = {bounds->left, bounds->top, bounds->right, bounds->bottom};
    OnDraw(dc, rect);
    return S_OK;
}

STDMETHODIMP COleControl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC,
                                      LOGPALETTE** colors) {
    if (!colors) {
        return E_POINTER;
    }
    *colors = nullptr;
    return S_FALSE;  // no palette of its own
}

STDMETHODIMP COleControl::Freeze(DWORD, LONG, void*, DWORD* freeze) {
    if (freeze) {
        *freeze = 0;
    }
    return E_NOTIMPL;
}

STDMETHODIMP COleControl::Unfreeze(DWORD) { return E_NOTIMPL; }

STDMETHODIMP COleControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
    viewSink_ = sink;
    viewSinkAspects_ = aspects;
    viewSinkFlags_ = flags;
    return S_OK;
}

STDMETHODIMP COleControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
    if (aspects) {
        *aspects = viewSinkAspects_;
    }
    if (flags) {
        *flags = viewSinkFlags_;
    }
    if (sink) {
        viewSink_.CopyTo(sink);
    }
    return S_OK;
}

STDMETHODIMP COleControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
    return GetExtent(aspect, size);
}
