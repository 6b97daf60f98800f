#include "event_source.h"

#include <olectl.h>

using Microsoft::WRL::ComPtr;

DWORD EventSinks::Add(ComPtr<IUnknown> sink) {
    const DWORD cookie = nextCookie_++;
    sinks_.emplace(cookie, std::move(sink));
    return cookie;
}

bool EventSinks::Remove(DWORD cookie) { return sinks_.erase(cookie) == 1; }

CEventConnectionPoint::CEventConnectionPoint(ComPtr<IConnectionPointContainer> container,
                                             const IID& eventInterface, EventSinks& sinks)
    : container_(std::move(container)), eventInterface_(eventInterface), sinks_(sinks) {}

STDMETHODIMP CEventConnectionPoint::QueryInterface(REFIID riid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    *object = nullptr;
    if (Offer<IUnknown>(riid, this, object) || Offer<IConnectionPoint>(riid, this, object)) {
        return S_OK;
    }
    return E_NOINTERFACE;
}

STDMETHODIMP CEventConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid) {
        return E_POINTER;
    }
    *iid = eventInterface_;
    return S_OK;
}

STDMETHODIMP CEventConnectionPoint::GetConnectionPointContainer(
    IConnectionPointContainer** container) {
    if (!container) {
        return E_POINTER;
    }
    return container_.CopyTo(container);
}

STDMETHODIMP CEventConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie) {
        return E_POINTER;
    }
    *cookie = 0;
    ComPtr<IUnknown> events;
    if (FAILED(sink->QueryInterface(eventInterface_, &events))) {
        return CONNECT_E_CANNOTCONNECT;
    }
    *cookie = sinks_.Add(std::move(events));
    return S_OK;
}

STDMETHODIMP CEventConnectionPoint::Unadvise(DWORD cookie) {
    return sinks_.Remove(cookie) ? S_OK : CONNECT_E_NOCONNECTION;
}

STDMETHODIMP CEventConnectionPoint::EnumConnections(IEnumConnections** connections) {
    if (connections) {
        *connections = nullptr;
    }
    return E_NOTIMPL;
}

CConnectionPointEnumerator::CConnectionPointEnumerator(ComPtr<IConnectionPoint> point,
                                                       ULONG position)
    : point_(std::move(point)), position_(position) {}

STDMETHODIMP CConnectionPointEnumerator::QueryInterface(REFIID riid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    *object = nullptr;
    if (Offer<IUnknown>(riid, this, object) || Offer<IEnumConnectionPoints>(riid, this, object)) {
        return S_OK;
    }
    return E_NOINTERFACE;
}

STDMETHODIMP CConnectionPointEnumerator::Next(ULONG count, IConnectionPoint** points,
                                              ULONG* fetched) {
    if (!points || (count > 1 && !fetched)) {
        return E_POINTER;
    }
    ULONG given = 0;
    if (count > 0 && position_ == 0) {
        point_.CopyTo(&points[0]);
        position_ = 1;
        given = 1;
    }
    if (fetched) {
        *fetched = given;
    }
    return given == count ? S_OK : S_FALSE;
}

STDMETHODIMP CConnectionPointEnumerator::Skip(ULONG count) {
    const bool enough = count <= 1 - position_;
    position_ = enough ? position_ + count : 1;
    return enough ? S_OK : S_FALSE;
}

STDMETHODIMP CConnectionPointEnumerator::Reset() {
    position_ = 0;
    return S_OK;
}

STDMETHODIMP CConnectionPointEnumerator::Clone(IEnumConnectionPoints** copy) {
    if (!copy) {
        return E_POINTER;
    }
    return MakeComObject<CConnectionPointEnumerator>(point_, position_).CopyTo(copy);
}
