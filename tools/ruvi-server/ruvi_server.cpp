#include "ruvi_server.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <utility>

#include "answer_sealer.h"
#include "answer_signing.h"
#include "body_admission.h"
#include "bounded_thread_pool.h"
#include "byte_range.h"
#include "declared_downloads.h"
#include "download_path.h"
#include "download_request.h"
#include "log_text.h"
#include "plan_error.h"
#include "request_note.h"
#include "served_file.h"
#include "signing_key.h"
#include "startup_error.h"

namespace {

constexpr std::size_t kWorkerThreads = 32;
constexpr std::size_t kWaitingConnections = 256;
// Requests are a sealed one-line document or a short report.
constexpr std::size_t kMaxRequestBody = 64 * 1024;
// An installer's report is one line: a sentence and the system's name.
constexpr std::size_t kMaxReport = 4 * 1024;
constexpr std::size_t kReportsPerClient = 10;
constexpr auto kReportWindow = std::chrono::minutes(1);
constexpr char kSealedContentType[] = "application/octet-stream";

constexpr char kHealthPath[] = "/healthz";
constexpr char kHealthy[] = "ok";
constexpr char kMetricsPath[] = "/metrics";

// Plain SO_REUSEADDR: the library's default adds SO_REUSEPORT, which would
// let a second server share a fixed port silently.
void ReuseAddressOnly(socket_t sock) {
    const int yes = 1;
    ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}

// An answer given without reading the body: the connection ends after it,
// as what the client sends next is that body, not a request.
void RefuseUnread(httplib::Response& response, int status) {
    response.status = status;
    response.set_header("Connection", "close");
    CRequestNote::Current().bodyLeftUnread = true;
}

// With port 0 no plan can have named the port yet, so no absolute URL can
// address this server: the address as requested is the one to check against.
CInstallationPlan LoadCheckedPlan(const ServerOptions& options) {
    try {
        CInstallationPlan plan = LoadInstallationPlan(options.planDirectory);
        const CServerOrigin origin{options.Tls(),
                                   options.host + ':' + std::to_string(options.port)};
        CFileFactsCache files;
        CheckDeclaredDownloads(
            plan, LocalDownloads(plan, options.planDirectory, options.basePath, &origin), files);
        return plan;
    } catch (const CPlanError& error) {
        throw CStartupError(error.what());
    }
}

ByteVector SealedAnswerOf(const CInstallationPlan& plan, const ServerOptions& options) {
    try {
        return SealAnswer(plan.document, options.sealing, options.desKey);
    } catch (const CPlanError& error) {
        throw CStartupError(error.what());
    }
}

}  // namespace

CRuviServer::CRuviServer(const ServerOptions& options, std::FILE* accessLog)
    : options_(options),
      plan_(LoadCheckedPlan(options)),
      sealedAnswer_(SealedAnswerOf(plan_, options)),
      signer_(options.signingKey.empty() ? nullptr : LoadSigningKey(options.signingKey)),
      trustedProxies_(options.trustedProxies),
      reportLog_(options.ReportDirectory() / "reports.log"),
      reportLimiter_(kReportsPerClient, kReportWindow),
      accessLog_(accessLog),
      listener_(MakeHttpListener(options)),
      http_(listener_->Http()) {
    ConfigureHttp();
    port_ = Bind();
    baseUrl_ = (options_.Tls() ? "https://" : "http://") + options_.host + ':' +
               std::to_string(port_) + options_.basePath;
}

ByteVector CRuviServer::SigningKeyPoint() const {
    return signer_ ? signer_->PublicPoint() : ByteVector();
}

