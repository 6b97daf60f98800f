#include "operations/file_download.h"

#include <optional>
#include <utility>

#include "net/internet_calls.h"
#include "net/progress_sink.h"
#include "operations/cache_file.h"
#include "operations/cache_file_digest.h"
#include "operations/child_text.h"
#include "operations/declared_file.h"
#include "operations/download_source.h"
#include "operations/operation_log.h"
#include "operations/operation_messages.h"
#include "operations/plain_file_name.h"
#include "platform/kernel_handle.h"
#include "platform/stopwatch.h"

namespace {

// A URL that begins with one of these is absolute; any other is relative to
// the server base URL.
constexpr const char* kAbsoluteSchemes[] = {"http://", "https://"};
constexpr char kLayoutFilesFolder[] = "\\files\\";
constexpr DWORD kCopyPiece = 1 << 20;

bool IsAbsoluteUrl(const std::string& location) {
    for (const char* scheme : kAbsoluteSchemes) {
        if (location.starts_with(scheme)) return true;
    }
    return false;
}

// An absolute http or https URL that names a server.
bool IsMirrorUrl(const std::string& text) {
    if (!IsAbsoluteUrl(text)) return false;
    const auto server = CrackServerUrl(text);
    return server && !server->host.empty();
}

}  // namespace

COpFileDownload::COpFileDownload(std::string label, std::string serverBaseUrl,
                                 std::string cacheDirectory)
    : COperatorBase("CFileDownload", std::move(label), std::move(serverBaseUrl),
                    std::move(cacheDirectory)) {}

bool COpFileDownload::Init(const xercesc::DOMNode* element) {
    std::string location = ChildText(element, "URL");
    if (location.empty()) return false;
    url = IsAbsoluteUrl(location) ? location : serverBaseUrl + location;
    std::string text = ChildText(element, "Description");
    if (!text.empty()) description = std::move(text);
    text = ChildText(element, "SaveName");
    saveName = text.empty() ? std::string(kDefaultSaveName) : std::move(text);
    // The name is appended to the work folder: anything but a plain file
    // name would let the server write elsewhere, as administrator.
    return IsPlainFileName(saveName) && ReadDeclaredSize(element, trusted, declaration) &&
           ReadDeclaredSha256(element, trusted, declaration) && ReadMirrors(element);
}

bool COpFileDownload::ReadMirrors(const xercesc::DOMNode* element) {
    mirrors = ChildTexts(element, "Mirror");
    if (mirrors.empty()) return true;
    // A mirror's bytes are taken on the strength of the declaration alone.
    if (mirrors.size() > kMaxMirrors || !declaration.size || !declaration.sha256) return false;
    for (const std::string& mirror : mirrors) {
        if (!IsMirrorUrl(mirror)) return false;
    }
    return true;
}

void COpFileDownload::DiscardOversizedCacheFile(const std::string& path) const {
    if (!declaration.size) return;
    const auto size = CachedFileSize(path);
    if (size && static_cast<std::uint64_t>(*size) > *declaration.size) DeleteFileA(path.c_str());
}

DWORD COpFileDownload::WritePiece(HANDLE cacheFile, const char* bytes, DWORD size) {
    return WritePieceToFile(cacheFile, bytes, size);
}

bool COpFileDownload::IsDeclaredFile(const std::string& path, CCacheFileDigest* digest) const {
    if (declaration.Empty()) return true;
    return digest != nullptr ? MatchesDeclaration(path, declaration, *digest)
                             : MatchesDeclaration(path, declaration);
}

COpFileDownload::Outcome COpFileDownload::Fetch(const std::string& path,
                                                const std::vector<Source>& sources,
                                                bool& mirrorServed) {
    DiscardOversizedCacheFile(path);
    const std::int64_t kept = ResumeOffset(path);
    if (!facts.offset) facts.offset = kept;
    // A declared hash follows the bytes into the file, so that the check at
    // the end reads nothing back.
    std::optional<CCacheFileDigest> digest;
    if (declaration.sha256) digest.emplace(path, static_cast<std::uint64_t>(kept));
    const DownloadTarget target{path,
                                declaration.size,
                                [this](HANDLE file, const char* bytes, DWORD size) {
                                    return WritePiece(file, bytes, size);
                                },
                                digest ? &*digest : nullptr,
                                proxy,
                                progressSink};
    bool whole = false;
    for (const Source& source : sources) {
        // Nothing is left to fetch once the file has the declared size: the
        // check tells whether it is the declared file.
        if (declaration.size &&
            CachedFileSize(path) == static_cast<std::int64_t>(*declaration.size)) {
            whole = true;
            break;
        }
        const std::int64_t offset = ResumeOffset(path);
        const Stopwatch stopwatch;
        const SourceTurn turn = source.mirror ? FetchFromMirror(source.url, offset, target)
                                              : FetchFromServer(source.url, offset, target);
        LogDownloadSource(label, source.url, offset, turn.status, turn.bytes,
                          stopwatch.Milliseconds());
        facts.bytes = facts.bytes.value_or(0) + static_cast<std::int64_t>(turn.bytes);
        mirrorServed = mirrorServed || (source.mirror && turn.bytes > 0);
        switch (turn.failure) {
            case CacheFileFailure::OpenFailed:
                return Outcome::OpenFailed;
            case CacheFileFailure::WriteFailed:
                return Outcome::WriteFailed;
            case CacheFileFailure::PastDeclaredSize:
                // From the server, more than declared is not the declared
                // file; a mirror's extra bytes never went in.
                if (!source.mirror) return Outcome::Unverified;
                break;
            case CacheFileFailure::None:
                break;
        }
        if (turn.whole) {
            whole = true;
            break;
        }
    }
    // What arrived stays in the file: the next run resumes after it.
    if (!whole) return Outcome::Broken;
    return IsDeclaredFile(path, digest ? &*digest : nullptr) ? Outcome::Done : Outcome::Unverified;
}

