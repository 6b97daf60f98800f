#include "platform/registry_value.h"

#include <algorithm>

namespace {

constexpr std::size_t kFirstGuess = 256;

}  // namespace

RegistryKey OpenRegistryKeyForReading(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
    return RegistryKey(key);
}

std::optional<std::vector<char>> ReadRegistryBytes(HKEY key, const char* name,
                                                   std::size_t maxBytes) {
    // The size that a query without a buffer reports may be the stored UTF-16
    // size rather than the ANSI one, so read into a growing buffer instead of
    // trusting it; a value may also grow between two calls.
    // Never an empty buffer: a null one would turn the read into a size query.
    std::vector<char> data(std::max<std::size_t>(1, std::min(kFirstGuess, maxBytes)));
    for (;;) {
        DWORD size = static_cast<DWORD>(data.size());
        const LSTATUS status = RegQueryValueExA(key, name, nullptr, nullptr,
                                                reinterpret_cast<BYTE*>(data.data()), &size);
        if (status == ERROR_SUCCESS) {
            data.resize(size);
            return data;
        }
        if (status != ERROR_MORE_DATA || data.size() >= maxBytes) return std::nullopt;
        data.resize(std::min(std::max<std::size_t>(size, 2 * data.size()), maxBytes));
    }
}

std::optional<std::string> ReadRegistryText(HKEY key, const char* name, std::size_t maxBytes) {
    const auto bytes = ReadRegistryBytes(key, name, maxBytes);
    if (!bytes) return std::nullopt;
    const auto end = std::find(bytes->begin(), bytes->end(), '\0');
    return std::string(bytes->begin(), end);
}
