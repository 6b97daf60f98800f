#include "scoped_registry_value.h"

#include <stdexcept>

#include "platform/registry_key.h"

namespace {

std::wstring Widened(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

RegistryKey OpenKey(HKEY root, const std::string& path, REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, Widened(path).c_str(), 0, access, &key) != ERROR_SUCCESS) return {};
    return RegistryKey(key);
}

std::optional<std::string> FirstMissingKey(HKEY root, const std::string& keyPath) {
    std::size_t end = 0;
    while (end != std::string::npos) {
        end = keyPath.find('\\', end + 1);
        const std::string prefix = keyPath.substr(0, end);
        if (!OpenKey(root, prefix, KEY_READ)) return prefix;
    }
    return std::nullopt;
}

}  // namespace

ScopedRegistryValue::ScopedRegistryValue(HKEY root, std::string keyPath, std::string valueName)
    : root_(root), keyPath_(std::move(keyPath)), valueName_(std::move(valueName)) {
    firstMissingKey_ = FirstMissingKey(root_, keyPath_);
    if (firstMissingKey_) return;
    // Saved through the wide API: its bytes are the stored ones, with no
    // code-page conversion that could lose characters on the way back.
    const RegistryKey key = OpenKey(root_, keyPath_, KEY_READ);
    if (!key) throw std::runtime_error("cannot open " + keyPath_);
    DWORD type = 0;
    DWORD size = 0;
    const std::wstring name = Widened(valueName_);
    if (RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS) {
        return;
    }
    savedData_.resize(size);
    if (RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type, savedData_.data(), &size) !=
        ERROR_SUCCESS) {
        throw std::runtime_error("cannot save " + keyPath_ + "\\" + valueName_);
    }
    savedData_.resize(size);
    savedType_ = type;
}

ScopedRegistryValue::~ScopedRegistryValue() {
    if (firstMissingKey_) {
        RegDeleteTreeA(root_, firstMissingKey_->c_str());
        return;
    }
    const RegistryKey key = OpenKey(root_, keyPath_, KEY_SET_VALUE);
    if (!key) return;
    const std::wstring name = Widened(valueName_);
    if (savedType_) {
        RegSetValueExW(key.Get(), name.c_str(), 0, *savedType_, savedData_.data(),
                       static_cast<DWORD>(savedData_.size()));
    } else {
        RegDeleteValueW(key.Get(), name.c_str());
    }
}

void ScopedRegistryValue::SetText(const std::string& text) {
    SetBytes(REG_SZ, std::string(text.c_str(), text.size() + 1));
}

void ScopedRegistryValue::SetDword(DWORD value) {
    SetBytes(REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value));
}

void ScopedRegistryValue::SetBytes(DWORD type, const std::string& bytes) {
    HKEY created = nullptr;
    if (RegCreateKeyExA(root_, keyPath_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &created,
                        nullptr) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot create " + keyPath_);
    }
    const RegistryKey key(created);
    if (RegSetValueExA(key.Get(), valueName_.c_str(), 0, type,
                       reinterpret_cast<const BYTE*>(bytes.data()),
                       static_cast<DWORD>(bytes.size())) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot set " + keyPath_ + "\\" + valueName_);
    }
}

void ScopedRegistryValue::Remove() {
    const RegistryKey key = OpenKey(root_, keyPath_, KEY_SET_VALUE);
    if (key) RegDeleteValueA(key.Get(), valueName_.c_str());
}
