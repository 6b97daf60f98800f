// Where the control is: the sites containers hand it, the page they name,
// and what the control promises untrusted scripts there (IObjectSafety).

#include "ole_control.h"

#include <string>

#include "platform/task_memory.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr DWORD kSafeForEverything =
    INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA;

// What a client site tells of the document that holds the control: a
// browser names the page by the moniker of its container.
struct PageAddress {
    enum Kind { kNoDocument, kUnreadable, kKnown } kind;
    std::wstring text;
};

PageAddress ReadPageAddress(IOleClientSite* site) {
    ComPtr<IMoniker> moniker;
    if (!site ||
        FAILED(site->GetMoniker(OLEGETMONIKER_ONLYIFTHERE, OLEWHICHMK_CONTAINER, &moniker)) ||
        !moniker) {
        return {PageAddress::kNoDocument, {}};
    }
    ComPtr<IBindCtx> bindContext;
    TaskMemory<LPOLESTR> name;
    if (FAILED(CreateBindCtx(0, &bindContext)) ||
        FAILED(moniker->GetDisplayName(bindContext.Get(), nullptr, name.Receive())) || !name ||
        !*name.Get()) {
        return {PageAddress::kUnreadable, {}};
    }
    return {PageAddress::kKnown, name.Get()};
}

}  // namespace

// Script engines site the objects that scripts create with IObjectWithSite;
// a site that is also a client site names the page like a container's.
ComPtr<IOleClientSite> COleControl::PageSite() const {
    ComPtr<IOleClientSite> site = clientSite_;
    if (!site && objectSite_) {
        objectSite_.As(&site);
    }
    return site;
}

void COleControl::NoteSite(IUnknown* site) {
    if (site && ReadPageAddress(PageSite().Get()).kind != PageAddress::kNoDocument) {
        pageSeen_ = true;
    }
}

// Browsers ask IObjectSafety of whatever an untrusted page may script, and
// may ask before they site the control, or never site it at all: from then
// on the holder is a page, and only a page that names itself is trusted.
bool COleControl::HolderMayUse() {
    const PageAddress page = ReadPageAddress(PageSite().Get());
    if (page.kind == PageAddress::kNoDocument) {
        return !pageSeen_ && !safetyAsked_;
    }
    pageSeen_ = true;
    return page.kind == PageAddress::kKnown && TrustsPage(page.text);
}

STDMETHODIMP COleControl::SetSite(IUnknown* site) {
    objectSite_ = site;
    NoteSite(site);
    return S_OK;
}

STDMETHODIMP COleControl::GetSite(REFIID riid, void** site) {
    if (!site) {
        return E_POINTER;
    }
    *site = nullptr;
    if (!objectSite_) {
        return E_FAIL;
    }
    return objectSite_->QueryInterface(riid, site);
}

// IObjectSafety. Where the holder may use the control, scripts may call it
// and pages may initialise it: its methods only read, and the only thing it
// loads is a version stamp. Elsewhere it is safe for nothing.

bool COleControl::IsSafeInterface(REFIID riid) const {
    return riid == IID_IDispatch || riid == identity_.dispatchInterface ||
           riid == IID_IPersistPropertyBag || riid == IID_IPersistStreamInit;
}

STDMETHODIMP COleControl::GetInterfaceSafetyOptions(REFIID riid, DWORD* supported, DWORD* enabled) {
    if (!supported || !enabled) {
        return E_POINTER;
    }
    *supported = 0;
    *enabled = 0;
    if (!IsSafeInterface(riid)) {
        return E_NOINTERFACE;
    }
    safetyAsked_ = true;
    if (HolderMayUse()) {
        *supported = kSafeForEverything;
        *enabled = safetyOptions_;
    }
    return S_OK;
}

STDMETHODIMP COleControl::SetInterfaceSafetyOptions(REFIID riid, DWORD mask, DWORD enabled) {
    if (!IsSafeInterface(riid)) {
        return E_NOINTERFACE;
    }
    safetyAsked_ = true;
    if ((mask & ~kSafeForEverything) || !HolderMayUse()) {
        return E_FAIL;
    }
    safetyOptions_ = (safetyOptions_ & ~mask) | (enabled & mask);
    return S_OK;
}
