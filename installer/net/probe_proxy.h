#pragma once

#include <string>

// The server page a proxy test fetches when the installer has no
// configuration to name its own: an http URL ending in "/RUVServer/", fixed
// when the installer is built.
extern const char kDefaultServerBaseUrl[];

// Where a proxy test goes: the server base URL of the configuration the
// installer read, at that server's own port, as the exchange reaches it.
// Only when no configuration could be read (configuredServerUrl empty): the
// build's kDefaultServerBaseUrl at the http default port, whatever port it
// names.
std::string ProxyProbeUrl(const std::string& configuredServerUrl);

// Tests a proxy: the HTTP status of one GET of serverBaseUrl sent through
// the proxy at proxyAddress ("host:port") with the proxy's user name and
// password. Returns 0 when there is no status: the status cannot be read,
// the URL cannot be split, or there is no address or a text longer than its
// room (243 bytes of address, 63 of user name or password), in which case
// nothing is sent. Failures of the platform's calls throw CInternetError.
int ProbeProxy(const std::string& serverBaseUrl, const char* proxyAddress, const char* userName,
               const char* password);
