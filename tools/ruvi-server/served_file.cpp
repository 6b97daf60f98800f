#include "served_file.h"

#include <fcntl.h>
#include <httplib.h>
#include <sys/stat.h>

#include <memory>
#include <vector>

namespace {

// Read and sent at a time, per answer being streamed. A download of 1 GiB on
// loopback took the server 0.43 to 0.63 s of processor time in 64 KiB
// pieces, 0.33 to 0.43 in these: fewer reads, waits and sends.
constexpr std::size_t kPieceSize = 1024 * 1024;
constexpr char kContentType[] = "application/octet-stream";

// What one answer holds while the client reads it.
struct CFileStream {
    CServedFile file;
    std::uint64_t start;
    SentPieces onSent;
    std::vector<char> piece = std::vector<char>(kPieceSize);

    bool SendPiece(std::size_t position, std::size_t length, httplib::DataSink& sink) {
        const std::size_t wanted = std::min(length, piece.size());
        const ssize_t got = ::pread(file.descriptor.Get(), piece.data(), wanted,
                                    static_cast<off_t>(start + position));
        // A file cut short under a running answer ends the connection rather
        // than leaving the promised length unfilled.
        if (got <= 0) return false;
        const auto sent = static_cast<std::size_t>(got);
        if (!sink.write(piece.data(), sent)) return false;
        onSent(sent, sent == length);
        return true;
    }
};

}  // namespace

// O_NONBLOCK keeps a named pipe under files/ from holding the worker; it
// changes nothing for regular files.
std::optional<CServedFile> OpenServedFile(const std::filesystem::path& path) {
    CUniqueFd descriptor(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat status {};
    if (!descriptor || ::fstat(descriptor.Get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    return CServedFile{std::move(descriptor), static_cast<std::uint64_t>(status.st_size)};
}

void StreamFileFrom(httplib::Response& response, CServedFile file, std::uint64_t offset,
                    SentPieces onSent) {
    response.status = 200;
    const std::uint64_t length = offset >= file.size ? 0 : file.size - offset;
    StreamFilePart(response, std::move(file), offset, length, std::move(onSent));
}

void StreamFilePart(httplib::Response& response, CServedFile file, std::uint64_t offset,
                    std::uint64_t length, SentPieces onSent) {
    if (length == 0) {
        response.set_content("", kContentType);
        return;
    }
    // The answer is copied into the HTTP layer's callback, hence shared.
    auto stream =
        std::make_shared<CFileStream>(CFileStream{std::move(file), offset, std::move(onSent)});
    response.set_content_provider(
        static_cast<std::size_t>(length), kContentType,
        [stream](std::size_t position, std::size_t remaining, httplib::DataSink& sink) {
            return stream->SendPiece(position, remaining, sink);
        });
}
