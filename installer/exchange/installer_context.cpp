#include "exchange/installer_context.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/local_paths.h"
#include "platform/registry_value.h"

namespace {

constexpr char kInternetSettingsKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
constexpr std::size_t kProxyServerRoom = 1024;
// In the installer's install folder, which holds RUVI.config and the skin
// already: the work folder adds no place of trust of its own.
constexpr char kWorkFolderName[] = "Download";

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
      workFolder_(PrepareOwnFolder(ReadInstallPath(kInstallerProductKey), kWorkFolderName)) {
    if (workFolder_.Usable()) cacheDirectory = workFolder_.path;
    LogOwnFolder("work-folder", workFolder_);
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
