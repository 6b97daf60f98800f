#pragma once

#include <string>
#include <vector>

// What the browser control and the bridge read under HKEY_LOCAL_MACHINE
// "SOFTWARE\Tarvano\" + productKey. Every read opens the key afresh, for
// reading only.

// Where the installer put itself: value "InstallPath". The result ends in a
// backslash; it is empty when the key or the value cannot be read. The value
// is taken whatever its length and registry type, up to its first zero byte.
std::string ReadInstallPath(const std::string& productKey);

// The same folder as pages are told it: converted from the ANSI code page
// (characters that do not convert become the code page's default).
std::wstring ReadInstallPathText(const std::string& productKey);

// The origins of the web pages that may ask: value
// "AllowedSites", a REG_MULTI_SZ, up to its first empty string. Empty when
// the key or the value cannot be read or the value has another type.
std::vector<std::wstring> ReadAllowedSites(const std::string& productKey);
