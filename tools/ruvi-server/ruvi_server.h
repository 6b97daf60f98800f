#pragma once

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>

#include "http_listener.h"
#include "installation_plan.h"
#include "net/byte_vector.h"
#include "p256_keys.h"
#include "report_log.h"
#include "server_options.h"
#include "startup/xml_document.h"

// The server side of the installer's protocol for one installation plan:
//   POST BASE "ruvinstall"            the sealed answer document, signed
//                                     with --signing-key (answer_signature.h)
//   POST BASE "files/NAME"            NAME's bytes from the requested offset
//   POST BASE "/RUVS?method=report"   a report, appended to reports.log
//   GET  BASE                         200, for the installer's proxy test
// Anything else is 404; a download request that does not read is 400.
class CRuviServer {
public:
    // Loads and checks the plan, then binds the listener (clients may
    // connect at once; they are served from Run on). Throws CStartupError.
    explicit CRuviServer(const ServerOptions& options);
    CRuviServer(const CRuviServer&) = delete;
    CRuviServer& operator=(const CRuviServer&) = delete;

    int Port() const { return port_; }
    // "http://HOST:PORT" (or https) + base path: what an installer is
    // configured with.
    const std::string& BaseUrl() const { return baseUrl_; }
    // The signing key's public part; empty when answers go unsigned.
    ByteVector SigningKeyPoint() const;

    // Serves until Stop. false when the listener failed. The caller stops
    // and leaves Run before destroying the server.
    bool Run();
    // From any thread, before or during Run.
    void Stop();

private:
    void ConfigureHttp();
    int Bind();
    void HandlePost(const httplib::Request& request, httplib::Response& response);
    void HandleGet(const httplib::Request& request, httplib::Response& response);
    void AnswerInstall(const httplib::Request& request, httplib::Response& response) const;
    void AnswerDownload(const httplib::Request& request, httplib::Response& response,
                        const std::filesystem::path& relativePath);
    bool IsReportRequest(const httplib::Request& request) const;
    httplib::TaskQueue* StartWorkers();

    CXmlRuntime xmlRuntime_;  // first in, last out: everything below parses
    const ServerOptions options_;
    const CInstallationPlan plan_;
    const ByteVector sealedAnswer_;
    const std::unique_ptr<CP256Signer> signer_;  // null: unsigned
    CReportLog reportLog_;
    const std::unique_ptr<CHttpListener> listener_;
    httplib::Server& http_;
    int port_ = 0;
    std::string baseUrl_;

    std::mutex stopMutex_;
    bool stopRequested_ = false;
    bool listening_ = false;
};
