#include "class_registration.h"

#include <oleauto.h>
#include <wrl/client.h>

#include <cwchar>
#include <string>

#include "platform/registry_key.h"
#include "ruvictrl_app.h"

namespace {

std::wstring GuidString(REFGUID guid) {
    wchar_t text[40];
    return StringFromGUID2(guid, text, 40) ? std::wstring(text) : std::wstring();
}

std::wstring ClassKey(REFCLSID classId) { return L"CLSID\\" + GuidString(classId); }

// Creates the key when needed; an empty name sets the default value.
bool SetString(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    RegistryKey handle;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        handle.Receive(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const auto bytes = DWORD((value.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(handle.Get(), name, 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(value.c_str()), bytes) == ERROR_SUCCESS;
}

bool CreateKey(const std::wstring& key) {
    RegistryKey handle;
    return RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                           handle.Receive(), nullptr) == ERROR_SUCCESS;
}

bool KeyExists(const std::wstring& key) {
    RegistryKey handle;
    return RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, handle.Receive()) ==
           ERROR_SUCCESS;
}

bool DeleteTree(const std::wstring& key) {
    const LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool RegisterInprocServer(const std::wstring& classKey, const std::wstring& typeName) {
    const std::wstring server = classKey + L"\\InprocServer32";
    return SetString(classKey, nullptr, typeName) &&
           SetString(server, nullptr, theApp.ModulePath()) &&
           SetString(server, L"ThreadingModel", L"Apartment");
}

// Hexadecimal, as the system spells the version key.
std::wstring TypeLibVersionKey(const TLIBATTR& identity) {
    wchar_t version[16];
    swprintf(version, 16, L"%x.%x", identity.wMajorVerNum, identity.wMinorVerNum);
    return L"TypeLib\\" + GuidString(identity.guid) + L"\\" + version;
}

// Errors with which the system reports a registration that is already gone,
// in whole or in part (its keys "could not be opened").
bool MeansNotRegistered(HRESULT hr) {
    return hr == TYPE_E_REGISTRYACCESS || hr == TYPE_E_LIBNOTREGISTERED ||
           hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
}

}  // namespace

bool RegisterControlClass(const ControlClassEntry& entry) {
    const std::wstring classKey = ClassKey(entry.classId);
    const std::wstring typeName = theApp.ResourceString(entry.typeNameString);
    const std::wstring version =
        std::to_wstring(entry.typeLibMajor) + L"." + std::to_wstring(entry.typeLibMinor);
    const std::wstring progId = entry.progId;
    return RegisterInprocServer(classKey, typeName) &&
           SetString(classKey + L"\\ProgID", nullptr, progId) &&
           CreateKey(classKey + L"\\Control") &&
           SetString(classKey + L"\\MiscStatus", nullptr, std::to_wstring(entry.miscStatus)) &&
           SetString(classKey + L"\\ToolboxBitmap32", nullptr,
                     theApp.ModulePath() + L", " + std::to_wstring(entry.toolboxBitmap)) &&
           SetString(classKey + L"\\TypeLib", nullptr, GuidString(entry.typeLib)) &&
           SetString(classKey + L"\\Version", nullptr, version) &&
           SetString(progId, nullptr, typeName) &&
           SetString(progId + L"\\CLSID", nullptr, GuidString(entry.classId));
}

bool UnregisterControlClass(const ControlClassEntry& entry) {
    const bool classRemoved = DeleteTree(ClassKey(entry.classId));
    const bool progIdRemoved = DeleteTree(entry.progId);
    return classRemoved && progIdRemoved;
}

bool RegisterPropertyPageClass(const PropertyPageClassEntry& entry) {
    return RegisterInprocServer(ClassKey(entry.classId),
                                theApp.ResourceString(entry.typeNameString));
}

bool UnregisterPropertyPageClass(const PropertyPageClassEntry& entry) {
    return DeleteTree(ClassKey(entry.classId));
}

HRESULT RegisterEmbeddedTypeLib() {
    Microsoft::WRL::ComPtr<ITypeLib> typeLib;
    HRESULT hr = theApp.OpenTypeLib(&typeLib);
    if (FAILED(hr)) {
        return hr;
    }
    std::wstring path = theApp.ModulePath();
    return RegisterTypeLib(typeLib.Get(), path.data(), nullptr);
}

HRESULT UnregisterEmbeddedTypeLib() {
    Microsoft::WRL::ComPtr<ITypeLib> typeLib;
    HRESULT hr = theApp.OpenTypeLib(&typeLib);
    if (FAILED(hr)) {
        return hr;
    }
    TLIBATTR* attributes = nullptr;
    hr = typeLib->GetLibAttr(&attributes);
    if (FAILED(hr)) {
        return hr;
    }
    const TLIBATTR identity = *attributes;
    typeLib->ReleaseTLibAttr(attributes);
    // Asked for a library that is not registered, some systems answer only
    // E_INVALIDARG, which says nothing; so the key is looked for first.
    if (!KeyExists(TypeLibVersionKey(identity))) {
        return S_OK;
    }
    hr = UnRegisterTypeLib(identity.guid, identity.wMajorVerNum, identity.wMinorVerNum,
                           identity.lcid, identity.syskind);
    return MeansNotRegistered(hr) ? S_OK : hr;
}
