#include "platform/local_paths.h"

#include <windows.h>

#include <vector>

#include "platform/registry_value.h"

namespace {

// Whether the last character, as the code page reads the text, is a
// backslash: a double-byte character may end in the byte of one.
bool EndsWithSeparator(const std::string& path) {
    bool separator = false;
    for (std::size_t i = 0; i < path.size(); ++i) {
        separator = path[i] == '\\';
        if (IsDBCSLeadByte(static_cast<BYTE>(path[i]))) ++i;
    }
    return separator;
}

}  // namespace

std::string ReadInstallPath(const std::string& productKey) {
    const RegistryKey key =
        OpenRegistryKeyForReading(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tarvano\\" + productKey);
    if (!key) return {};
    // Any length: a deep install folder is still the install folder.
    const auto folder = ReadRegistryText(key.Get(), "InstallPath");
    if (!folder) return {};
    return *folder + "\\";
}

std::string FullFolderPath(const std::string& path) {
    const DWORD room = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (room == 0) return path;
    std::vector<char> full(room);
    const DWORD length = GetFullPathNameA(path.c_str(), room, full.data(), nullptr);
    if (length == 0 || length >= room) return path;
    std::string folder(full.data(), length);
    const bool root = folder.size() == 3 && folder[1] == ':';
    if (!root && EndsWithSeparator(folder)) folder.pop_back();
    return folder;
}
