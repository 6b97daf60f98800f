#include "net/http_client.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string_view>

#include "net/http_messages.h"
#include "net/internet_calls.h"
#include "net/internet_error.h"
#include "net/progress_sink.h"
#include "net/response_sink.h"
#include "net/unread_answer.h"

namespace {

constexpr char kRequestHeaders[] = "Accept: text/*\r\nUser-Agent: Ruvex Installer\r\n";
// Without NO_CACHE_WRITE, Wine's WinINet writes every answer into the
// user's Internet cache as well: a second file write of each piece of a
// download, which cost it up to half its speed, and a copy of the whole file
// left behind in the cache folder. No answer is ever read back from there.
constexpr DWORD kPostFlags =
    INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_NO_CACHE_WRITE;
// A GET could be answered from the cache that other programs fill: RELOAD
// has every one go to the server.
constexpr DWORD kGetFlags = kPostFlags | INTERNET_FLAG_RELOAD;
constexpr DWORD_PTR kRequestContext = 1;
constexpr char kContentRange[] = "Content-Range";

// The room the proxy texts have; longer ones are refused, never cut into
// the name of another proxy.
constexpr std::size_t kProxyAddressRoom = 327;
constexpr std::size_t kProxyCredentialRoom = 63;

// The most one read asks for. Under Wine each read costs a system call, so
// small reads cap the speed (1024 bytes: 12 MiB/s); measured with a bare
// loop on loopback, it levels off at this size.
constexpr DWORD kPieceSize = 1 << 20;
constexpr std::uint64_t kBytesPerProgressStep = 400000;
constexpr int kProgressCeiling = 100;

// Moves the progress one step for each multiple of kBytesPerProgressStep that the
// body goes past, that is, once the byte at that position has arrived. Bytes
// are counted, not reads: a read that takes the body past two multiples
// gives two steps, so a body of 1000000 bytes gives two steps however it is
// read, and one of 400000 bytes none. A step that cannot move the progress (it
// is full) leaves the sink alone: every repaint costs the window's thread a
// paint, and a large download would otherwise ask for thousands of them.
class ProgressStepper {
public:
    explicit ProgressStepper(IProgressSink* progress) : progress_(progress) {}

    void Received(std::uint64_t total) {
        if (progress_ == nullptr || total == 0) return;
        const std::uint64_t passed = (total - 1) / kBytesPerProgressStep;
        for (; steps_ < passed; ++steps_) {
            const int position = progress_->Position();
            // Where SetPosition would put it: raised to the minimum, then
            // lowered to the maximum.
            const int next =
                std::min(std::max(std::min(position + 1, kProgressCeiling), progress_->Minimum()),
                         progress_->Maximum());
            if (next != position) progress_->SetPosition(next);
        }
    }

private:
    IProgressSink* progress_;
    std::uint64_t steps_ = 0;
};

// Up to a whole piece, but never more than one byte past the limit: that
// byte is enough to tell an answer that is too large.
DWORD NextPieceSize(std::uint64_t received, std::uint64_t limit) {
    const std::uint64_t room = limit - received;
    return room < kPieceSize ? static_cast<DWORD>(room + 1) : kPieceSize;
}

void ReadBody(HINTERNET request, IProgressSink* progressWindow, std::uint64_t limit,
              IResponseSink& sink) {
    ProgressStepper stepper(progressWindow);
    // Without the sink's buffers, one of its own for the whole body, however
    // large: memory stays constant.
    std::unique_ptr<char[]> own;
    std::uint64_t received = 0;
    for (;;) {
        const DWORD wanted = NextPieceSize(received, limit);
        char* piece = sink.PieceBuffer(wanted);
        if (piece == nullptr) {
            if (!own) own = std::make_unique_for_overwrite<char[]>(kPieceSize);
            piece = own.get();
        }
        const DWORD read = ReadResponsePiece(request, piece, wanted);
        if (read == 0) break;
        received += read;
        if (received > limit) throw CMessageError(kResponseTooLarge);
        if (!sink.Write(piece, read)) {
            throw CInternetError(ERROR_INTERNET_OPERATION_CANCELLED);
        }
        stepper.Received(received);
    }
    // A connection that ends early reads like the end of the body; only the
    // declared length tells a cut-off answer from a whole one.
    const auto declared = QueryContentLength(request);
    if (declared && *declared != received) {
        throw CInternetError(ERROR_INTERNET_CONNECTION_ABORTED);
    }
}

// The small answers' sink: the whole body in memory.
class ResponseCollector final : public IResponseSink {
public:
    explicit ResponseCollector(ByteVector& response) : response_(response) {}

