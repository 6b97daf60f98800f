#pragma once

// Where the installer records what web pages may learn of it, as the browser
// control and the native messaging bridge both read it.

// The installer's registry key: HKLM "SOFTWARE\Tarvano\" + "RUVI".
inline constexpr char kInstallKeyPrefix[] = "SOFTWARE\\Tarvano\\";
inline constexpr char kInstallerProductKey[] = "RUVI";
// Its install folder.
inline constexpr char kInstallPathValue[] = "InstallPath";
// Beside it, the origins of the web pages that may ask.
inline constexpr wchar_t kAllowedSitesValue[] = L"AllowedSites";

// The file-list manifest in the install folder.
inline constexpr char kManifestFileName[] = "RUVI.FileList.Manifest";
