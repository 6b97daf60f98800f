#include "operations/file_download.h"

#include <cstdint>
#include <optional>
#include <utility>

#include "core/message_error.h"
#include "core/secure_stream.h"
#include "net/http_client.h"
#include "net/progress_sink.h"
#include "operations/cache_file.h"
#include "operations/cache_file_digest.h"
#include "operations/child_text.h"
#include "operations/declared_file.h"
#include "operations/operation_messages.h"
#include "operations/plain_file_name.h"
#include "platform/text_conversion.h"

namespace {

// A URL that begins with one of these is absolute; any other is relative to
// the server base URL.
constexpr const char* kAbsoluteSchemes[] = {"http://", "https://"};

bool IsAbsoluteUrl(const std::string& location) {
    for (const char* scheme : kAbsoluteSchemes) {
        if (location.starts_with(scheme)) return true;
    }
    return false;
}

// The offset in full, however far past 4 GiB it lies.
std::string RequestText(std::int64_t offset) {
    return "<Request><Offset>" + std::to_string(offset) +
           "</Offset><BufferSize>0</BufferSize></Request>";
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
           ReadDeclaredSha256(element, trusted, declaration);
}

void COpFileDownload::DiscardOversizedCacheFile(const std::string& path) const {
    if (!declaration.size) return;
    const auto size = CachedFileSize(path);
    if (size && static_cast<std::uint64_t>(*size) > *declaration.size) DeleteFileA(path.c_str());
}

std::optional<std::uint64_t> COpFileDownload::DeclaredRest(std::int64_t offset) const {
    if (!declaration.size) return std::nullopt;
    const auto start = static_cast<std::uint64_t>(offset);
    return *declaration.size > start ? *declaration.size - start : 0;
}

void COpFileDownload::Fetch(std::int64_t offset, IResponseSink& sink) const {
    const std::string request = AnsiToUtf8(RequestText(offset));
    if (request.empty()) throw CMessageError(operation_messages::kDownloadRequestFailed);
    ByteVector sealed;
    SecureEncrypt(sealed, ByteVector(request.begin(), request.end()));
    HttpClient client;
    client.useProxy = proxy.enabled;
    client.proxySettings = proxy.settings;
    client.Post(url, progressSink, std::move(sealed), sink);
}

DWORD COpFileDownload::WritePiece(HANDLE cacheFile, const char* bytes, DWORD size) {
    return WritePieceToFile(cacheFile, bytes, size);
}

void COpFileDownload::Run() {
    result = OperationResult{};
    const auto workFile = WorkFile(saveName);
    if (!workFile) {
        result = {kCacheOpenFailed, operation_messages::kCacheOpenFailed, false, false};
        return;
    }
    const std::string& path = *workFile;
    DiscardOversizedCacheFile(path);
    const std::int64_t offset = ResumeOffset(path);
    facts.offset = offset;
    // A declared hash follows the bytes into the file, so that the check at
    // the end reads nothing back.
    std::optional<CCacheFileDigest> digest;
    if (declaration.sha256) digest.emplace(path, static_cast<std::uint64_t>(offset));
    CCacheFile cache(
        path, offset, DeclaredRest(offset),
        [this](HANDLE file, const char* bytes, DWORD size) {
            return WritePiece(file, bytes, size);
        },
        digest ? &*digest : nullptr);
    bool fetched = true;
    try {
        Fetch(offset, cache);
    } catch (...) {
        // The client's own text is not passed on.
        fetched = false;
    }
    cache.Finish();
    facts.bytes = static_cast<std::int64_t>(cache.Written());
    const auto fail = [this](int code, const char* message) {
        result = {code, message, false, false};
    };
    switch (cache.Failure()) {
        case CacheFileFailure::OpenFailed:
            return fail(kCacheOpenFailed, operation_messages::kCacheOpenFailed);
        case CacheFileFailure::WriteFailed:
            return fail(kCacheWriteFailed, operation_messages::kCacheWriteFailed);
        case CacheFileFailure::PastDeclaredSize:
            // More than declared: whatever it is, it is not the declared file.
            DeleteFileA(path.c_str());
            return fail(kDownloadUnverified, operation_messages::kDownloadUnverified);
        case CacheFileFailure::None:
            break;
    }
    // What arrived stays in the file: the next run resumes after it.
    if (!fetched) return fail(kDownloadFailed, operation_messages::kDownloadFailed);
    const auto isDeclaredFile = [&] {
        return digest ? MatchesDeclaration(path, declaration, *digest)
                      : MatchesDeclaration(path, declaration);
    };
    if (!declaration.Empty() && !isDeclaredFile()) {
        // Not what the answer declared: no setup run may find it.
        DeleteFileA(path.c_str());
        return fail(kDownloadUnverified, operation_messages::kDownloadUnverified);
    }
    if (progressSink != nullptr) progressSink->SetPosition(kProgressWhenDone);
}
