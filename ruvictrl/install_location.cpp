#include "install_location.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "ruvictrl_names.h"
#include "scoped_handle.h"

namespace {

// The value can change between asking for its size and reading it; then the
// read is tried again with the new size.
bool QueryValueBytes(HKEY key, const char* name, std::vector<char>& bytes) {
    for (;;) {
        DWORD size = 0;
        LONG status = RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size);
        if (status != ERROR_SUCCESS) {
            return false;
        }
        bytes.assign(size, '\0');
        status = RegQueryValueExA(key, name, nullptr, nullptr,
                                  reinterpret_cast<BYTE*>(bytes.data()), &size);
        if (status == ERROR_MORE_DATA) {
            continue;
        }
        if (status != ERROR_SUCCESS) {
            return false;
        }
        bytes.resize(size);
        return true;
    }
}

}  // namespace

std::string ReadInstallPath(const std::string& productKey) {
    const std::string keyPath = std::string(kInstallKeyPrefix) + productKey;
    ScopedRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_QUERY_VALUE, key.receive()) !=
        ERROR_SUCCESS) {
        return {};
    }
    std::vector<char> bytes;
    if (!QueryValueBytes(key.get(), kInstallPathValue, bytes)) {
        return {};
    }
    // A string value need not be stored with its terminating zero.
    std::string folder(bytes.begin(), std::find(bytes.begin(), bytes.end(), '\0'));
    return folder + '\\';
}
