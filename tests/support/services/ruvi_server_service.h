#pragma once

#include <memory>
#include <string>

#include "child_process.h"
#include "service.h"
#include "service_files.h"

struct RuviServerOptions {
    std::string program;  // the host build's ruvi-server
    std::string planFolder;
    std::string base = "/RUVServer/";
    std::string mode = "secure";  // or "des"
    std::string desKey;
    std::string signingKey;  // PEM path; "" for unsigned answers
    std::string tlsCert;     // PEM paths; both "" for plain HTTP
    std::string tlsKey;
};

// A ruvi-server serving one plan folder on a port of its own choosing.
class RuviServerService : public Service {
public:
    // Returns once the server has announced its address; throws
    // std::runtime_error (with the server's own output) when it does not.
    explicit RuviServerService(const RuviServerOptions& options);

    // url: the server base URL, ending in the base path; over HTTPS it names
    // the host "localhost", which the test certificates are made for.
    // accessLog (Z:\ path) and accessLogUnix: the server's standard output,
    // its access log.
    std::string Facts() const override;
    // SIGKILL: a download under way is cut off, as when the machine fails.
    void Kill() override;

private:
    std::string AccessLogPath() const;

    TempFolder folder_;
    std::unique_ptr<ChildProcess> process_;
    std::string url_;
};
