#include "download_path.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr std::string_view kFilesFolder = "files/";
constexpr std::string_view kHttpScheme = "http://";
constexpr std::string_view kHttpsScheme = "https://";

bool IsSafeSegment(std::string_view segment) {
    return !segment.empty() && segment != "." && segment != ".." &&
           segment.find_first_of(std::string_view("\\\0", 2)) == std::string_view::npos;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Decodes the way the HTTP layer decodes request paths: "%XX" becomes the
// byte, a malformed escape stays as it is, "+" stays "+".
std::string PercentDecode(std::string_view text) {
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
            HexValue(text[i + 2]) >= 0) {
            decoded.push_back(
                static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
            i += 2;
        } else {
            decoded.push_back(text[i]);
        }
    }
    return decoded;
}

std::string_view WithoutQuery(std::string_view target) {
    return target.substr(0, target.find('?'));
}

bool SameAuthority(std::string_view urlAuthority, const CServerOrigin& origin) {
    const auto equalNoCase = [](std::string_view a, std::string_view b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return std::tolower(static_cast<unsigned char>(x)) ==
                   std::tolower(static_cast<unsigned char>(y));
        });
    };
    const char* defaultPort = origin.tls ? ":443" : ":80";
    return equalNoCase(urlAuthority, origin.authority) ||
           equalNoCase(std::string(urlAuthority) + defaultPort, origin.authority);
}

}  // namespace

std::optional<std::filesystem::path> MapDownloadPath(std::string_view basePath,
                                                     std::string_view requestPath) {
    if (!requestPath.starts_with(basePath)) return std::nullopt;
    std::string_view rest = requestPath.substr(basePath.size());
    if (!rest.starts_with(kFilesFolder)) return std::nullopt;
    rest.remove_prefix(kFilesFolder.size());

    std::filesystem::path relative;
    while (true) {
        const auto slash = rest.find('/');
        const std::string_view segment = rest.substr(0, slash);
        if (!IsSafeSegment(segment)) return std::nullopt;
        relative /= std::string(segment);
        if (slash == std::string_view::npos) return relative;
        rest.remove_prefix(slash + 1);
    }
}

std::optional<std::string> DownloadRequestPath(std::string_view url, std::string_view basePath,
                                               const CServerOrigin* origin) {
    // The installer treats only the case-sensitive "http://" and "https://"
    // prefixes as absolute; anything else is appended to its server URL.
    const bool http = url.starts_with(kHttpScheme);
    const bool https = url.starts_with(kHttpsScheme);
    if (!http && !https) {
        const std::string target = std::string(basePath) + std::string(url);
        return PercentDecode(WithoutQuery(target));
    }
    if (origin == nullptr || origin->tls != https) return std::nullopt;
    const std::string_view afterScheme = url.substr((https ? kHttpsScheme : kHttpScheme).size());
    const auto pathStart = afterScheme.find_first_of("/?");
    if (!SameAuthority(afterScheme.substr(0, pathStart), *origin)) return std::nullopt;
    if (pathStart == std::string_view::npos) return std::string("/");
    const std::string path(WithoutQuery(afterScheme.substr(pathStart)));
    return PercentDecode(path.empty() ? "/" : path);
}