    bool Write(const char* bytes, std::size_t size) override {
        response_.insert(response_.end(), bytes, bytes + size);
        return true;
    }

private:
    ByteVector& response_;
};

}  // namespace

void HttpClient::Post(std::string url, IProgressSink* progressWindow, ByteVector body) {
    ResponseCollector collector(response);
    Post(std::move(url), progressWindow, std::move(body), collector);
}

void HttpClient::Post(std::string url, IProgressSink* progressWindow, ByteVector body,
                      IResponseSink& sink) {
    Send(url, "POST", {}, body, progressWindow, [&sink](const AnswerHead& head) {
        return head.status == HTTP_STATUS_OK ? &sink : nullptr;
    });
}

void HttpClient::Get(std::string url, IProgressSink* progressWindow, std::uint64_t rangeStart,
                     const BodySinkChooser& choose) {
    const std::string range =
        rangeStart > 0 ? "Range: bytes=" + std::to_string(rangeStart) + "-\r\n" : std::string();
    Send(url, "GET", range, {}, progressWindow, choose);
}

void HttpClient::Send(const std::string& url, const char* verb, const std::string& headers,
                      const ByteVector& body, IProgressSink* progressWindow,
                      const BodySinkChooser& choose) {
    response.clear();
    responseHeader.reset();
    lastStatus = 0;
    try {
        Exchange(url, verb, headers, body, progressWindow, choose);
    } catch (const CMessageError&) {
        throw;
    } catch (...) {
        throw CMessageError(kHttpUnknownError);
    }
}

void HttpClient::Exchange(const std::string& url, const char* verb, const std::string& headers,
                          const ByteVector& body, IProgressSink* progressWindow,
                          const BodySinkChooser& choose) {
    // Declared in this order, the handles close request first, session last.
    InternetHandle session = OpenInternetSession(useProxy ? ProxyAddress() : std::string());
    const auto server = CrackServerUrl(url);
    if (!server) throw CMessageError(kServerUrlUnparsable);
    InternetHandle connection = ConnectHttp(session.Get(), *server, 0);
    const DWORD flags = std::string_view(verb) == "GET" ? kGetFlags : kPostFlags;
    InternetHandle request =
        OpenHttpRequest(connection.Get(), verb, *server, flags, kRequestContext);
    if (useProxy)
        SetProxyCredentials(request.Get(), proxySettings.userName, proxySettings.password);

    SendHttpRequest(request.Get(), kRequestHeaders + extraHeaders + headers, body);
    CUnreadAnswerGuard unread(session, connection, request);
    const auto status = QueryStatusCode(request.Get());
    if (!status) throw CMessageError(kServerStatusUnreadable);
    lastStatus = static_cast<int>(*status);
    const AnswerHead head{lastStatus, QueryResponseHeader(request.Get(), kContentRange),
                          QueryContentLength(request.Get())};
    IResponseSink* sink = choose(head);
    if (sink == nullptr) throw CMessageError(kServerInternalError);
    ReadBody(request.Get(), progressWindow, responseLimit, *sink);
    unread.BodyRead();
    if (!keptHeaderName.empty())
        responseHeader = QueryResponseHeader(request.Get(), keptHeaderName);
}

std::string HttpClient::ProxyAddress() const {
    const std::string address = proxySettings.host + ":" + proxySettings.port;
    if (address.size() > kProxyAddressRoom ||
        proxySettings.userName.size() > kProxyCredentialRoom ||
        proxySettings.password.size() > kProxyCredentialRoom) {
        throw CInternetError(ERROR_INTERNET_BAD_OPTION_LENGTH);
    }
    return address;
}
