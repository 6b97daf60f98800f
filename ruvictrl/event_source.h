#pragma once

#include <windows.h>

#include <ocidl.h>
#include <wrl/client.h>

#include <map>

#include "com_object.h"

// The sinks that containers connect to the control's event interface. The
// control fires no events, but a container that connects and disconnects
// must find both working.
class EventSinks {
public:
    DWORD Add(Microsoft::WRL::ComPtr<IUnknown> sink);
    bool Remove(DWORD cookie);

private:
    std::map<DWORD, Microsoft::WRL::ComPtr<IUnknown>> sinks_;
    DWORD nextCookie_ = 1;  // zero is never a valid cookie
};

// The connection point for a control's event interface. It keeps its
// container, and with it the sinks, alive.
class CEventConnectionPoint final : public ComObject<IConnectionPoint> {
public:
    CEventConnectionPoint(Microsoft::WRL::ComPtr<IConnectionPointContainer> container,
                          const IID& eventInterface, EventSinks& sinks);

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;

    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** connections) override;

private:
    Microsoft::WRL::ComPtr<IConnectionPointContainer> container_;
    const IID eventInterface_;
    EventSinks& sinks_;
};

// Enumerates the control's single connection point.
class CConnectionPointEnumerator final : public ComObject<IEnumConnectionPoints> {
public:
    explicit CConnectionPointEnumerator(Microsoft::WRL::ComPtr<IConnectionPoint> point,
                                        ULONG position = 0);

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;

    STDMETHODIMP Next(ULONG count, IConnectionPoint** points, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG count) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumConnectionPoints** copy) override;

private:
    Microsoft::WRL::ComPtr<IConnectionPoint> point_;
    ULONG position_;
};