void CRuviServer::ConfigureHttp() {
    http_.set_socket_options(ReuseAddressOnly);
    // Headers and body leave in separate writes; with Nagle's algorithm the
    // body would wait for the client's delayed acknowledgement (~40 ms).
    http_.set_tcp_nodelay(true);
    http_.set_payload_max_length(kMaxRequestBody);
    // Only told to clients (the Keep-Alive header): the connections keep
    // their limits themselves (client_connection.h).
    http_.set_keep_alive_timeout(
        std::chrono::duration_cast<std::chrono::seconds>(options_.limits.keepAlive).count());
    http_.set_keep_alive_max_count(options_.limits.requestsPerConnection);
    http_.new_task_queue = [this] { return StartWorkers(); };
    // A client that asks before it sends its body hears the refusal first.
    http_.set_expect_100_continue_handler(
        [this](const httplib::Request& request, httplib::Response& response) {
            const int status = Refusal(request, false);
            if (status == 0) return 100;
            RefuseUnread(response, status);
            return status;
        });
    http_.set_pre_routing_handler(
        [this](const httplib::Request& request, httplib::Response& response) {
            const int status = Refusal(request, true);
            if (status == 0) return httplib::Server::HandlerResponse::Unhandled;
            RefuseUnread(response, status);
            return httplib::Server::HandlerResponse::Handled;
        });
    http_.set_logger([this](const httplib::Request& request, const httplib::Response& response) {
        LogAnswered(request, response);
    });
    http_.set_exception_handler(
        [](const httplib::Request& request, httplib::Response& response, std::exception_ptr) {
            std::fprintf(stderr, "request %s failed inside the server\n",
                         EscapeLogText(request.target).c_str());
            response.status = 500;
        });
    http_.Post(".*", [this](const httplib::Request& request, httplib::Response& response) {
        HandlePost(request, response);
    });
    http_.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        HandleGet(request, response);
    });
}

// Judged on the head alone, before any of the body is read. A report is
// counted once it may come in (countReport), whether or not it then does.
int CRuviServer::Refusal(const httplib::Request& request, bool countReport) {
    const bool report = IsReportRequest(request);
    if (const int status = BodyRefusal(request, report ? kMaxReport : kMaxRequestBody)) {
        return status;
    }
    if (report && countReport &&
        !reportLimiter_.Admit(trustedProxies_.ClientOf(request.remote_addr, request).client,
                              std::chrono::steady_clock::now())) {
        return 429;
    }
    return 0;
}

int CRuviServer::Bind() {
    const int port = listener_->Bind(options_.host, options_.port);
    if (port < 0) {
        throw CStartupError("cannot listen on " + options_.host + ':' +
                            std::to_string(options_.port) + ": " + std::strerror(errno));
    }
    return port;
}

// The HTTP layer marks itself running before it asks for its workers, so
// from here on its stop() takes effect; a Stop that came earlier is honoured
// now.
httplib::TaskQueue* CRuviServer::StartWorkers() {
    std::lock_guard lock(stopMutex_);
    listening_ = true;
    if (stopRequested_) http_.stop();
    // The HTTP layer adopts the pool.
    return std::make_unique<CBoundedThreadPool>(kWorkerThreads, kWaitingConnections).release();
}

bool CRuviServer::Run() {
    {
        std::lock_guard lock(stopMutex_);
        if (stopRequested_) return true;
    }
    return listener_->Serve();
}

void CRuviServer::Stop() {
    std::lock_guard lock(stopMutex_);
    stopRequested_ = true;
    if (listening_) http_.stop();
}

void CRuviServer::HandlePost(const httplib::Request& request, httplib::Response& response) {
    if (request.path == options_.basePath + "ruvinstall") {
        AnswerInstall(request, response);
    } else if (IsReportRequest(request)) {
        const bool stored = reportLog_.Append(
            trustedProxies_.ClientOf(request.remote_addr, request).client, request.body);
        if (stored) metrics_.ReportReceived();
        response.status = stored ? 200 : 500;
    } else if (const auto relativePath = MapDownloadPath(options_.basePath, request.path)) {
        AnswerDownload(request, response, *relativePath);
    } else {
        response.status = 404;
    }
}

void CRuviServer::AnswerInstall(const httplib::Request& request, httplib::Response& response) {
    const std::size_t nonces = request.get_header_value_count(kNonceHeader);
    const std::string nonce = request.get_header_value(kNonceHeader);
    if (nonces > 1 || (nonces == 1 && !IsAnswerNonce(nonce))) {
        response.status = 400;
        return;
    }
    metrics_.AnswerServed();
    response.set_content(sealedAnswer_.data(), sealedAnswer_.size(), kSealedContentType);
    if (!signer_ || nonces == 0) return;
    response.set_header(kSignatureHeader, AnswerSignature(*signer_, nonce, sealedAnswer_));
}

