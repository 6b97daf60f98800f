#include "exchange/exchange_log.h"

#include "exchange/exchange_attempt.h"
#include "exchange/installer_context.h"
#include "platform/install_log.h"

namespace {

// What an operator reading the log must know about a run outside trusted
// mode; the same warning ruvi-seal gives before it writes such a
// configuration.
constexpr char kUntrustedWarning[] =
    "the configuration has no trust key: any answer is taken, so whoever can answer in the "
    "server's place (on the network, or through a proxy) runs programs as administrator";

const char* ModeName(CommEncryptMode mode) {
    return mode == CommEncryptMode::Des ? "des" : "secure";
}

const char* VerdictName(SignatureVerdict verdict) {
    switch (verdict) {
        case SignatureVerdict::Valid:
            return "valid";
        case SignatureVerdict::Invalid:
            return "invalid";
        case SignatureVerdict::Unsigned:
            break;
    }
    return "unsigned";
}

// The proxy the request went through: the one the user chose in the proxy
// dialog, or else the browser's, which the system applies by itself. The
// user name and password are left out.
void AddProxy(const CInstallerContext& context, LogFields& fields) {
    const auto& client = context.httpClient;
    const ProxySettings* settings = nullptr;
    const char* source = "none";
    if (client.useProxy) {
        source = "dialog";
        settings = &client.proxySettings;
    } else if (context.browserProxyEnabled) {
        source = "browser";
        settings = &context.proxySettings;
    }
    fields.emplace_back("proxy", source);
    if (settings == nullptr) return;
    fields.emplace_back("proxy-host", settings->host);
    fields.emplace_back("proxy-port", settings->port);
}

}  // namespace

void LogConfiguration(const CInstallerConfig& config) {
    install_log::Write("configuration", {{"server", config.serverUrl},
                                         {"mode", ModeName(config.encryptionMode)},
                                         {"trusted", config.Trusted()}});
    if (!config.Trusted()) install_log::Write("warning", {{"message", kUntrustedWarning}});
}

void LogExchangeAttempt(const CInstallerContext& context, const ExchangeAttempt& attempt,
                        const std::string& failure, std::int64_t milliseconds) {
    LogFields fields;
    if (attempt.layout.empty()) {
        fields = {{"url", attempt.url},
                  {"status", context.httpClient.lastStatus},
                  {"bytes", context.httpClient.response.size()},
                  {"milliseconds", milliseconds},
                  {"signature", VerdictName(attempt.signature)}};
        AddProxy(context, fields);
    } else {
        fields = {{"layout", attempt.layout},
                  {"bytes", attempt.layoutAnswerBytes},
                  {"milliseconds", milliseconds},
                  {"signature", VerdictName(attempt.signature)}};
    }
    if (!failure.empty()) fields.emplace_back("failure", failure);
    install_log::Write("exchange", fields);
}
