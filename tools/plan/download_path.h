#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Where downloads live. A plan names a file of the folder files/ by the URL
// "files/NAME" (or "files/SUB/NAME"); the installer appends it to its
// configured server URL, so the request arrives as BASE + "files/NAME".
// Requests are matched exactly as they arrive: nothing is normalised, so a
// URL written "/files/NAME" under a base ending in "/" names nothing.

// The server's base path unless told otherwise.
inline constexpr char kDefaultBasePath[] = "/RUVServer/";

// How installers reach this server: an absolute download URL addresses it
// when it names this scheme and authority.
struct CServerOrigin {
    bool tls = false;       // https rather than http
    std::string authority;  // "HOST:PORT" as the server listens
};

// NAME as a path relative to files/ when requestPath (already
// percent-decoded) names a file there; nullopt otherwise, in particular for
// every path that would leave files/ (".." or "." segments, empty segments,
// backslashes, zero bytes).
std::optional<std::filesystem::path> MapDownloadPath(std::string_view basePath,
                                                     std::string_view requestPath);

// The percent-decoded request path the installer sends for a plan's download
// URL, given this server's base path; nullopt when the URL is absolute and
// addresses another server. Without an origin every absolute URL counts as
// another server's.
std::optional<std::string> DownloadRequestPath(std::string_view url, std::string_view basePath,
                                               const CServerOrigin* origin);
