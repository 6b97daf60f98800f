#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace httplib {
struct Request;
}

// An IPv4 or IPv6 address as 16 bytes (IPv4 mapped into IPv6), so that
// 127.0.0.1 and ::ffff:127.0.0.1 are one address.
using IpAddress = std::array<unsigned char, 16>;
std::optional<IpAddress> ParseIpAddress(std::string_view text);

// Who sent a request. Behind a proxy the peer is the proxy; only a peer the
// operator named as a trusted proxy is believed about the client behind it:
// the client is then the last address in X-Forwarded-For, the one that
// proxy added (nginx appends the address it saw). Anyone else can send the
// header, so from anyone else it counts for nothing.
struct CClientAddress {
    std::string client;
    std::string proxy;  // the trusted proxy it came through; empty when direct
};

class CTrustedProxies {
public:
    // Addresses as --trusted-proxy takes them; ones that do not parse are
    // left out (the command line refused them already).
    explicit CTrustedProxies(const std::vector<std::string>& addresses);

    // peer: the request's remote address (which the HTTP layer leaves empty
    // in a request whose head did not read).
    CClientAddress ClientOf(const std::string& peer, const httplib::Request& request) const;

private:
    std::vector<IpAddress> proxies_;
};
