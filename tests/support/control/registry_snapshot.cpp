#include "registry_snapshot.h"

#include <algorithm>
#include <cwctype>
#include <vector>

#include "platform/registry_key.h"

namespace {

// Key names are at most 255 characters, value names 16383.
constexpr DWORD kLongestName = 16384;

std::vector<std::wstring> Names(HKEY key, bool ofValues) {
    std::vector<std::wstring> names;
    std::vector<wchar_t> name(kLongestName);
    for (DWORD index = 0;; ++index) {
        DWORD length = kLongestName;
        const LONG status = ofValues ? RegEnumValueW(key, index, name.data(), &length, nullptr,
                                                     nullptr, nullptr, nullptr)
                                     : RegEnumKeyExW(key, index, name.data(), &length, nullptr,
                                                     nullptr, nullptr, nullptr);
        if (status != ERROR_SUCCESS) {
            return names;
        }
        names.emplace_back(name.data(), length);
    }
}

std::wstring Upper(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](wchar_t c) { return wchar_t(std::towupper(c)); });
    return text;
}

std::map<std::wstring, std::wstring> Values(HKEY key) {
    std::map<std::wstring, std::wstring> values;
    for (const std::wstring& name : ValueNames(key)) {
        DWORD type = 0;
        DWORD size = 0;
        RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
        std::wstring data;
        if (type == REG_SZ) {
            std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
            DWORD bytes = DWORD(buffer.size() * sizeof(wchar_t));
            RegQueryValueExW(key, name.c_str(), nullptr, nullptr,
                             reinterpret_cast<BYTE*>(buffer.data()), &bytes);
            data = buffer.data();
        } else {
            data = L"<type " + std::to_wstring(type) + L">";
        }
        values[name] = data;
    }
    return values;
}

void Collect(HKEY key, const std::wstring& relative, RegistryTree& tree) {
    tree[relative] = Values(key);
    for (const std::wstring& name : SubkeyNames(key)) {
        RegistryKey child;
        if (RegOpenKeyExW(key, name.c_str(), 0, KEY_READ, child.Receive()) == ERROR_SUCCESS) {
            Collect(child.Get(), relative.empty() ? name : relative + L"\\" + name, tree);
        }
    }
}

}  // namespace

std::vector<std::wstring> SubkeyNames(HKEY key) { return Names(key, false); }

std::vector<std::wstring> ValueNames(HKEY key) { return Names(key, true); }

std::set<std::wstring> ClassesSubkeys(const std::wstring& path) {
    std::set<std::wstring> names;
    RegistryKey key;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.empty() ? nullptr : path.c_str(), 0, KEY_READ,
                      key.Receive()) != ERROR_SUCCESS) {
        return names;
    }
    for (const std::wstring& name : SubkeyNames(key.Get())) {
        names.insert(Upper(name));
    }
    return names;
}

RegistryTree ClassesTree(const std::wstring& path) {
    RegistryTree tree;
    RegistryKey key;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.Receive()) ==
        ERROR_SUCCESS) {
        Collect(key.Get(), L"", tree);
    }
    return tree;
}
