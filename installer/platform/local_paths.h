#pragma once

#include <string>

// The product key of the installer's own install folder (the product's is
// "RUV").
inline constexpr char kInstallerProductKey[] = "RUVI";

// The install folder of a product: HKEY_LOCAL_MACHINE
// "SOFTWARE\Tarvano\" + productKey, value "InstallPath", followed by one
// backslash. Empty when the key or the value cannot be read.
std::string ReadInstallPath(const std::string& productKey);

// The full path of the folder that path names (relative to the current
// folder when it is not absolute), without a trailing backslash unless it
// is a drive's root; path as it is when the system cannot resolve it.
std::string FullFolderPath(const std::string& path);
