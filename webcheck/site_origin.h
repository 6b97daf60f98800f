#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The origin of a web page: scheme, host and port, in a form in which two
// origins are equal exactly when they name the same site. Scheme and host are
// lower case; the port is always given, the scheme's default when the
// address leaves it out.
struct SiteOrigin {
    std::wstring scheme;
    std::wstring host;
    unsigned port = 0;

    bool operator==(const SiteOrigin&) const = default;
};

// The origin of a page's address ("https://www.example.com/page.html").
// Only http and https pages have one. Anything that parsers disagree about
// yields none rather than a guess: user information ("a@b"), backslashes,
// percent escapes, blanks or control characters before the path, a host of
// other than ASCII letters, digits, '-' and '.' (IPv6 literals included),
// an empty or out-of-range port.
std::optional<SiteOrigin> OriginOfPage(std::wstring_view address);

// An entry of the allow-list is exactly an origin, "https://www.example.com"
// or "http://localhost:8080": the rules of OriginOfPage, and nothing at all
// after the host and port, not even a "/".
std::optional<SiteOrigin> OriginOfListEntry(std::wstring_view entry);

// Whether the page's origin is one of the allow-list's. Entries that are not
// origins match nothing.
bool IsPageAllowed(std::wstring_view address, const std::vector<std::wstring>& allowList);

// The same for an origin as a browser states it ("http://localhost:8080"):
// it must be exactly an origin, by the rules of the allow-list's entries.
bool IsOriginAllowed(std::wstring_view origin, const std::vector<std::wstring>& allowList);
