#include "platform/local_paths.h"

#include <windows.h>

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
