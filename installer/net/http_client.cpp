#include "net/http_client.h"

#include <algorithm>

#include "net/http_messages.h"
#include "net/internet_calls.h"
#include "net/internet_error.h"
#include "skin/progress_bmp_ctrl.h"
#include "window/progress_window.h"

namespace {

constexpr char kRequestHeaders[] = "Accept: text/*\r\nUser-Agent: Ruvex Installer\r\n";
constexpr DWORD kPostFlags = INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_AUTO_REDIRECT;
constexpr DWORD_PTR kPostContext = 1;

// The room the proxy texts have; longer ones are refused, never cut into
// the name of another proxy.
constexpr std::size_t kProxyAddressRoom = 327;
constexpr std::size_t kProxyCredentialRoom = 63;

constexpr DWORD kPieceSize = 1024;
constexpr std::size_t kBytesPerProgressStep = 400000;
constexpr int kProgressCeiling = 100;

// Moves the bar one step each time the body crosses another multiple of
// kBytesPerProgressStep, so a large download touches the window rarely.
class ProgressStepper {
public:
    explicit ProgressStepper(IProgressWindow* window) : window_(window) {}

    void PieceStored(std::size_t receivedBefore) {
        if (window_ == nullptr) return;
        const std::size_t stride = receivedBefore / kBytesPerProgressStep;
        if (stride == lastStride_) return;
        lastStride_ = stride;
        CProgressBmpCtrl& bar = window_->ProgressBar();
        bar.SetPos(std::min(bar.GetPos() + 1, kProgressCeiling));
    }

private:
    IProgressWindow* window_;
    std::size_t lastStride_ = 0;
};

// Up to a whole piece, but never more than one byte past the limit: that
// byte is enough to tell an answer that is too large.
DWORD NextPieceSize(std::size_t received, std::size_t limit) {
    const std::size_t room = limit - received;
    return room < kPieceSize ? static_cast<DWORD>(room + 1) : kPieceSize;
}

void ReadBody(HINTERNET request, IProgressWindow* progressWindow, std::size_t limit,
              ByteVector& response) {
    ProgressStepper stepper(progressWindow);
    char piece[kPieceSize];
    while (const DWORD read =
               ReadResponsePiece(request, piece, NextPieceSize(response.size(), limit))) {
        const std::size_t receivedBefore = response.size();
        response.insert(response.end(), piece, piece + read);
        if (response.size() > limit) throw CMessageError(kResponseTooLarge);
        stepper.PieceStored(receivedBefore);
    }
    // A connection that ends early reads like the end of the body; only the
    // declared length tells a cut-off answer from a whole one.
    const auto declared = QueryContentLength(request);
    if (declared && *declared != response.size()) {
        throw CInternetError(ERROR_INTERNET_CONNECTION_ABORTED);
    }
}

}  // namespace

bool HttpClient::SetProxySettings(std::vector<std::string> settings) {
    if (settings.size() != 4) return false;
    proxySettings = std::move(settings);
    return true;
}

void HttpClient::Post(std::string url, IProgressWindow* progressWindow, ByteVector body) {
    response.clear();
    responseHeader.reset();
    lastStatus = 0;
    try {
        Exchange(url, progressWindow, body);
    } catch (const CMessageError&) {
        throw;
    } catch (...) {
        throw CMessageError(kHttpUnknownError);
    }
}

void HttpClient::Exchange(const std::string& url, IProgressWindow* progressWindow,
                          const ByteVector& body) {
    // Declared in this order, the handles close request first, session last.
    const InternetHandle session = OpenInternetSession(useProxy ? ProxyAddress() : std::string());
    const auto server = CrackServerUrl(url);
    if (!server) throw CMessageError(kServerUrlUnparsable);
    const InternetHandle connection = ConnectHttp(session.Get(), *server, 0);
    const InternetHandle request =
        OpenHttpRequest(connection.Get(), "POST", *server, kPostFlags, kPostContext);
    if (useProxy) SetProxyCredentials(request.Get(), proxySettings.at(2), proxySettings.at(3));

    SendHttpRequest(request.Get(), kRequestHeaders + extraHeaders, body);
    const auto status = QueryStatusCode(request.Get());
    if (!status) throw CMessageError(kServerStatusUnreadable);
    lastStatus = static_cast<int>(*status);
    if (*status != HTTP_STATUS_OK) throw CMessageError(kServerInternalError);
    ReadBody(request.Get(), progressWindow, responseLimit, response);
    if (!keptHeaderName.empty())
        responseHeader = QueryResponseHeader(request.Get(), keptHeaderName);
}

std::string HttpClient::ProxyAddress() const {
    // at() turns settings that were never given into the unknown failure.
    const std::string address = proxySettings.at(0) + ":" + proxySettings.at(1);
    if (address.size() > kProxyAddressRoom || proxySettings.at(2).size() > kProxyCredentialRoom ||
        proxySettings.at(3).size() > kProxyCredentialRoom) {
        throw CInternetError(ERROR_INTERNET_BAD_OPTION_LENGTH);
    }
    return address;
}
