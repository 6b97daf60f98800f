#pragma once

#include <windows.h>

#include <objsafe.h>
#include <ocidl.h>
#include <wrl/client.h>

#include <string_view>

#include "com_object.h"
#include "control_window.h"
#include "event_source.h"

// What a container learns about a control besides its methods.
struct ControlIdentity {
    CLSID classId;
    UINT typeNameString;  // string resource
    IID dispatchInterface;
    IID eventInterface;
    CLSID propertyPage;
    DWORD miscStatus;
};

// The part of an ActiveX control that every container relies on: being
// sited, activated in place with a window of its own, asked to draw,
// initialised and saved, asked for its class information, event source and
// property pages, and asked whether it is safe for scripting. The control
// itself adds its dispatch methods, its picture and the pages it trusts.
class COleControl
    : public ComObject<IDispatch, IOleObject, IOleInPlaceObject, IViewObject2, IPersistStreamInit,
                       IPersistPropertyBag, IProvideClassInfo2, IConnectionPointContainer,
                       ISpecifyPropertyPages, IObjectSafety, IObjectWithSite> {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override;
    STDMETHODIMP GetClientSite(IOleClientSite** site) override;
    STDMETHODIMP SetHostNames(LPCOLESTR containerApp, LPCOLESTR containerObject) override;
    STDMETHODIMP Close(DWORD saveOption) override;
    STDMETHODIMP SetMoniker(DWORD whichMoniker, IMoniker* moniker) override;
    STDMETHODIMP GetMoniker(DWORD assign, DWORD whichMoniker, IMoniker** moniker) override;
    STDMETHODIMP InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
    STDMETHODIMP GetClipboardData(DWORD reserved, IDataObject** data) override;
    STDMETHODIMP DoVerb(LONG verb, LPMSG message, IOleClientSite* activeSite, LONG index,
                        HWND parent, LPCRECT position) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) override;
    STDMETHODIMP Update() override;
    STDMETHODIMP IsUpToDate() override;
    STDMETHODIMP GetUserClassID(CLSID* classId) override;
    STDMETHODIMP GetUserType(DWORD form, LPOLESTR* userType) override;
    STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP Advise(IAdviseSink* sink, DWORD* connection) override;
    STDMETHODIMP Unadvise(DWORD connection) override;
    STDMETHODIMP EnumAdvise(IEnumSTATDATA** advise) override;
    STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE* palette) override;

    // IOleWindow, IOleInPlaceObject
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enterMode) override;
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override;
    STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override;
    STDMETHODIMP ReactivateAndUndo() override;

    // IViewObject2
    STDMETHODIMP Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device,
                      HDC targetDevice, HDC dc, LPCRECTL bounds, LPCRECTL metafileBounds,
                      BOOL(STDMETHODCALLTYPE* keepDrawing)(ULONG_PTR), ULONG_PTR argument) override;
    STDMETHODIMP GetColorSet(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device,
                             HDC targetDevice, LOGPALETTE** colors) override;
    STDMETHODIMP Freeze(DWORD aspect, LONG index, void* aspectInfo, DWORD* freeze) override;
    STDMETHODIMP Unfreeze(DWORD freeze) override;
    STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
    STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
    STDMETHODIMP GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, LPSIZEL size) override;

    // IPersist, IPersistStreamInit, IPersistPropertyBag
    STDMETHODIMP GetClassID(CLSID* classId) override;
    STDMETHODIMP IsDirty() override;
    STDMETHODIMP Load(LPSTREAM stream) override;
    STDMETHODIMP Save(LPSTREAM stream, BOOL clearDirty) override;
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
    STDMETHODIMP InitNew() override;
    STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) override;
    STDMETHODIMP Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

    // IProvideClassInfo2
    STDMETHODIMP GetClassInfo(ITypeInfo** typeInfo) override;
    STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
    STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;

    // ISpecifyPropertyPages
    STDMETHODIMP GetPages(CAUUID* pages) override;

    // IObjectSafety
    STDMETHODIMP GetInterfaceSafetyOptions(REFIID riid, DWORD* supported, DWORD* enabled) override;
    STDMETHODIMP SetInterfaceSafetyOptions(REFIID riid, DWORD mask, DWORD enabled) override;

    // IObjectWithSite
    STDMETHODIMP SetSite(IUnknown* site) override;
    STDMETHODIMP GetSite(REFIID riid, void** site) override;

protected:
    explicit COleControl(const ControlIdentity& identity);
    ~COleControl() override;

    // Draws the control into bounds; dc is the container's or the window's.
    virtual void OnDraw(HDC dc, const RECT& bounds) = 0;

    // The window that dialogs of the control belong to, or none.
    HWND OwnerWindow() const;

    // Whether whoever holds the control may use it. A holder that has never
    // asked whether the control is safe for untrusted scripts, and whose
    // sites (if any) never named a document, is local code (a script host, a
    // program). A container that names a document is a page, trusted by its
    // address; once safety has been asked, only such a page is trusted, sited
    // or not, and a page that cannot be named is not trusted.
    bool HolderMayUse();

    // Whether the page at this address may use the control.
    virtual bool TrustsPage(std::wstring_view address) const = 0;

private:
    HRESULT ActivateInPlace();
    HRESULT ShowPropertyPages(HWND parent);
    bool IsSafeInterface(REFIID riid) const;
    Microsoft::WRL::ComPtr<IOleClientSite> PageSite() const;
    void NoteSite(IUnknown* site);
    Microsoft::WRL::ComPtr<IConnectionPoint> MakeEventConnectionPoint();

    const ControlIdentity identity_;
    SIZEL extent_;  // HIMETRIC
    Microsoft::WRL::ComPtr<IOleClientSite> clientSite_;
    Microsoft::WRL::ComPtr<IOleAdviseHolder> oleAdviseHolder_;
    Microsoft::WRL::ComPtr<IAdviseSink> viewSink_;
    DWORD viewSinkAspects_ = 0;
    DWORD viewSinkFlags_ = 0;
    Microsoft::WRL::ComPtr<IOleInPlaceSite> inPlaceSite_;
    ControlWindow window_;
    EventSinks eventSinks_;
    DWORD safetyOptions_ = 0;  // shared by the interfaces that are safe
    // The site that IObjectWithSite hands over, as script engines site the
    // objects that scripts create.
    Microsoft::WRL::ComPtr<IUnknown> objectSite_;
    // What containers have shown of themselves. Never forgotten, so that a
    // page cannot drop its site and pass for local code.
    bool pageSeen_ = false;     // a site named a document
    bool safetyAsked_ = false;  // IObjectSafety was asked, as browsers ask it
};
