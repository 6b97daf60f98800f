#pragma once

#include <string>

// Where the installer put itself, as the installer recorded it under
// HKEY_LOCAL_MACHINE "SOFTWARE\Tarvano\" + productKey, value "InstallPath".
// The result ends in a backslash; it is empty when the key or the value
// cannot be read. The value is taken whatever its length and registry type,
// up to its first zero byte. Opens the key for reading only.
std::string ReadInstallPath(const std::string& productKey);
