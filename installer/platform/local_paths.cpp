#include "platform/local_paths.h"

#include <windows.h>

#include <vector>

#include "platform/registry_value.h"

std::string ReadInstallPath(const std::string& productKey) {
    const RegistryKey key =
        OpenRegistryKeyForReading(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tarvano\\" + productKey);
    if (!key) return {};
    // Any length: a deep install folder is still the install folder.
    const auto folder = ReadRegistryText(key.Get(), "InstallPath");
    if (!folder) return {};
    return *folder + "\\";
}

std::string GetTempDirectory() {
    std::vector<char> buffer(1024);
    for (;;) {
        // The result is the length without the zero when it fitted, and the
        // room needed (with the zero) when it did not.
        const DWORD length = GetTempPathA(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0) return {};
        if (length < buffer.size()) return std::string(buffer.data(), length);
        buffer.resize(length);
    }
}
