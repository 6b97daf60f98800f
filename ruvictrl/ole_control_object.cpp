// IOleObject: how a container sites the control, sizes it and sends it verbs.

#include "ole_control.h"

#include <olectl.h>

STDMETHODIMP COleControl::SetClientSite(IOleClientSite* site) {
    clientSite_ = site;
    NoteSite(site);
    return S_OK;
}

STDMETHODIMP COleControl::GetClientSite(IOleClientSite** site) {
    if (!site) {
        return E_POINTER;
    }
    return clientSite_.CopyTo(site);
}

STDMETHODIMP COleControl::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

STDMETHODIMP COleControl::Close(DWORD) {
    InPlaceDeactivate();
    if (oleAdviseHolder_) {
        oleAdviseHolder_->SendOnClose();
    }
    return S_OK;
}

STDMETHODIMP COleControl::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

STDMETHODIMP COleControl::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker) {
        *moniker = nullptr;
    }
    return E_NOTIMPL;
}

STDMETHODIMP COleControl::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }

STDMETHODIMP COleControl::GetClipboardData(DWORD, IDataObject** data) {
    if (data) {
        *data = nullptr;
    }
    return E_NOTIMPL;
}

STDMETHODIMP COleControl::DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND parent, LPCRECT) {
    switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_INPLACEACTIVATE:
        case OLEIVERB_UIACTIVATE:
            // The control takes no input, so it never needs to be UI-active.
            return ActivateInPlace();
        case OLEIVERB_HIDE:
            if (window_.Handle()) {
                ShowWindow(window_.Handle(), SW_HIDE);
            }
            return S_OK;
        case OLEIVERB_PROPERTIES:
            return ShowPropertyPages(parent);
        default:
            return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
    }
}

STDMETHODIMP COleControl::EnumVerbs(IEnumOLEVERB** verbs) {
    if (verbs) {
        *verbs = nullptr;
    }
    return OLE_S_USEREG;
}

STDMETHODIMP COleControl::Update() { return S_OK; }

STDMETHODIMP COleControl::IsUpToDate() { return S_OK; }

STDMETHODIMP COleControl::GetUserClassID(CLSID* classId) {
    if (!classId) {
        return E_POINTER;
    }
    *classId = identity_.classId;
    return S_OK;
}

STDMETHODIMP COleControl::GetUserType(DWORD, LPOLESTR* userType) {
    if (userType) {
        *userType = nullptr;
    }
    return OLE_S_USEREG;
}

STDMETHODIMP COleControl::SetExtent(DWORD aspect, SIZEL* size) {
    if (!size) {
        return E_POINTER;
    }
    if (aspect != DVASPECT_CONTENT) {
        return DV_E_DVASPECT;
    }
    extent_ = *size;
    return S_OK;
}

STDMETHODIMP COleControl::GetExtent(DWORD aspect, SIZEL* size) {
    if (!size) {
        return E_POINTER;
    }
    if (aspect != DVASPECT_CONTENT) {
        return DV_E_DVASPECT;
    }
    *size = extent_;
    return S_OK;
}

STDMETHODIMP COleControl::Advise(IAdviseSink* sink, DWORD* connection) {
    if (!connection) {
        return E_POINTER;
    }
    *connection = 0;
    if (!oleAdviseHolder_) {
        const HRESULT hr = CreateOleAdviseHolder(&oleAdviseHolder_);
        if (FAILED(hr)) {
            return hr;
        }
    }
    return oleAdviseHolder_->Advise(sink, connection);
}

STDMETHODIMP COleControl::Unadvise(DWORD connection) {
    if (!oleAdviseHolder_) {
        return OLE_E_NOCONNECTION;
    }
    return oleAdviseHolder_->Unadvise(connection);
}

STDMETHODIMP COleControl::EnumAdvise(IEnumSTATDATA** advise) {
    if (!advise) {
        return E_POINTER;
    }
    *advise = nullptr;
    if (!oleAdviseHolder_) {
        return S_OK;  // no connection, nothing to enumerate
    }
    return oleAdviseHolder_->EnumAdvise(advise);
}

STDMETHODIMP COleControl::GetMiscStatus(DWORD, DWORD* status) {
    if (!status) {
        return E_POINTER;
    }
    *status = identity_.miscStatus;
    return S_OK;
}

STDMETHODIMP COleControl::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

HRESULT COleControl::ShowPropertyPages(HWND parent) {
    IUnknown* self = static_cast<IOleObject*>(this);
    const std::wstring caption = theApp.ResourceString(identity_.typeNameString);
    CLSID page = identity_.propertyPage;
    return OleCreatePropertyFrame(parent ? parent : OwnerWindow(), 0, 0, caption.c_str(), 1, &self,
                                  1, &page, GetUserDefaultLCID(), 0, nullptr);
}
