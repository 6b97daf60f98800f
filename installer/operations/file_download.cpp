#include "operations/file_download.h"

#include <cstdint>
#include <utility>

#include "net/http_client.h"
#include "net/secure_stream.h"
#include "operations/cache_file.h"
#include "operations/child_text.h"
#include "operations/declared_file.h"
#include "operations/operation_messages.h"
#include "operations/plain_file_name.h"
#include "platform/text_conversion.h"
#include "skin/progress_bmp_ctrl.h"
#include "startup/message_error.h"
#include "window/progress_window.h"

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

std::string RequestText(long long offset) {
    return "<Request><Offset>" + std::to_string(offset) +
           "</Offset><BufferSize>0</BufferSize></Request>";
}

}  // namespace

COpFileDownload::COpFileDownload(std::string label, std::string serverBaseUrl,
                                 std::string cacheDirectory)
    : COperatorBase(OperationKind::Download, "CFileDownload", std::move(label),
                    std::move(serverBaseUrl), std::move(cacheDirectory)) {}

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

ByteVector COpFileDownload::Fetch(long long offset) const {
    const std::string request = AnsiToUtf8(RequestText(offset));
    if (request.empty()) throw CMessageError(operation_messages::kDownloadRequestFailed);
    ByteVector sealed;
    SecureEncrypt(sealed, ByteVector(request.begin(), request.end()));
    HttpClient client;
    client.useProxy = useProxy;
    client.SetProxySettings(proxySettings);
    client.Post(url, ownerWindow, std::move(sealed));
    return std::move(client.response);
}

void COpFileDownload::Run() {
    result = OperationResult{};
    const std::string path = cacheDirectory + "\\" + saveName;
    DiscardOversizedCacheFile(path);
    const long long offset = ResumeOffset(path);
    facts.offset = offset;
    ByteVector data;
    try {
        data = Fetch(offset);
        facts.bytes = static_cast<std::int64_t>(data.size());
    } catch (...) {
        // The client's own text is not passed on; nothing is written.
        result = {kDownloadFailed, operation_messages::kDownloadFailed, false, false};
        return;
    }
    if (!data.empty()) {
        switch (WriteCacheFile(path, offset, data)) {
            case CacheWriteOutcome::OpenFailed:
                result = {kCacheOpenFailed, operation_messages::kCacheOpenFailed, false, false};
                return;
            case CacheWriteOutcome::WriteFailed:
                result = {kCacheWriteFailed, operation_messages::kCacheWriteFailed, false, false};
                return;
            case CacheWriteOutcome::Written:
                break;
        }
    }
    if (!declaration.Empty() && !MatchesDeclaration(path, declaration)) {
        // Not what the answer declared: no setup run may find it.
        DeleteFileA(path.c_str());
        result = {kDownloadUnverified, operation_messages::kDownloadUnverified, false, false};
        return;
    }
    if (ownerWindow != nullptr) ownerWindow->ProgressBar().SetPos(kProgressWhenDone);
}
