#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Changes what the control reads under HKLM "SOFTWARE\Tarvano\RUVI" for one
// test, and puts back what was there before: the key's values, or the
// absence of the keys.
class ScopedInstallerRecords {
public:
    ScopedInstallerRecords();
    ~ScopedInstallerRecords();
    ScopedInstallerRecords(const ScopedInstallerRecords&) = delete;
    ScopedInstallerRecords& operator=(const ScopedInstallerRecords&) = delete;

    // "InstallPath": stores the bytes as given (ANSI) as a REG_SZ value.
    void SetInstallPath(const std::string& folder);
    void RemoveInstallPath();

    // "AllowedSites": the origins (ANSI) as a REG_MULTI_SZ value.
    void SetAllowedSites(const std::vector<std::string>& origins);
    void RemoveAllowedSites();

    void RemoveKey();

private:
    struct Value {
        std::wstring name;
        DWORD type;
        std::vector<BYTE> data;
    };

    bool parentExisted_ = false;
    bool keyExisted_ = false;
    std::vector<Value> values_;
};
