#include "exchange/installer_context.h"

#include <windows.h>

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/folder_protection.h"
#include "platform/local_paths.h"
#include "platform/registry_value.h"

namespace {

constexpr char kInternetSettingsKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
constexpr std::size_t kProxyServerRoom = 1024;

// The texts between colons. Empty ones do not count, so leading or doubled
// colons are skipped.
std::vector<std::string> SplitAtColons(const std::string& text) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t colon = std::min(text.find(':', start), text.size());
        if (colon > start) pieces.push_back(text.substr(start, colon - start));
        start = colon + 1;
    }
    return pieces;
}

}  // namespace

CInstallerContext::CInstallerContext()
    : installerPath(ReadInstallPath(kInstallerProductKey) + "RUVInstaller.exe"),
      // The temporary folder ends with a backslash already; the doubled one
      // stays, as every path here is built by plain appending.
      cacheDirectory(GetTempDirectory() + "\\Tarvano\\RUVI") {
    SHCreateDirectoryExA(nullptr, cacheDirectory.c_str(), nullptr);
    // Elevated, the installer runs what it finds in this folder; programs of
    // the user without elevation must not be able to put anything there. Set
    // on every start, since the folder may be older than this installer.
    // Without it the install still goes on.
    ProtectFolderForAdministrators(cacheDirectory);
}

void CInstallerContext::ReadBrowserProxySettings() {
    const RegistryKey key = OpenRegistryKeyForReading(HKEY_CURRENT_USER, kInternetSettingsKey);
    if (!key) return;

    if (const auto enable = ReadRegistryBytes(key.Get(), "ProxyEnable", sizeof(DWORD))) {
        DWORD value = 0;
        std::memcpy(&value, enable->data(), enable->size());
        browserProxyEnabled = value != 0;
    }
    // "host:port"; of a per-protocol list ("http=host:port;https=...") this
    // takes what lies before and between the first colons, as it always has.
    if (const auto server = ReadRegistryText(key.Get(), "ProxyServer", kProxyServerRoom)) {
        const std::vector<std::string> pieces = SplitAtColons(*server);
        proxySettings.host = pieces.size() > 0 ? pieces[0] : std::string();
        proxySettings.port = pieces.size() > 1 ? pieces[1] : std::string();
    }
}

void CInstallerContext::ChooseProxy(const ProxyChoice& choice) {
    browserProxyEnabled = choice.enabled;
    httpClient.useProxy = choice.enabled;
    proxySettings = choice.settings;
    httpClient.proxySettings = choice.settings;
}
