#pragma once

#include <windows.h>

#include <string>

// RUVICtrl.ocx as built beside the test programs.
std::wstring OcxPath();

// Runs "regsvr32 <arguments>" and returns its exit code; -1 when it cannot
// be started or does not end within a minute (it is then stopped).
int RunRegsvr32(const std::wstring& arguments);

// The control registered with regsvr32 for the lifetime of the object, and
// unregistered with regsvr32 /u after. Throws std::runtime_error when the
// registration fails.
class OcxRegistration {
public:
    OcxRegistration();
    ~OcxRegistration();
    OcxRegistration(const OcxRegistration&) = delete;
    OcxRegistration& operator=(const OcxRegistration&) = delete;
};
