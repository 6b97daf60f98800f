#pragma once

#include <string>

// What "/register" leaves on the machine so that browsers find the bridge:
// com.tarvano.ruvi.json beside the program, and under HKEY_LOCAL_MACHINE a
// key for each browser whose default value is that file's path.
inline constexpr const wchar_t* kBrowserHostKeys[] = {
    L"SOFTWARE\\Google\\Chrome\\NativeMessagingHosts\\com.tarvano.ruvi",
    L"SOFTWARE\\Microsoft\\Edge\\NativeMessagingHosts\\com.tarvano.ruvi",
    L"SOFTWARE\\Chromium\\NativeMessagingHosts\\com.tarvano.ruvi",
};

// The manifest's path for the program at programPath.
std::wstring HostManifestPath(const std::wstring& programPath);

// Each returns an empty text when done, else the reason it failed. A
// registration that fails part-way is taken back whole.
std::wstring RegisterHost(const std::wstring& programPath);
// Removes the keys and the manifest; what is missing already is no failure.
// The browsers' parent keys stay: other hosts may live there.
std::wstring UnregisterHost(const std::wstring& programPath);
