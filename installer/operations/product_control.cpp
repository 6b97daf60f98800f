#include "operations/product_control.h"

#include <cstdint>
#include <cwctype>
#include <optional>
#include <vector>

#include "platform/registry_key.h"
#include "platform/task_memory.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr wchar_t kMachineClasses[] = L"SOFTWARE\\Classes\\";
constexpr wchar_t kProductControlProgId[] = L"RUVCTRL.RUVCtrlCtrl.1";
// The in-process server's own dependencies come from its folder or the
// system's, never from a folder the current directory or PATH names.
constexpr DWORD kServerSearch = LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32;

RegistryKey OpenMachineClassKey(const std::wstring& path) {
    RegistryKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, (kMachineClasses + path).c_str(), 0,
                      KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.Receive()) != ERROR_SUCCESS) {
        key.Release();
    }
    return key;
}

// The default value of the class key at path, when it is a plain string: an
// expandable one would take its meaning from the environment, which the user
// sets.
std::optional<std::wstring> MachineClassText(const std::wstring& path) {
    const RegistryKey key = OpenMachineClassKey(path);
    if (!key) return std::nullopt;
    constexpr DWORD kTypes = RRF_RT_REG_SZ | RRF_NOEXPAND;
    DWORD size = 0;
    if (RegGetValueW(key.Get(), nullptr, nullptr, kTypes, nullptr, nullptr, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegGetValueW(key.Get(), nullptr, nullptr, kTypes, nullptr, text.data(), &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(text.data());
}

// The registry form of a class identifier: braces, upper-case digits.
std::wstring ClassIdText(const CLSID& classId) {
    TaskMemory<LPOLESTR> text;
    if (FAILED(StringFromCLSID(classId, text.Receive()))) return {};
    return text.Get();
}

// "C:\..." or "\\server\...": a name the loader would search for, or a
// relative one, could be found where the user put it.
bool IsFullPath(const std::wstring& path) {
    const bool drive =
        path.size() > 3 && std::iswalpha(path[0]) && path[1] == L':' && path[2] == L'\\';
    return drive || path.starts_with(L"\\\\");
}

}  // namespace

ScopedVariant::ScopedVariant() : value_{} { VariantInit(&value_); }

ScopedVariant::~ScopedVariant() { VariantClear(&value_); }

bool FindProductControl(CLSID& classId) {
    const auto text = MachineClassText(std::wstring(kProductControlProgId) + L"\\CLSID");
    // Only the braced form: anything else would be looked up as a ProgID in
    // the merged view.
    return text && text->starts_with(L"{") && SUCCEEDED(IIDFromString(text->c_str(), &classId));
}

bool ReadRegisteredVersion(const CLSID& classId, std::string& version) {
    const RegistryKey key = OpenMachineClassKey(L"CLSID\\" + ClassIdText(classId) + L"\\Version");
    if (!key) return false;
    char buffer[260] = {};
    // One byte short of the buffer, so a value that fills it still ends in a
    // zero byte. The value's type is not looked at.
    DWORD size = sizeof buffer - 1;
    if (RegQueryValueExA(key.Get(), nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                         &size) != ERROR_SUCCESS) {
        return false;
    }
    version = buffer;
    return true;
}

CProductControl::CProductControl(const CLSID& classId) {
    const auto server = MachineClassText(L"CLSID\\" + ClassIdText(classId) + L"\\InprocServer32");
    if (!server || !IsFullPath(*server)) return;
    module_.Reset(LoadLibraryExW(server->c_str(), nullptr, kServerSearch));
    if (!module_) return;
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    // Through void*: the loader's generic function type does not match.
    const auto getClassObject = reinterpret_cast<GetClassObject>(
        reinterpret_cast<void*>(GetProcAddress(module_.Get(), "DllGetClassObject")));
    ComPtr<IClassFactory> factory;
    if (getClassObject == nullptr ||
        FAILED(getClassObject(classId, IID_IClassFactory,
                              reinterpret_cast<void**>(factory.GetAddressOf()))) ||
        FAILED(factory->CreateInstance(nullptr, IID_IDispatch,
                                       reinterpret_cast<void**>(control_.GetAddressOf())))) {
        control_.Reset();
    }
}

bool CallByName(IDispatch* control, const wchar_t* name, ScopedVariant& result) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &id))) {
        return false;
    }
    DISPPARAMS noArguments{};
    return SUCCEEDED(control->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_METHOD,
                                     &noArguments, result.Get(), nullptr, nullptr));
}

bool IsProductIntact(IDispatch* control) {
    ScopedVariant answer;
    if (!CallByName(control, L"CheckIntegrity", answer)) return false;
    return static_cast<std::uint32_t>(answer.Value().lVal) == 0;
}

std::wstring ProductInstallPath(IDispatch* control) {
    ScopedVariant answer;
    if (!CallByName(control, L"GetInstallPath", answer)) return {};
    // Anything but a string would be read as a pointer.
    if (answer.Value().vt != VT_BSTR || answer.Value().bstrVal == nullptr) return {};
    return answer.Value().bstrVal;
}
