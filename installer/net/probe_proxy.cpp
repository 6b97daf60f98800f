#include "net/probe_proxy.h"

#include <cstring>
#include <string>

#include "net/internet_calls.h"
#include "net/unread_answer.h"

const char kDefaultServerBaseUrl[] = RUVI_DEFAULT_SERVER_URL;

namespace {

constexpr std::size_t kProxyAddressRoom = 243;
constexpr std::size_t kProxyCredentialRoom = 63;
constexpr DWORD kProbeFlags = INTERNET_FLAG_KEEP_CONNECTION;
constexpr DWORD_PTR kProbeContext = 0;
constexpr int kNoStatus = 0;

// A null text reads as empty; a text that does not fit is refused rather
// than cut, which would test a different proxy or account.
bool FitsRoom(const char* text, std::size_t room) {
    return text == nullptr || std::strlen(text) <= room;
}

std::string TextOf(const char* text) { return text == nullptr ? std::string() : text; }

}  // namespace

std::string ProxyProbeUrl(const std::string& configuredServerUrl) {
    if (!configuredServerUrl.empty()) return configuredServerUrl;
    const auto server = CrackServerUrl(kDefaultServerBaseUrl);
    if (!server) return kDefaultServerBaseUrl;
    return "http://" + server->host + server->object;
}

int ProbeProxy(const std::string& serverBaseUrl, const char* proxyAddress, const char* userName,
               const char* password) {
    // Without an address the session would follow the system's settings, and
    // a direct success would pass for the proxy's.
    if (TextOf(proxyAddress).empty()) return kNoStatus;
    if (!FitsRoom(proxyAddress, kProxyAddressRoom) || !FitsRoom(userName, kProxyCredentialRoom) ||
        !FitsRoom(password, kProxyCredentialRoom)) {
        return kNoStatus;
    }
    const auto server = CrackServerUrl(serverBaseUrl);
    if (!server) return kNoStatus;

    InternetHandle session = OpenInternetSession(TextOf(proxyAddress));
    InternetHandle connection = ConnectHttp(session.Get(), *server, kProbeFlags);
    InternetHandle request =
        OpenHttpRequest(connection.Get(), "GET", *server, kProbeFlags, kProbeContext);
    SetProxyCredentials(request.Get(), TextOf(userName), TextOf(password));
    SendHttpRequest(request.Get(), std::string(), ByteVector());
    // Only the status counts; the page itself is never read.
    const CUnreadAnswerGuard unread(session, connection, request);
    const auto status = QueryStatusCode(request.Get());
    return status ? static_cast<int>(*status) : kNoStatus;
}
