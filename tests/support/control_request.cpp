#include "control_request.h"

#include <windows.h>
#include <winhttp.h>

#include <sstream>
#include <stdexcept>

#include "platform/unique_handle.h"

namespace {

struct WinHttpHandleTraits {
    using Handle = HINTERNET;
    static Handle Empty() { return nullptr; }
    static void Close(Handle handle) { WinHttpCloseHandle(handle); }
};
using WinHttpHandle = UniqueHandle<WinHttpHandleTraits>;

// Starting a proxy or a server takes seconds; these bound the whole wait.
constexpr int kConnectLimitMs = 10000;
constexpr int kAnswerLimitMs = 120000;

WinHttpHandle Checked(HINTERNET handle, const char* step) {
    if (handle == nullptr) {
        throw std::runtime_error(std::string(step) + " failed, error " +
                                 std::to_string(GetLastError()));
    }
    return WinHttpHandle(handle);
}

std::wstring Widened(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

INTERNET_PORT PortOf(const std::string& controlUrl) {
    const std::size_t colon = controlUrl.rfind(':');
    if (colon == std::string::npos) throw std::runtime_error("bad services URL " + controlUrl);
    return static_cast<INTERNET_PORT>(std::stoi(controlUrl.substr(colon + 1)));
}

std::string ReadAll(HINTERNET request) {
    std::string body;
    char piece[4096];
    DWORD read = 0;
    while (WinHttpReadData(request, piece, sizeof piece, &read) && read > 0)
        body.append(piece, read);
    return body;
}

std::map<std::string, std::string> Facts(const std::string& text) {
    std::map<std::string, std::string> facts;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos) facts[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return facts;
}

// The body of a request without a body; throws when it fails or its status
// is not 200.
std::string Request(INTERNET_PORT port, const wchar_t* verb, const std::string& pathAndQuery) {
    const WinHttpHandle session =
        Checked(WinHttpOpen(L"ruvi-test-support", WINHTTP_ACCESS_TYPE_NO_PROXY,
                            WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0),
                "WinHttpOpen");
    WinHttpSetTimeouts(session.Get(), 0, kConnectLimitMs, kAnswerLimitMs, kAnswerLimitMs);
    const WinHttpHandle connection =
        Checked(WinHttpConnect(session.Get(), L"127.0.0.1", port, 0), "connect");
    const WinHttpHandle request =
        Checked(WinHttpOpenRequest(connection.Get(), verb, Widened(pathAndQuery).c_str(), nullptr,
                                   WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, 0),
                "open request");
    if (!WinHttpSendRequest(request.Get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                            WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !WinHttpReceiveResponse(request.Get(), nullptr)) {
        Checked(nullptr, pathAndQuery.c_str());
    }
    DWORD status = 0;
    DWORD size = sizeof status;
    WinHttpQueryHeaders(request.Get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                        WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
    const std::string body = ReadAll(request.Get());
    if (status != 200) throw std::runtime_error("refused " + pathAndQuery + ": " + body);
    return body;
}

}  // namespace

std::map<std::string, std::string> CallServices(const std::string& controlUrl,
                                                const std::string& pathAndQuery) {
    try {
        return Facts(Request(PortOf(controlUrl), L"POST", pathAndQuery));
    } catch (const std::runtime_error& failure) {
        throw std::runtime_error(std::string("services host: ") + failure.what());
    }
}

std::string GetFromLoopback(int port, const std::string& path) {
    return Request(static_cast<INTERNET_PORT>(port), L"GET", path);
}

std::string QueryEscaped(const std::string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    for (const unsigned char c : text) {
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                                (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
                                c == '~';
        if (unreserved) {
            escaped += static_cast<char>(c);
        } else {
            escaped += '%';
            escaped += kHex[c >> 4];
            escaped += kHex[c & 15];
        }
    }
    return escaped;
}
