#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>

#include "access_log.h"
#include "client_address.h"
#include "core/byte_vector.h"
#include "core/xml_document.h"
#include "http_listener.h"
#include "installation_plan.h"
#include "p256_keys.h"
#include "rate_limiter.h"
#include "report_log.h"
#include "server_metrics.h"
#include "server_options.h"

// The server side of the installer's protocol for one installation plan:
//   POST BASE "ruvinstall"            the sealed answer document, signed
//                                     with --signing-key (signing_key.h)
//   POST BASE "files/NAME"            NAME's bytes from the requested offset
//   POST BASE "/RUVS?method=report"   a report, appended to reports.log
//   GET  BASE "files/NAME"            NAME as a mirror serves it: whole, or
//                                     one Range (206, 416 past the end);
//                                     HEAD too (byte_range.h)
//   GET  BASE                         200, for the installer's proxy test
//   GET  /healthz                     200 "ok": the plan is loaded and served
//   GET  /metrics                     the counters (server_metrics.h)
// Anything else is 404; a download request that does not read is 400. NAME
// is the path a plan's download URL "files/NAME" names, under PLAN_DIR/files
// and nowhere else (download_path.h). Every answered request gets a line in
// the access log (access_log.h).
//
// What a client may cost is bounded before any of this: a body that is not
// taken is refused unread (body_admission.h), a request has to arrive within
// its deadline (connection_limits.h), a report may hold 4 KiB, and one
// client (client_address.h) may send 10 reports a minute.
//
// Between requests the server keeps nothing but its counters and the report
// log, which it only appends to: the plan is read once, downloads say where
// to resume, so any number of instances can serve one plan folder and a
// client may reach a different one with each request.
class CRuviServer {
public:
    // Loads and checks the plan, then binds the listener (clients may
    // connect at once; they are served from Run on). The access log goes to
    // accessLog. Throws CStartupError.
    explicit CRuviServer(const ServerOptions& options, std::FILE* accessLog = stdout);
    CRuviServer(const CRuviServer&) = delete;
    CRuviServer& operator=(const CRuviServer&) = delete;

    int Port() const { return port_; }
    // "http://HOST:PORT" (or https) + base path: what an installer is
    // configured with.
    const std::string& BaseUrl() const { return baseUrl_; }
    // The signing key's public part; empty when answers go unsigned.
    ByteVector SigningKeyPoint() const;
    // The counters as GET /metrics answers them.
    std::string MetricsExposition() const { return metrics_.Exposition(); }

    // Serves until Stop. false when the listener failed. The caller stops
    // and leaves Run before destroying the server.
    bool Run();
    // From any thread, before or during Run.
    void Stop();

private:
    void ConfigureHttp();
    int Bind();
    int Refusal(const httplib::Request& request, bool countReport);
    void HandlePost(const httplib::Request& request, httplib::Response& response);
    void HandleGet(const httplib::Request& request, httplib::Response& response);
    void AnswerInstall(const httplib::Request& request, httplib::Response& response);
    void AnswerDownload(const httplib::Request& request, httplib::Response& response,
                        const std::filesystem::path& relativePath);
    void AnswerMirror(const httplib::Request& request, httplib::Response& response,
                      const std::filesystem::path& relativePath);
    void LogAnswered(const httplib::Request& request, const httplib::Response& response);
    bool IsReportRequest(const httplib::Request& request) const;
    httplib::TaskQueue* StartWorkers();

    CXmlRuntime xmlRuntime_;  // first in, last out: everything below parses
    const ServerOptions options_;
    const CInstallationPlan plan_;
    const ByteVector sealedAnswer_;
    const std::unique_ptr<CP256Signer> signer_;  // null: unsigned
    const CTrustedProxies trustedProxies_;
    CReportLog reportLog_;
    CRateLimiter reportLimiter_;
    CAccessLog accessLog_;
    CServerMetrics metrics_;
    const std::unique_ptr<CHttpListener> listener_;
    httplib::Server& http_;
    int port_ = 0;
    std::string baseUrl_;

    std::mutex stopMutex_;
    bool stopRequested_ = false;
    bool listening_ = false;
};
