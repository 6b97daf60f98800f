#include "installer_records.h"

#include <windows.h>

#include <algorithm>
#include <type_traits>

#include "platform/registry_key.h"
#include "webcheck_names.h"

namespace {

RegistryKey OpenProductKey(const std::string& productKey) {
    const std::string keyPath = std::string(kInstallKeyPrefix) + productKey;
    RegistryKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_QUERY_VALUE, key.Receive()) !=
        ERROR_SUCCESS) {
        key.Release();
    }
    return key;
}

// The whole value as the ANSI (char) or the wide (wchar_t) API returns it.
// The value can change between asking for its size and reading it; then the
// read is tried again with the new size.
template <class Char>
bool QueryValue(HKEY key, const Char* name, std::vector<Char>& text, DWORD& type) {
    constexpr auto query = [] {
        if constexpr (std::is_same_v<Char, char>) {
            return &RegQueryValueExA;
        } else {
            return &RegQueryValueExW;
        }
    }();
    for (;;) {
        DWORD size = 0;
        LONG status = query(key, name, nullptr, &type, nullptr, &size);
        if (status != ERROR_SUCCESS) {
            return false;
        }
        text.assign(size / sizeof(Char) + 1, Char());
        status = query(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size);
        if (status == ERROR_MORE_DATA) {
            continue;
        }
        if (status != ERROR_SUCCESS) {
            return false;
        }
        text.resize(size / sizeof(Char));
        return true;
    }
}

}  // namespace

std::string ReadInstallPath(const std::string& productKey) {
    const RegistryKey key = OpenProductKey(productKey);
    std::vector<char> bytes;
    DWORD type = REG_NONE;
    if (!key || !QueryValue(key.Get(), kInstallPathValue, bytes, type)) {
        return {};
    }
    // A string value need not be stored with its terminating zero.
    std::string folder(bytes.begin(), std::find(bytes.begin(), bytes.end(), '\0'));
    return folder + '\\';
}

std::wstring ReadInstallPathText(const std::string& productKey) {
    const std::string folder = ReadInstallPath(productKey);
    if (folder.empty()) {
        return {};
    }
    const int length =
        MultiByteToWideChar(CP_ACP, 0, folder.data(), int(folder.size()), nullptr, 0);
    std::wstring text(size_t(std::max(length, 0)), L'\0');
    if (length > 0) {
        MultiByteToWideChar(CP_ACP, 0, folder.data(), int(folder.size()), text.data(), length);
    }
    return text;
}

std::vector<std::wstring> ReadAllowedSites(const std::string& productKey) {
    const RegistryKey key = OpenProductKey(productKey);
    std::vector<wchar_t> text;
    DWORD type = REG_NONE;
    if (!key || !QueryValue(key.Get(), kAllowedSitesValue, text, type) || type != REG_MULTI_SZ) {
        return {};
    }
    // Neither the list's closing empty string nor the last one's zero need
    // be stored.
    std::vector<std::wstring> sites;
    for (auto start = text.begin(); start != text.end();) {
        const auto end = std::find(start, text.end(), L'\0');
        if (end == start) {
            break;
        }
        sites.emplace_back(start, end);
        start = end == text.end() ? end : end + 1;
    }
    return sites;
}
