#include "ruvictrl_app.h"

#include <oleauto.h>
#include <wrl/client.h>

CRUVICtrlApp theApp;

std::wstring CRUVICtrlApp::ModulePath() const {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(instance_, path.data(), DWORD(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

HRESULT CRUVICtrlApp::OpenTypeLib(ITypeLib** typeLib) const {
    return LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, typeLib);
}

HRESULT CRUVICtrlApp::LoadTypeInfo(REFGUID guid, ITypeInfo** typeInfo) const {
    Microsoft::WRL::ComPtr<ITypeLib> typeLib;
    const HRESULT hr = OpenTypeLib(&typeLib);
    if (FAILED(hr)) {
        return hr;
    }
    return typeLib->GetTypeInfoOfGuid(guid, typeInfo);
}

std::wstring CRUVICtrlApp::ResourceString(UINT id) const {
    const wchar_t* text = nullptr;
    // With a zero buffer size the call hands out a pointer into the resource.
    const int length = LoadStringW(instance_, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, length) : std::wstring();
}
