#include "scoped_install_path.h"

#include <stdexcept>

#include "scoped_handle.h"

namespace {

constexpr char kParentKey[] = "SOFTWARE\\Tarvano";
constexpr char kKey[] = "SOFTWARE\\Tarvano\\RUVI";
constexpr char kValue[] = "InstallPath";

bool KeyExists(const char* path) {
    ScopedRegKey key;
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, key.receive()) == ERROR_SUCCESS;
}

ScopedRegKey CreateKey() {
    ScopedRegKey key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        key.receive(), nullptr) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot create the install path key");
    }
    return key;
}

std::vector<std::string> ValueNames(HKEY key) {
    std::vector<std::string> names;
    char name[16384];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            return names;
        }
        names.emplace_back(name, length);
    }
}

}  // namespace

ScopedInstallPath::ScopedInstallPath()
    : parentExisted_(KeyExists(kParentKey)), keyExisted_(KeyExists(kKey)) {
    if (!keyExisted_) {
        return;
    }
    ScopedRegKey key;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, key.receive());
    for (const std::string& name : ValueNames(key.get())) {
        Value value{name, REG_NONE, {}};
        DWORD size = 0;
        RegQueryValueExA(key.get(), name.c_str(), nullptr, &value.type, nullptr, &size);
        value.data.resize(size);
        RegQueryValueExA(key.get(), name.c_str(), nullptr, &value.type, value.data.data(), &size);
        values_.push_back(std::move(value));
    }
}

ScopedInstallPath::~ScopedInstallPath() {
    if (!keyExisted_) {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kKey);
        if (!parentExisted_) {
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, kParentKey);
        }
        return;
    }
    ScopedRegKey key = CreateKey();
    for (const std::string& name : ValueNames(key.get())) {
        RegDeleteValueA(key.get(), name.c_str());
    }
    for (const Value& value : values_) {
        RegSetValueExA(key.get(), value.name.c_str(), 0, value.type, value.data.data(),
                       DWORD(value.data.size()));
    }
}

void ScopedInstallPath::Set(const std::string& folder) {
    ScopedRegKey key = CreateKey();
    if (RegSetValueExA(key.get(), kValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                       DWORD(folder.size() + 1)) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot set the install path");
    }
}

void ScopedInstallPath::RemoveValue() {
    ScopedRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_SET_VALUE, key.receive()) == ERROR_SUCCESS) {
        RegDeleteValueA(key.get(), kValue);
    }
}

void ScopedInstallPath::RemoveKey() { RegDeleteTreeA(HKEY_LOCAL_MACHINE, kKey); }
