#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// Changes one registry value for the length of a test and then puts back
// what was there: the old data with its type, no value, or no key at all
// (keys it had to create are removed again). All Windows tests share one
// Wine prefix, so nothing may stay behind.
class ScopedRegistryValue {
public:
    // keyPath below root, e.g. "SOFTWARE\\Tarvano\\RUVI"; valueName ASCII.
    ScopedRegistryValue(HKEY root, std::string keyPath, std::string valueName);
    ~ScopedRegistryValue();

    ScopedRegistryValue(const ScopedRegistryValue&) = delete;
    ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;

    // REG_SZ; text in the ANSI code page, stored with its terminating zero.
    void SetText(const std::string& text);
    void SetDword(DWORD value);
    // Any type, the bytes exactly as given (no terminating zero added).
    void SetBytes(DWORD type, const std::string& bytes);
    // Leaves the key (if any) without the value.
    void Remove();

private:
    HKEY root_;
    std::string keyPath_;
    std::string valueName_;
    // The outermost key of keyPath that did not exist before.
    std::optional<std::string> firstMissingKey_;
    std::optional<DWORD> savedType_;
    std::vector<BYTE> savedData_;
};
