#include "operations/download_source.h"

#include <utility>

#include "core/content_range.h"
#include "core/message_error.h"
#include "core/secure_stream.h"
#include "net/http_client.h"
#include "operations/operation_messages.h"
#include "platform/text_conversion.h"

namespace {

constexpr int kWholeFile = 200;
constexpr int kPartOfFile = 206;

// The offset in full, however far past 4 GiB it lies.
std::string RequestText(std::int64_t offset) {
    return "<Request><Offset>" + std::to_string(offset) +
           "</Offset><BufferSize>0</BufferSize></Request>";
}

HttpClient ClientFor(const DownloadTarget& target) {
    HttpClient client;
    client.useProxy = target.proxy.enabled;
    client.proxySettings = target.proxy.settings;
    return client;
}

// What the declared size leaves for the body after start; nothing when no
// size is declared.
std::optional<std::uint64_t> RoomAfter(const DownloadTarget& target, std::uint64_t start) {
    if (!target.size) return std::nullopt;
    return *target.size > start ? *target.size - start : 0;
}

}  // namespace

SourceTurn FetchFromServer(const std::string& url, std::int64_t offset,
                           const DownloadTarget& target) {
    CCacheFile cache(target.path, offset, RoomAfter(target, static_cast<std::uint64_t>(offset)),
                     target.writePiece, target.digest);
    HttpClient client = ClientFor(target);
    SourceTurn turn;
    try {
        const std::string request = AnsiToUtf8(RequestText(offset));
        if (request.empty()) throw CMessageError(operation_messages::kDownloadRequestFailed);
        ByteVector sealed;
        SecureEncrypt(sealed, ByteVector(request.begin(), request.end()));
        client.Post(url, target.progress, std::move(sealed), cache);
        turn.whole = true;
    } catch (...) {
        // The client's own text is not passed on.
    }
    cache.Finish();
    turn.failure = cache.Failure();
    turn.bytes = cache.Written();
    turn.status = client.lastStatus;
    return turn;
}

SourceTurn FetchFromMirror(const std::string& url, std::int64_t offset,
                           const DownloadTarget& target) {
    const std::uint64_t size = target.size.value_or(0);
    const auto kept = static_cast<std::uint64_t>(offset);
    std::optional<CCacheFile> cache;
    std::uint64_t start = 0;
    const auto openFrom = [&](std::uint64_t from) -> IResponseSink* {
        start = from;
        cache.emplace(target.path, static_cast<std::int64_t>(from), RoomAfter(target, from),
                      target.writePiece, target.digest);
        return &*cache;
    };
    HttpClient client = ClientFor(target);
    SourceTurn turn;
    try {
        client.Get(url, target.progress, kept, [&](const AnswerHead& head) -> IResponseSink* {
            if (head.status == kPartOfFile && head.contentRange &&
                IsPartFromOffset(*head.contentRange, kept, size)) {
                return openFrom(kept);
            }
            if (head.status == kWholeFile && head.contentLength.value_or(size) == size) {
                return openFrom(0);
            }
            return nullptr;
        });
        turn.whole = true;
    } catch (...) {
        // Whatever broke, the next source takes over.
    }
    turn.status = client.lastStatus;
    if (!cache) {
        turn.whole = false;
        return turn;
    }
    cache->Finish();
    turn.failure = cache->Failure();
    turn.bytes = cache->Written();
    // A body that ends early without a declared length reads as whole.
    turn.whole = turn.whole && turn.failure == CacheFileFailure::None && start + turn.bytes == size;
    return turn;
}
