#include "net/internet_calls.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "net/internet_error.h"

namespace {

// The framework's internet session names itself after the program.
constexpr char kAgentName[] = "RUVInstaller";
constexpr DWORD_PTR kSessionContext = 1;
// Enough for the headers the installer reads; a longer one takes a second try.
constexpr std::size_t kHeaderRoom = 256;

InternetHandle CheckedHandle(HINTERNET handle) {
    if (handle == nullptr) ThrowLastInternetError();
    return InternetHandle(handle);
}

}  // namespace

std::optional<ServerAddress> CrackServerUrl(const std::string& url) {
    // Non-zero lengths with null buffers ask for pointers into url itself, so
    // no part of the URL can be too long for a buffer.
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = 1;
    parts.dwUrlPathLength = 1;
    parts.dwExtraInfoLength = 1;
    if (!InternetCrackUrlA(url.c_str(), 0, 0, &parts)) return std::nullopt;

    ServerAddress server;
    server.host.assign(parts.lpszHostName, parts.dwHostNameLength);
    server.port = parts.nPort;
    server.object.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    server.object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    server.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    return server;
}

InternetHandle OpenInternetSession(const std::string& proxyAddress) {
    if (proxyAddress.empty()) {
        return CheckedHandle(
            InternetOpenA(kAgentName, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    }
    return CheckedHandle(
        InternetOpenA(kAgentName, INTERNET_OPEN_TYPE_PROXY, proxyAddress.c_str(), nullptr, 0));
}

InternetHandle ConnectHttp(HINTERNET session, const ServerAddress& server, DWORD flags) {
    return CheckedHandle(InternetConnectA(session, server.host.c_str(), server.port, nullptr,
                                          nullptr, INTERNET_SERVICE_HTTP, flags, kSessionContext));
}

InternetHandle OpenHttpRequest(HINTERNET connection, const char* verb, const ServerAddress& server,
                               DWORD flags, DWORD_PTR context) {
    const DWORD scheme = server.secure ? INTERNET_FLAG_SECURE : 0;
    return CheckedHandle(HttpOpenRequestA(connection, verb, server.object.c_str(), nullptr, nullptr,
                                          nullptr, flags | scheme, context));
}

void SetProxyCredentials(HINTERNET request, const std::string& userName,
                         const std::string& password) {
    // A refused option surfaces as the proxy's 407, where the caller sees it.
    InternetSetOptionA(request, INTERNET_OPTION_PROXY_USERNAME, const_cast<char*>(userName.c_str()),
                       static_cast<DWORD>(userName.size() + 1));
    InternetSetOptionA(request, INTERNET_OPTION_PROXY_PASSWORD, const_cast<char*>(password.c_str()),
                       static_cast<DWORD>(password.size() + 1));
}

void SendHttpRequest(HINTERNET request, const std::string& headers, const ByteVector& body) {
    const char* headerText = headers.empty() ? nullptr : headers.c_str();
    void* optional = body.empty() ? nullptr : const_cast<char*>(body.data());
    if (!HttpSendRequestA(request, headerText, static_cast<DWORD>(headers.size()), optional,
                          static_cast<DWORD>(body.size()))) {
        ThrowLastInternetError();
    }
}

std::optional<DWORD> QueryStatusCode(HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                        nullptr)) {
        return std::nullopt;
    }
    return status;
}

std::optional<std::string> QueryResponseHeader(HINTERNET request, const std::string& name) {
    // The buffer names the header going in and holds its value coming out.
    std::vector<char> buffer(std::max<std::size_t>(name.size() + 1, kHeaderRoom));
    for (int attempt = 0; attempt < 2; ++attempt) {
        std::copy(name.begin(), name.end(), buffer.begin());
        buffer[name.size()] = '\0';
        DWORD size = static_cast<DWORD>(buffer.size());
        if (HttpQueryInfoA(request, HTTP_QUERY_CUSTOM, buffer.data(), &size, nullptr)) {
            return std::string(buffer.data(), size);
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
        buffer.resize(std::max<std::size_t>(buffer.size(), size) + 1);
    }
    return std::nullopt;
}

std::optional<unsigned long long> QueryContentLength(HINTERNET request) {
    char text[32];
    DWORD size = sizeof text;
    if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) {
        return std::nullopt;
    }
    unsigned long long length = 0;
    const auto [end, error] = std::from_chars(text, text + size, length);
    if (error != std::errc() || end != text + size) return std::nullopt;
    return length;
}

DWORD ReadResponsePiece(HINTERNET request, char* buffer, DWORD size) {
    DWORD read = 0;
    if (!InternetReadFile(request, buffer, size, &read)) ThrowLastInternetError();
    return read;
}
