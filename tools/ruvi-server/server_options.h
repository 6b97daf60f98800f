#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "answer_sealer.h"
#include "connection_limits.h"
#include "download_path.h"

struct ServerOptions {
    bool helpAsked = false;  // then nothing else is read
    std::filesystem::path planDirectory;
    std::string host = "127.0.0.1";
    int port = 0;  // 0: the system picks a free port
    std::string basePath = kDefaultBasePath;
    AnswerSealing sealing = AnswerSealing::Secure;
    std::string desKey;
    std::filesystem::path signingKey;      // PEM; empty: answers go unsigned
    std::filesystem::path tlsCertificate;  // PEM chain; with tlsKey, HTTPS
    std::filesystem::path tlsKey;
    std::filesystem::path reportDirectory;    // empty: the plan folder
    std::vector<std::string> trustedProxies;  // IPv4 or IPv6 addresses
    CConnectionLimits limits;                 // not on the command line

    bool Tls() const { return !tlsCertificate.empty(); }
    std::filesystem::path ReportDirectory() const {
        return reportDirectory.empty() ? planDirectory : reportDirectory;
    }
};

extern const char kServerUsage[];

// Reads the command line kServerUsage describes. Throws CUsageError naming
// the first problem.
ServerOptions ParseServerOptions(int argc, const char* const argv[]);
