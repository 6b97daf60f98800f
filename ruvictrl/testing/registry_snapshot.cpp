#include "registry_snapshot.h"

#include <algorithm>
#include <cwctype>
#include <vector>

#include "scoped_handle.h"

namespace {

std::wstring Upper(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](wchar_t c) { return wchar_t(std::towupper(c)); });
    return text;
}

std::vector<std::wstring> Subkeys(HKEY key) {
    std::vector<std::wstring> names;
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        if (RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            return names;
        }
        names.emplace_back(name, length);
    }
}

std::map<std::wstring, std::wstring> Values(HKEY key) {
    std::map<std::wstring, std::wstring> values;
    wchar_t name[16384];
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = 16384;
        DWORD type = 0;
        DWORD size = 0;
        if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS) {
            return values;
        }
        std::wstring data;
        if (type == REG_SZ) {
            std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
            DWORD bytes = DWORD(buffer.size() * sizeof(wchar_t));
            RegQueryValueExW(key, std::wstring(name, nameLength).c_str(), nullptr, nullptr,
                             reinterpret_cast<BYTE*>(buffer.data()), &bytes);
            data = buffer.data();
        } else {
            data = L"<type " + std::to_wstring(type) + L">";
        }
        values[std::wstring(name, nameLength)] = data;
    }
}

void Collect(HKEY key, const std::wstring& relative, RegistryTree& tree) {
    tree[relative] = Values(key);
    for (const std::wstring& name : Subkeys(key)) {
        ScopedRegKey child;
        if (RegOpenKeyExW(key, name.c_str(), 0, KEY_READ, child.receive()) == ERROR_SUCCESS) {
            Collect(child.get(), relative.empty() ? name : relative + L"\\" + name, tree);
        }
    }
}

}  // namespace

std::set<std::wstring> ClassesSubkeys(const std::wstring& path) {
    std::set<std::wstring> names;
    ScopedRegKey key;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.empty() ? nullptr : path.c_str(), 0, KEY_READ,
                      key.receive()) != ERROR_SUCCESS) {
        return names;
    }
    for (const std::wstring& name : Subkeys(key.get())) {
        names.insert(Upper(name));
    }
    return names;
}

RegistryTree ClassesTree(const std::wstring& path) {
    RegistryTree tree;
    ScopedRegKey key;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.receive()) ==
        ERROR_SUCCESS) {
        Collect(key.get(), L"", tree);
    }
    return tree;
}
