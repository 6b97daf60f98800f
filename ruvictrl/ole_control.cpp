#include "ole_control.h"

#include <olectl.h>

using Microsoft::WRL::ComPtr;

namespace {

// A control starts as 100 x 50 pixels at the usual 96 pixels per inch; the
// container sets the real extent.
constexpr LONG kHimetricPerInch = 2540;
constexpr LONG kPixelsPerInch = 96;
const SIZEL kDefaultExtent = {MulDiv(100, kHimetricPerInch, kPixelsPerInch),
                              MulDiv(50, kHimetricPerInch, kPixelsPerInch)};

}  // namespace

COleControl::COleControl(const ControlIdentity& identity)
    : identity_(identity), extent_(kDefaultExtent) {}

COleControl::~COleControl() = default;

STDMETHODIMP COleControl::QueryInterface(REFIID riid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    *object = nullptr;
    IDispatch* dispatch = this;
    IOleInPlaceObject* inPlace = this;
    IPersistStreamInit* stream = this;
    const bool found =
        Offer<IUnknown>(riid, static_cast<IOleObject*>(this), object) ||
        Offer(riid, dispatch, object) ||
        Offer(riid, dispatch, object, identity_.dispatchInterface) ||
        Offer<IOleObject>(riid, this, object) || Offer<IOleWindow>(riid, inPlace, object) ||
        Offer(riid, inPlace, object) || Offer<IViewObject>(riid, this, object) ||
        Offer<IViewObject2>(riid, this, object) || Offer<IPersist>(riid, stream, object) ||
        Offer(riid, stream, object) || Offer<IPersistPropertyBag>(riid, this, object) ||
        Offer<IProvideClassInfo>(riid, this, object) ||
        Offer<IProvideClassInfo2>(riid, this, object) ||
        Offer<IConnectionPointContainer>(riid, this, object) ||
        Offer<ISpecifyPropertyPages>(riid, this, object) ||
        Offer<IObjectSafety>(riid, this, object, IID_IObjectSafety) ||
        Offer<IObjectWithSite>(riid, this, object);
    return found ? S_OK : E_NOINTERFACE;
}

HWND COleControl::OwnerWindow() const {
    if (window_.Handle()) {
        return window_.Handle();
    }
    HWND window = nullptr;
    ComPtr<IOleWindow> siteWindow;
    if (clientSite_ && SUCCEEDED(clientSite_.As(&siteWindow))) {
        siteWindow->GetWindow(&window);
    }
    return window;
}

// IProvideClassInfo2

STDMETHODIMP COleControl::GetClassInfo(ITypeInfo** typeInfo) {
    if (!typeInfo) {
        return E_POINTER;
    }
    *typeInfo = nullptr;
    return theApp.LoadTypeInfo(identity_.classId, typeInfo);
}

STDMETHODIMP COleControl::GetGUID(DWORD kind, GUID* guid) {
    if (!guid) {
        return E_POINTER;
    }
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
        *guid = GUID_NULL;
        return E_INVALIDARG;
    }
    *guid = identity_.eventInterface;
    return S_OK;
}

// IConnectionPointContainer

ComPtr<IConnectionPoint> COleControl::MakeEventConnectionPoint() {
    return MakeComObject<CEventConnectionPoint>(ComPtr<IConnectionPointContainer>(this),
                                                identity_.eventInterface, eventSinks_);
}

STDMETHODIMP COleControl::EnumConnectionPoints(IEnumConnectionPoints** points) {
    if (!points) {
        return E_POINTER;
    }
    return MakeComObject<CConnectionPointEnumerator>(MakeEventConnectionPoint()).CopyTo(points);
}

STDMETHODIMP COleControl::FindConnectionPoint(REFIID riid, IConnectionPoint** point) {
    if (!point) {
        return E_POINTER;
    }
    *point = nullptr;
    if (riid != identity_.eventInterface) {
        return CONNECT_E_NOCONNECTION;
    }
    return MakeEventConnectionPoint().CopyTo(point);
}

// ISpecifyPropertyPages

STDMETHODIMP COleControl::GetPages(CAUUID* pages) {
    if (!pages) {
        return E_POINTER;
    }
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
    if (!pages->pElems) {
        pages->cElems = 0;
        return E_OUTOFMEMORY;
    }
    pages->cElems = 1;
    pages->pElems[0] = identity_.propertyPage;
    return S_OK;
}
