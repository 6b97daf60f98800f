// The module's entry points: COM's class objects and unloading, and
// self-registration for regsvr32.

#include <windows.h>

#include <olectl.h>

#include <new>

#include "class_factory.h"
#include "class_registration.h"
#include "control_window.h"
#include "resource.h"
#include "ruvictrl_app.h"
#include "ruvictrl_h.h"
#include "ruvictrl_names.h"
#include "ruvictrlctrl.h"
#include "ruvictrlproppage.h"

namespace {

const ControlClassEntry kControlClass = {
    .classId = CLSID_RUVICtrl,
    .progId = kControlProgId,
    .typeNameString = IDS_RUVICTRL,
    .toolboxBitmap = IDB_RUVICTRL,
    .miscStatus = kControlMiscStatus,
    .typeLib = LIBID_RUVICtrlLib,
    .typeLibMajor = kTypeLibMajorVersion,
    .typeLibMinor = kTypeLibMinorVersion,
};

const PropertyPageClassEntry kPropertyPageClass = {
    .classId = CLSID_RUVICtrlPropPage,
    .typeNameString = IDS_RUVICTRL_PPG,
};

template <class T>
HRESULT GetFactory(REFIID riid, void** object) {
    try {
        return MakeComObject<ClassFactory<T>>()->QueryInterface(riid, object);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

// Removes everything that registration writes, whatever is already gone;
// the classes go even when the type library cannot, so that no half-removed
// control stays creatable. The first real failure is reported.
HRESULT RemoveRegistration() {
    const HRESULT typeLib = UnregisterEmbeddedTypeLib();
    const bool controlRemoved = UnregisterControlClass(kControlClass);
    const bool pageRemoved = UnregisterPropertyPageClass(kPropertyPageClass);
    if (FAILED(typeLib)) {
        return SELFREG_E_TYPELIB;
    }
    return controlRemoved && pageRemoved ? S_OK : SELFREG_E_CLASS;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        theApp.Attach(instance);
    } else if (reason == DLL_PROCESS_DETACH && !reserved) {
        // Unloaded while the process goes on: a later load may sit at another
        // address, so the window class must not point into this copy.
        ControlWindow::UnregisterClass();
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID classId, REFIID riid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    *object = nullptr;
    if (classId == CLSID_RUVICtrl) {
        return GetFactory<CRUVICtrlCtrl>(riid, object);
    }
    if (classId == CLSID_RUVICtrlPropPage) {
        return GetFactory<CRUVICtrlPropPage>(riid, object);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() { return theApp.CanUnload() ? S_OK : S_FALSE; }

// A registration that fails part way is taken back whole: a class whose
// entries are incomplete would be found, and fail, when a page asks for it.
STDAPI DllRegisterServer() {
    HRESULT hr = S_OK;
    if (FAILED(RegisterEmbeddedTypeLib())) {
        hr = SELFREG_E_TYPELIB;
    } else if (!RegisterControlClass(kControlClass) ||
               !RegisterPropertyPageClass(kPropertyPageClass)) {
        hr = SELFREG_E_CLASS;
    }
    if (FAILED(hr)) {
        RemoveRegistration();
    }
    return hr;
}

STDAPI DllUnregisterServer() { return RemoveRegistration(); }
