#pragma once

#include <string>

// The product key of the installer's own install folder (the product's is
// "RUV").
inline constexpr char kInstallerProductKey[] = "RUVI";

// The install folder of a product: HKEY_LOCAL_MACHINE
// "SOFTWARE\Tarvano\" + productKey, value "InstallPath", followed by one
// backslash. Empty when the key or the value cannot be read.
std::string ReadInstallPath(const std::string& productKey);
