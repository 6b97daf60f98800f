#include "client_address.h"

#include <arpa/inet.h>
#include <httplib.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr char kForwardedFor[] = "X-Forwarded-For";

// The last comma-separated entry, without the white space around it.
std::string_view LastEntry(std::string_view list) {
    const auto comma = list.rfind(',');
    std::string_view entry = comma == std::string_view::npos ? list : list.substr(comma + 1);
    const auto first = entry.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return entry.substr(first, entry.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::optional<IpAddress> ParseIpAddress(std::string_view text) {
    const std::string terminated(text);
    IpAddress address{};
    in_addr v4{};
    if (::inet_pton(AF_INET, terminated.c_str(), &v4) == 1) {
        address[10] = address[11] = 0xff;
        std::memcpy(address.data() + 12, &v4, sizeof v4);
        return address;
    }
    if (::inet_pton(AF_INET6, terminated.c_str(), address.data()) == 1) return address;
    return std::nullopt;
}

CTrustedProxies::CTrustedProxies(const std::vector<std::string>& addresses) {
    for (const std::string& text : addresses) {
        if (const auto address = ParseIpAddress(text)) proxies_.push_back(*address);
    }
}

// A trusted proxy that sends no usable address (none, or a last entry that
// is no address) stands for itself.
CClientAddress CTrustedProxies::ClientOf(const std::string& peer,
                                         const httplib::Request& request) const {
    const CClientAddress direct{peer, {}};
    const auto address = ParseIpAddress(peer);
    if (!address || std::find(proxies_.begin(), proxies_.end(), *address) == proxies_.end()) {
        return direct;
    }
    const std::size_t lines = request.get_header_value_count(kForwardedFor);
    if (lines == 0) return direct;
    const std::string header = request.get_header_value(kForwardedFor, lines - 1);
    const std::string_view last = LastEntry(header);
    if (!ParseIpAddress(last)) return direct;
    return {std::string(last), peer};
}
