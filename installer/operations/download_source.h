#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "net/proxy_settings.h"
#include "operations/cache_file.h"

class CCacheFileDigest;
class IProgressSink;

// The sources a download's bytes can come from: the server's own download
// protocol at the download's URL, and mirrors, plain HTTP servers (a CDN, an
// nginx, an object store) that serve the same file by GET.

// What every source of one download writes into, and how it reaches its
// server.
struct DownloadTarget {
    std::string path;                   // the cache file
    std::optional<std::uint64_t> size;  // the declared size
    PieceWriter writePiece;
    CCacheFileDigest* digest = nullptr;  // shown every byte written, when there is one
    ProxyChoice proxy;
    IProgressSink* progress = nullptr;  // may be null
};

// How one source's turn ended.
struct SourceTurn {
    // The source sent what it had to: the server the rest of the file as its
    // protocol has it; a mirror the file up to its declared size.
    bool whole = false;
    CacheFileFailure failure = CacheFileFailure::None;
    std::uint64_t bytes = 0;  // written into the file
    int status = 0;           // the answer's HTTP status; 0 when none came
};

// The rest of the file from offset on, through the server's download
// protocol: a sealed request that names the offset, POSTed to url; the
// answer's body is written from offset on. Never throws.
SourceTurn FetchFromServer(const std::string& url, std::int64_t offset,
                           const DownloadTarget& target);

// The file from a mirror at url, for a download that declares its size:
// GET, with "Range: bytes=offset-" when offset > 0. A 206 whose
// Content-Range names a part of the declared file from offset on is written
// from offset on (a part that ends early leaves the rest to the next source); a 200 is the whole
// file, written from 0 (the file is then cut to the body's length), and is not taken when its
// Content-Length is not the declared size. Any other answer is given up unread and writes nothing.
// Never throws.
SourceTurn FetchFromMirror(const std::string& url, std::int64_t offset,
                           const DownloadTarget& target);
