#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Changes the installer's record of its install folder, HKLM
// "SOFTWARE\Tarvano\RUVI" value "InstallPath", for one test and puts back
// what was there before: the key's values, or the absence of the keys.
class ScopedInstallPath {
public:
    ScopedInstallPath();
    ~ScopedInstallPath();
    ScopedInstallPath(const ScopedInstallPath&) = delete;
    ScopedInstallPath& operator=(const ScopedInstallPath&) = delete;

    // Stores the bytes as given (ANSI) as a REG_SZ value.
    void Set(const std::string& folder);
    void RemoveValue();
    void RemoveKey();

private:
    struct Value {
        std::string name;
        DWORD type;
        std::vector<BYTE> data;
    };

    bool parentExisted_ = false;
    bool keyExisted_ = false;
    std::vector<Value> values_;
};
