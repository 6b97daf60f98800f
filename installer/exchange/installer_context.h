#pragma once

#include <string>

#include "core/installer_config.h"
#include "net/http_client.h"
#include "net/proxy_settings.h"
#include "platform/own_folder.h"

// What the initial exchange reads and keeps from one attempt to the next:
// the configuration, the HTTP client, the local paths and the proxy
// settings. The exchange's outcome is not kept here: it is its result.
class CInstallerContext {
public:
    // Builds the local paths and prepares the work folder, the install
    // folder's "Download", as the installer's own (see platform/own_folder.h),
    // and says in the install log what it found. It holds the folder while
    // it lives. Without an install folder, or when the folder cannot be made,
    // there is none: downloads fail with 402 and setup runs with 501.
    CInstallerContext();

    CInstallerConfig config;
    HttpClient httpClient;
    // The installer's own install folder + "RUVInstaller.exe".
    std::string installerPath;
    // The work folder for downloads, without a trailing backslash; "" when
    // there is none.
    std::string cacheDirectory;
    // The configured server URL, handed on to the operations.
    std::string serverBaseUrl;
    bool browserProxyEnabled = false;
    // The browser's host and port, or the proxy the user chose; empty at
    // first.
    ProxySettings proxySettings;
    // The offline layout the run comes from instead of the server ("" for
    // the server): the exchange reads its answer, the downloads copy its
    // files, and nothing goes to the network.
    std::string offlineLayout;

    // Takes the browser's proxy switch and "host:port" from the current
    // user's Internet settings. What cannot be read keeps its earlier value;
    // user name and password are never touched.
    void ReadBrowserProxySettings();

    // The proxy the user chose in the proxy settings dialog: the following
    // attempts go through it (when it is switched on), and the dialog shows
    // it when it comes again.
    void ChooseProxy(const ProxyChoice& choice);

    // True when the file version of installerPath reads exactly as required
    // (four numbers joined by dots); false when it has none or cannot be
    // read. Defined with the initial exchange.
    bool CheckVersion(const std::string& required) const;

private:
    OwnFolder workFolder_;
};
