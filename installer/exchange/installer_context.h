#pragma once

#include <string>
#include <vector>

#include "core/installer_config.h"
#include "exchange/exchange_attempt.h"
#include "net/http_client.h"

// The record through which the configuration, the HTTP client, the local
// paths and the proxy settings reach the initial exchange, the operations
// and the main window, which owns it.
class CInstallerContext {
public:
    // Builds the local paths, creates the work folder (with its parents;
    // a folder that exists already, or cannot be made, is not an error here:
    // downloads into it fail later on their own terms) and closes it to
    // programs that do not run as administrator, where the system allows.
    CInstallerContext();

    // Text of the last failure of the initial exchange; empty after success.
    std::string lastError;
    // What the latest attempt of the initial exchange did, for the log.
    ExchangeAttempt exchangeAttempt;
    CInstallerConfig config;
    HttpClient httpClient;
    // The installer's own install folder + "RUVInstaller.exe".
    std::string installerPath;
    // The work folder for downloads, without a trailing backslash.
    std::string cacheDirectory;
    // The configured server URL, handed on to the operations.
    std::string serverBaseUrl;
    bool browserProxyEnabled = false;
    // Host, port, user name and password: empty at first, exactly four
    // entries from the first ReadBrowserProxySettings on.
    std::vector<std::string> proxySettings;

    // Takes the browser's proxy switch and "host:port" from the current
    // user's Internet settings. What cannot be read keeps its earlier value;
    // user name and password are never touched.
    void ReadBrowserProxySettings();

    // Copies the four proxy strings out; leaves settings unchanged while
    // there are not exactly four.
    void GetProxySettings(std::vector<std::string>& settings) const;
    // Takes settings when it holds exactly four strings, and hands the
    // (always four) proxy strings on to the HTTP client.
    void SetProxySettings(std::vector<std::string> settings);

    // True when the file version of installerPath reads exactly as required
    // (four numbers joined by dots); false when it has none or cannot be
    // read. Defined with the initial exchange.
    bool CheckVersion(const std::string& required) const;
};