COpFileDownload::Outcome COpFileDownload::CopyFromLayout(const std::string& path) {
    facts.offset = 0;
    const std::string layoutFile = offlineLayout + kLayoutFilesFolder + saveName;
    const KernelHandle source =
        AdoptFileHandle(CreateFileA(layoutFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!source) return Outcome::Broken;
    // The copy starts the work file afresh, even when the layout's is empty.
    if (!DeleteFileA(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
        return Outcome::WriteFailed;
    }
    std::optional<CCacheFileDigest> digest;
    if (declaration.sha256) digest.emplace(path, 0);
    CCacheFile cache(
        path, 0, declaration.size,
        [this](HANDLE file, const char* bytes, DWORD size) {
            return WritePiece(file, bytes, size);
        },
        digest ? &*digest : nullptr);
    std::vector<char> own;
    bool copied = false;
    for (;;) {
        char* piece = cache.PieceBuffer(kCopyPiece);
        if (piece == nullptr) {
            own.resize(kCopyPiece);
            piece = own.data();
        }
        DWORD read = 0;
        if (!ReadFile(source.Get(), piece, kCopyPiece, &read, nullptr)) break;
        if (read == 0) {
            copied = true;
            break;
        }
        if (!cache.Write(piece, read)) break;
    }
    cache.Finish();
    facts.bytes = static_cast<std::int64_t>(cache.Written());
    switch (cache.Failure()) {
        case CacheFileFailure::OpenFailed:
            return Outcome::OpenFailed;
        case CacheFileFailure::WriteFailed:
            return Outcome::WriteFailed;
        case CacheFileFailure::PastDeclaredSize:
            return Outcome::Unverified;
        case CacheFileFailure::None:
            break;
    }
    if (!copied) return Outcome::Broken;
    return IsDeclaredFile(path, digest ? &*digest : nullptr) ? Outcome::Done : Outcome::Unverified;
}

void COpFileDownload::Run() {
    result = OperationResult{};
    facts = OperationFacts{};
    const auto workFile = WorkFile(saveName);
    if (!workFile) return Finish(Outcome::OpenFailed);
    const std::string& path = *workFile;
    if (!offlineLayout.empty()) {
        const Outcome copied = CopyFromLayout(path);
        // Not what the answer declared: no setup run may find it.
        if (copied == Outcome::Unverified) DeleteFileA(path.c_str());
        return Finish(copied);
    }
    std::vector<Source> sources;
    for (const std::string& mirror : mirrors) sources.push_back({mirror, true});
    sources.push_back({url, false});
    bool mirrorServed = false;
    Outcome outcome = Fetch(path, sources, mirrorServed);
    if (outcome == Outcome::Unverified) {
        // Not what the answer declared: no setup run may find it. Bytes a
        // mirror served may be what spoilt it, so the server's own protocol
        // has the last word, from the start.
        DeleteFileA(path.c_str());
        if (mirrorServed) {
            outcome = Fetch(path, {{url, false}}, mirrorServed);
            if (outcome == Outcome::Unverified) DeleteFileA(path.c_str());
        }
    }
    Finish(outcome);
}

void COpFileDownload::Finish(Outcome outcome) {
    const auto fail = [this](int code, const char* message) {
        result = {code, message, false, false};
    };
    switch (outcome) {
        case Outcome::Done:
            if (progressSink != nullptr) progressSink->SetPosition(kProgressWhenDone);
            return;
        case Outcome::Broken:
            return fail(kDownloadFailed, operation_messages::kDownloadFailed);
        case Outcome::OpenFailed:
            return fail(kCacheOpenFailed, operation_messages::kCacheOpenFailed);
        case Outcome::WriteFailed:
            return fail(kCacheWriteFailed, operation_messages::kCacheWriteFailed);
        case Outcome::Unverified:
            return fail(kDownloadUnverified, operation_messages::kDownloadUnverified);
    }
}
