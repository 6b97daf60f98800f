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

STDAPI DllRegisterServer() {
    if (FAILED(RegisterEmbeddedTypeLib())) {
        return SELFREG_E_TYPELIB;
    }
    if (!RegisterControlClass(kControlClass) || !RegisterPropertyPageClass(kPropertyPageClass)) {
        return SELFREG_E_CLASS;
    }
    return S_OK;
}

STDAPI DllUnregisterServer() {
    if (FAILED(UnregisterEmbeddedTypeLib())) {
        return SELFREG_E_TYPELIB;
    }
    const bool controlRemoved = UnregisterControlClass(kControlClass);
    const bool pageRemoved = UnregisterPropertyPageClass(kPropertyPageClass);
    return controlRemoved && pageRemoved ? S_OK : SELFREG_E_CLASS;
}
