#pragma once

#include <memory>
#include <string>

#include "child_process.h"
#include "service.h"
#include "service_files.h"

struct SquidOptions {
    // The one account the proxy accepts (Basic authentication); requests
    // without it, or with a wrong password, get 407.
    std::string user;
    std::string password;
    // When not 0, every request goes to the server at 127.0.0.1:originPort,
    // whatever host and port its URL names; so a URL without a port (http
    // default) can still reach a test server.
    int originPort = 0;
};

// A squid proxy on a free loopback port, logging every request it handled.
class SquidService : public Service {
public:
    // Returns once the proxy accepts connections; throws std::runtime_error
    // (with squid's own log) when it does not start.
    explicit SquidService(const SquidOptions& options);

    // port, accessLog (as Windows programs see it), accessLogUnix.
    std::string Facts() const override;

private:
    bool TryStart(const SquidOptions& options);

    TempFolder folder_;
    int port_ = 0;
    std::unique_ptr<ChildProcess> process_;
};
