#include "scoped_installer_records.h"

#include <stdexcept>

#include "platform/registry_key.h"
#include "registry_snapshot.h"

namespace {

constexpr wchar_t kParentKey[] = L"SOFTWARE\\Tarvano";
constexpr wchar_t kKey[] = L"SOFTWARE\\Tarvano\\RUVI";
constexpr char kInstallPath[] = "InstallPath";
constexpr char kAllowedSites[] = "AllowedSites";

bool KeyExists(const wchar_t* path) {
    RegistryKey key;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

RegistryKey CreateKey() {
    RegistryKey key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        key.Receive(), nullptr) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot create the installer's key");
    }
    return key;
}

void SetValue(const char* name, DWORD type, const std::string& bytes) {
    RegistryKey key = CreateKey();
    if (RegSetValueExA(key.Get(), name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                       DWORD(bytes.size())) != ERROR_SUCCESS) {
        throw std::runtime_error(std::string("cannot set ") + name);
    }
}

void RemoveValue(const char* name) {
    RegistryKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_SET_VALUE, key.Receive()) == ERROR_SUCCESS) {
        RegDeleteValueA(key.Get(), name);
    }
}

}  // namespace

ScopedInstallerRecords::ScopedInstallerRecords()
    : parentExisted_(KeyExists(kParentKey)), keyExisted_(KeyExists(kKey)) {
    if (!keyExisted_) {
        return;
    }
    // The wide API keeps names and string data exactly as stored.
    RegistryKey key;
    RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, key.Receive());
    for (const std::wstring& name : ValueNames(key.Get())) {
        Value value{name, REG_NONE, {}};
        DWORD size = 0;
        RegQueryValueExW(key.Get(), name.c_str(), nullptr, &value.type, nullptr, &size);
        value.data.resize(size);
        RegQueryValueExW(key.Get(), name.c_str(), nullptr, &value.type, value.data.data(), &size);
        values_.push_back(std::move(value));
    }
}

ScopedInstallerRecords::~ScopedInstallerRecords() {
    if (!keyExisted_) {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kKey);
        if (!parentExisted_) {
            RegDeleteKeyW(HKEY_LOCAL_MACHINE, kParentKey);
        }
        return;
    }
    RegistryKey key = CreateKey();
    for (const std::wstring& name : ValueNames(key.Get())) {
        RegDeleteValueW(key.Get(), name.c_str());
    }
    for (const Value& value : values_) {
        RegSetValueExW(key.Get(), value.name.c_str(), 0, value.type, value.data.data(),
                       DWORD(value.data.size()));
    }
}

void ScopedInstallerRecords::SetInstallPath(const std::string& folder) {
    SetValue(kInstallPath, REG_SZ, folder + '\0');
}

void ScopedInstallerRecords::RemoveInstallPath() { RemoveValue(kInstallPath); }

void ScopedInstallerRecords::SetAllowedSites(const std::vector<std::string>& origins) {
    std::string multiString;
    for (const std::string& origin : origins) {
        multiString += origin + '\0';
    }
    SetValue(kAllowedSites, REG_MULTI_SZ, multiString + '\0');
}

void ScopedInstallerRecords::RemoveAllowedSites() { RemoveValue(kAllowedSites); }

void ScopedInstallerRecords::RemoveKey() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, kKey); }
