#include "server_options.h"

#include <charconv>
#include <string_view>

#include "client_address.h"
#include "startup_error.h"

const char kServerUsage[] =
    "usage: ruvi-server PLAN_DIR [--listen HOST:PORT] [--base PATH]\n"
    "                   [--mode secure|des --des-key KEY] [--signing-key KEY.pem]\n"
    "                   [--tls-cert CERT.pem --tls-key KEY.pem] [--report-dir DIR]\n"
    "                   [--trusted-proxy ADDR]...\n"
    "  PLAN_DIR         folder holding plan.xml (the answer document) and files/\n"
    "  --listen         address to listen on (default 127.0.0.1:0; port 0: any free)\n"
    "  --base           path of the server URL (default /RUVServer/)\n"
    "  --mode           sealing of the answer document (default secure)\n"
    "  --des-key        the 8-character DES key of --mode des\n"
    "  --signing-key    P-256 private key (ruvi-seal keygen): every answer to\n"
    "                   ruvinstall carries X-Ruvi-Signature over the request's\n"
    "                   X-Ruvi-Nonce, a line feed and the answer's bytes\n"
    "  --tls-cert       serve HTTPS with this certificate chain (PEM) ...\n"
    "  --tls-key        ... and its private key (PEM)\n"
    "  --report-dir     folder of reports.log (default PLAN_DIR)\n"
    "  --trusted-proxy  the address of a proxy in front (nginx): for requests from\n"
    "                   it the client is the last address in X-Forwarded-For; once\n"
    "                   per proxy\n"
    "plan.xml is read and checked once, at start-up. A download URL files/NAME in\n"
    "the plan (relative to the server URL) serves PLAN_DIR/files/NAME, to the\n"
    "installers' POSTs and, as a mirror, to GET and HEAD (with Range); a Size or\n"
    "Sha256 the plan declares must match the file (ruvi-seal hash-plan writes\n"
    "them). Reports (at most 4 KiB; 10 a minute from one client) are appended to\n"
    "reports.log (rotated at 64 MiB to reports.log.1; instances may share it).\n"
    "A request must arrive within 10 s; a body within 64 KiB, with Content-Length.\n"
    "The first line on standard output is \"listening on URL\"; one JSON line per\n"
    "answered request follows. GET /healthz answers \"ok\", GET /metrics the\n"
    "counters in Prometheus' text format. SIGINT or SIGTERM stops it after the\n"
    "requests under way; a second one at once.\n";

namespace {

constexpr std::size_t kDesKeyLength = 8;

int ParsePort(std::string_view text) {
    int port = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || port < 0 ||
        port > 65535) {
        throw CUsageError("--listen: the port must be a number from 0 to 65535");
    }
    return port;
}

void ParseListen(std::string_view text, ServerOptions& options) {
    const auto colon = text.rfind(':');
    if (colon == std::string_view::npos || colon == 0) {
        throw CUsageError("--listen expects HOST:PORT");
    }
    options.host = std::string(text.substr(0, colon));
    options.port = ParsePort(text.substr(colon + 1));
}

// Request paths under the base are matched by plain prefix, so the base
// always starts and ends with a slash.
std::string NormaliseBase(std::string base) {
    if (base.find_first_of("?# ") != std::string::npos) {
        throw CUsageError("--base must be a plain URL path");
    }
    if (base.empty() || base.front() != '/') base.insert(base.begin(), '/');
    if (base.back() != '/') base.push_back('/');
    return base;
}

std::string ParseProxyAddress(std::string_view text) {
    if (!ParseIpAddress(text)) {
        throw CUsageError("--trusted-proxy expects an IPv4 or IPv6 address, not " +
                          std::string(text));
    }
    return std::string(text);
}

AnswerSealing ParseMode(std::string_view text) {
    if (text == "secure") return AnswerSealing::Secure;
    if (text == "des") return AnswerSealing::Des;
    throw CUsageError("--mode must be secure or des");
}

void CheckConsistency(const ServerOptions& options, bool keyGiven) {
    if (options.planDirectory.empty()) throw CUsageError("PLAN_DIR is missing");
    if (options.tlsCertificate.empty() != options.tlsKey.empty()) {
        throw CUsageError("--tls-cert and --tls-key go together");
    }
    if (options.sealing == AnswerSealing::Des) {
        if (!keyGiven) throw CUsageError("--mode des needs --des-key");
        if (options.desKey.size() != kDesKeyLength) {
            throw CUsageError("--des-key must be exactly 8 characters");
        }
    } else if (keyGiven) {
        throw CUsageError("--des-key applies only to --mode des");
    }
}

}  // namespace

ServerOptions ParseServerOptions(int argc, const char* const argv[]) {
    ServerOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            options.helpAsked = true;
            return options;
        }
    }
    bool keyGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const bool takesValue =
            argument == "--listen" || argument == "--base" || argument == "--mode" ||
            argument == "--des-key" || argument == "--signing-key" || argument == "--tls-cert" ||
            argument == "--tls-key" || argument == "--report-dir" || argument == "--trusted-proxy";
        if (takesValue && i + 1 >= argc) {
            throw CUsageError(std::string(argument) + " needs a value");
        }
        if (argument == "--listen") {
            ParseListen(argv[++i], options);
        } else if (argument == "--base") {
            options.basePath = NormaliseBase(argv[++i]);
        } else if (argument == "--mode") {
            options.sealing = ParseMode(argv[++i]);
        } else if (argument == "--des-key") {
            options.desKey = argv[++i];
            keyGiven = true;
        } else if (argument == "--signing-key") {
            options.signingKey = argv[++i];
        } else if (argument == "--tls-cert") {
            options.tlsCertificate = argv[++i];
        } else if (argument == "--tls-key") {
            options.tlsKey = argv[++i];
        } else if (argument == "--report-dir") {
            options.reportDirectory = argv[++i];
        } else if (argument == "--trusted-proxy") {
            options.trustedProxies.push_back(ParseProxyAddress(argv[++i]));
        } else if (argument.starts_with("-")) {
            throw CUsageError("unknown option " + std::string(argument));
        } else if (options.planDirectory.empty()) {
            options.planDirectory = std::string(argument);
        } else {
            throw CUsageError("only one PLAN_DIR may be given");
        }
    }
    CheckConsistency(options, keyGiven);
    return options;
}
