#pragma once

// The server page a proxy test fetches: an http URL ending in "/RUVServer/",
// fixed when the installer is built.
extern const char kDefaultServerBaseUrl[];

// Tests a proxy: the HTTP status of one GET of kDefaultServerBaseUrl sent
// through the proxy at proxyAddress ("host:port") with the proxy's user
// name and password. Whatever the URL's port, the GET goes to the http
// default port. Returns 0 when there is no status: the status cannot be
// read, or there is no address or a text longer than its room (243 bytes
// of address, 63 of user name or password), in which case nothing is
// sent. Failures of the platform's calls throw CInternetError.
int ProbeProxy(const char* proxyAddress, const char* userName, const char* password);