// The installer appends "/RUVS?method=report" to its server URL, which
// normally ends with "/": the doubled slash is the usual form. The single
// one is taken as well, for a server URL configured without the slash.
bool CRuviServer::IsReportRequest(const httplib::Request& request) const {
    const std::string& base = options_.basePath;
    const bool reportPath =
        request.path == base + "/RUVS" || request.path == base.substr(0, base.size() - 1) + "/RUVS";
    return reportPath && request.get_param_value("method") == "report";
}

void CRuviServer::AnswerDownload(const httplib::Request& request, httplib::Response& response,
                                 const std::filesystem::path& relativePath) {
    auto file = OpenServedFile(options_.planDirectory / "files" / relativePath);
    if (!file) {
        response.status = 404;
        return;
    }
    const auto offset = ReadDownloadOffset(request.body);
    if (!offset) {
        response.status = 400;
        return;
    }
    CRequestNote& note = CRequestNote::Current();
    note.downloadOffset = *offset;
    metrics_.DownloadStarted();
    if (*offset >= file->size) metrics_.DownloadCompleted();  // nothing left to send
    note.streamedBytes = 0;
    StreamFileFrom(response, std::move(*file), *offset, [this](std::size_t bytes, bool last) {
        *CRequestNote::Current().streamedBytes += bytes;
        if (last) metrics_.DownloadCompleted();
    });
}

// Served as any static server serves a file, so that a plan may name this
// server as one of a download's mirrors.
void CRuviServer::AnswerMirror(const httplib::Request& request, httplib::Response& response,
                               const std::filesystem::path& relativePath) {
    auto file = OpenServedFile(options_.planDirectory / "files" / relativePath);
    if (!file) {
        response.status = 404;
        return;
    }
    CRequestNote& note = CRequestNote::Current();
    const CRangeAnswer range =
        note.head ? AnswerRange(note.head->Range(), note.head->IfRangeSent(), file->size)
                  : CRangeAnswer{};
    const std::string size = std::to_string(file->size);
    response.set_header("Accept-Ranges", "bytes");
    if (range.kind == CRangeAnswer::Kind::Unsatisfiable) {
        response.status = 416;
        response.set_header("Content-Range", "bytes */" + size);
        return;
    }
    const bool part = range.kind == CRangeAnswer::Kind::Part;
    const std::uint64_t first = part ? range.first : 0;
    const std::uint64_t length = part ? range.last - range.first + 1 : file->size;
    response.status = part ? 206 : 200;
    if (part) {
        response.set_header("Content-Range", "bytes " + std::to_string(range.first) + '-' +
                                                 std::to_string(range.last) + '/' + size);
    }
    note.downloadOffset = first;
    note.streamedBytes = 0;
    if (request.method == "GET" && length > 0) metrics_.MirrorDownloadStarted();
    StreamFilePart(response, std::move(*file), first, length, [this](std::size_t bytes, bool last) {
        *CRequestNote::Current().streamedBytes += bytes;
        if (last) metrics_.MirrorDownloadCompleted();
    });
}

void CRuviServer::LogAnswered(const httplib::Request& request, const httplib::Response& response) {
    const CRequestNote& note = CRequestNote::Current();
    const CClientAddress address = trustedProxies_.ClientOf(note.peer, request);
    CAccessEntry entry;
    entry.client = address.client;
    entry.proxy = address.proxy;
    entry.method = request.method;
    entry.path = request.target;
    entry.status = response.status;
    entry.bytes = note.streamedBytes.value_or(response.body.size());
    if (note.start) {
        entry.milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - *note.start)
                                 .count();
    }
    entry.offset = note.downloadOffset;
    metrics_.RequestAnswered(entry.status, entry.bytes);
    accessLog_.Write(entry);
}

// The plan was loaded before the listener was bound, so a server that
// answers at all is healthy.
void CRuviServer::HandleGet(const httplib::Request& request, httplib::Response& response) {
    if (const auto relativePath = MapDownloadPath(options_.basePath, request.path)) {
        AnswerMirror(request, response, *relativePath);
    } else if (request.path == options_.basePath) {
        response.set_content("ruvi-server\n", "text/plain");
    } else if (request.path == kHealthPath) {
        response.set_content(kHealthy, "text/plain");
    } else if (request.path == kMetricsPath) {
        response.set_content(metrics_.Exposition(), kMetricsContentType);
    } else {
        response.status = 404;
    }
}
