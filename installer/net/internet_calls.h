#pragma once

#include <optional>
#include <string>

#include "core/byte_vector.h"
#include "platform/internet_handle.h"

// The WinINet steps that the HTTP client and the proxy probe share. Every
// failing platform call throws CInternetError with the platform's text.

struct ServerAddress {
    std::string host;
    INTERNET_PORT port = 0;
    std::string object;   // path and query, as they go on the request line
    bool secure = false;  // https: TLS with the platform's certificate checks
};

// Empty when WinINet cannot split the URL. Without a port in the URL, the
// port is its scheme's default.
std::optional<ServerAddress> CrackServerUrl(const std::string& url);

// With an empty proxyAddress the session follows the system's Internet
// settings. Otherwise every request goes through that proxy ("host:port"):
// set here, when the session opens, because Wine's WinINet ignores a proxy
// set on an open handle (INTERNET_OPTION_PROXY); on Windows the effect is
// the same.
InternetHandle OpenInternetSession(const std::string& proxyAddress);

InternetHandle ConnectHttp(HINTERNET session, const ServerAddress& server, DWORD flags);
// A secure server's request goes over TLS (through a proxy, WinINet tunnels
// it with CONNECT). Certificate errors are never ignored: they fail the send.
InternetHandle OpenHttpRequest(HINTERNET connection, const char* verb, const ServerAddress& server,
                               DWORD flags, DWORD_PTR context);

// The proxy's user name and password for this request; WinINet answers the
// proxy's 407 challenge with them.
void SetProxyCredentials(HINTERNET request, const std::string& userName,
                         const std::string& password);

void SendHttpRequest(HINTERNET request, const std::string& headers, const ByteVector& body);

// Empty when the status cannot be read.
std::optional<DWORD> QueryStatusCode(HINTERNET request);

// The value of the answer's header called name, when it carries one.
std::optional<std::string> QueryResponseHeader(HINTERNET request, const std::string& name);

// The declared Content-Length, when the answer carries one.
std::optional<unsigned long long> QueryContentLength(HINTERNET request);

// Up to size bytes of the body; 0 at its end.
DWORD ReadResponsePiece(HINTERNET request, char* buffer, DWORD size);
