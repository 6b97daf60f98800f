#pragma once

#include <cstdint>
#include <string>

class CInstallerConfig;
class CInstallerContext;
struct ExchangeAttempt;

// The install log's lines of the initial exchange.

// The configuration read: server, answer mode, and whether a key is
// trusted (never the key itself, nor the DES key); without a trust key, a
// warning that says what that means.
void LogConfiguration(const CInstallerConfig& config);

// The attempt that has just ended: its URL, the answer's HTTP status and
// size, its signature verdict, the proxy it went through (host and port
// only) and its failure text, if any; from an offline layout, its folder
// instead of URL, status and proxy.
void LogExchangeAttempt(const CInstallerContext& context, const ExchangeAttempt& attempt,
                        const std::string& failure, std::int64_t milliseconds);
