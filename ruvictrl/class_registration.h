#pragma once

#include <windows.h>

// The registry entries of the module's classes under HKEY_CLASSES_ROOT.
// Unregistering removes exactly what registering wrote; entries that are
// already gone count as removed.

struct ControlClassEntry {
    CLSID classId;
    const wchar_t* progId;
    UINT typeNameString;  // string resource
    UINT toolboxBitmap;   // bitmap resource
    DWORD miscStatus;
    GUID typeLib;
    WORD typeLibMajor;
    WORD typeLibMinor;
};

struct PropertyPageClassEntry {
    CLSID classId;
    UINT typeNameString;  // string resource
};

// CLSID\{..} with the module as apartment-threaded in-process server, and
// the ProgID that leads to it.
bool RegisterControlClass(const ControlClassEntry& entry);
bool UnregisterControlClass(const ControlClassEntry& entry);

// CLSID\{..} with the module as apartment-threaded in-process server.
bool RegisterPropertyPageClass(const PropertyPageClassEntry& entry);
bool UnregisterPropertyPageClass(const PropertyPageClassEntry& entry);

// The type library embedded in the module. Unregistering a library that is
// not registered, or only in part, counts as removing it.
HRESULT RegisterEmbeddedTypeLib();
HRESULT UnregisterEmbeddedTypeLib();
