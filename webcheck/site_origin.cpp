#include "site_origin.h"

#include <algorithm>

namespace {

struct WebScheme {
    std::wstring_view name;
    unsigned defaultPort;
};
constexpr WebScheme kWebSchemes[] = {{L"http", 80}, {L"https", 443}};
constexpr std::wstring_view kSchemeEnd = L"://";
constexpr size_t kMaxPortDigits = 5;
constexpr unsigned kMaxPort = 65535;

// ASCII only: a locale's case rules would fold look-alikes such as the
// Kelvin sign into letters of a host that the page does not have.
wchar_t LowerAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? wchar_t(c - L'A' + L'a') : c; }

std::wstring LowerAscii(std::wstring_view text) {
    std::wstring lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](wchar_t c) { return LowerAscii(c); });
    return lower;
}

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

bool IsHostCharacter(wchar_t c) {
    c = LowerAscii(c);
    return (c >= L'a' && c <= L'z') || IsDigit(c) || c == L'-' || c == L'.';
}

std::optional<unsigned> ParsePort(std::wstring_view digits) {
    if (digits.empty() || digits.size() > kMaxPortDigits ||
        !std::all_of(digits.begin(), digits.end(), IsDigit)) {
        return std::nullopt;
    }
    unsigned port = 0;
    for (wchar_t digit : digits) {
        port = port * 10 + unsigned(digit - L'0');
    }
    return port <= kMaxPort ? std::optional(port) : std::nullopt;
}

// Reads "scheme://host[:port]" from the front of text. The authority ends
// where browsers end it, at the first '/', '?' or '#'; whatever else it
// holds ('@', '\', '%', blanks) fails the host or the port.
std::optional<SiteOrigin> ParseOrigin(std::wstring_view text, std::wstring_view& rest) {
    const size_t schemeEnd = text.find(kSchemeEnd);
    if (schemeEnd == std::wstring_view::npos) {
        return std::nullopt;
    }
    std::wstring scheme = LowerAscii(text.substr(0, schemeEnd));
    const auto* known = std::find_if(std::begin(kWebSchemes), std::end(kWebSchemes),
                                     [&](const WebScheme& web) { return web.name == scheme; });
    if (known == std::end(kWebSchemes)) {
        return std::nullopt;
    }
    const std::wstring_view afterScheme = text.substr(schemeEnd + kSchemeEnd.size());
    const size_t authorityEnd = std::min(afterScheme.find_first_of(L"/?#"), afterScheme.size());
    const std::wstring_view authority = afterScheme.substr(0, authorityEnd);
    rest = afterScheme.substr(authorityEnd);

    const size_t colon = authority.find(L':');
    const std::wstring_view host = authority.substr(0, colon);
    if (host.empty() || !std::all_of(host.begin(), host.end(), IsHostCharacter)) {
        return std::nullopt;
    }
    unsigned port = known->defaultPort;
    if (colon != std::wstring_view::npos) {
        const std::optional<unsigned> given = ParsePort(authority.substr(colon + 1));
        if (!given) {
            return std::nullopt;
        }
        port = *given;
    }
    return SiteOrigin{std::move(scheme), LowerAscii(host), port};
}

}  // namespace

std::optional<SiteOrigin> OriginOfPage(std::wstring_view address) {
    std::wstring_view rest;
    return ParseOrigin(address, rest);
}

std::optional<SiteOrigin> OriginOfListEntry(std::wstring_view entry) {
    std::wstring_view rest;
    std::optional<SiteOrigin> origin = ParseOrigin(entry, rest);
    return rest.empty() ? origin : std::nullopt;
}

namespace {

bool IsListed(const std::optional<SiteOrigin>& origin, const std::vector<std::wstring>& allowList) {
    return origin &&
           std::any_of(allowList.begin(), allowList.end(), [&](const std::wstring& entry) {
               return OriginOfListEntry(entry) == origin;
           });
}

}  // namespace

bool IsPageAllowed(std::wstring_view address, const std::vector<std::wstring>& allowList) {
    return IsListed(OriginOfPage(address), allowList);
}

bool IsOriginAllowed(std::wstring_view origin, const std::vector<std::wstring>& allowList) {
    return IsListed(OriginOfListEntry(origin), allowList);
}
