#include "core/file_bytes.h"

#include <array>
#include <cstdio>
#include <memory>

namespace {
struct FileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
}  // namespace

std::optional<ByteVector> ReadFileBytes(const std::string& path) {
    std::unique_ptr<std::FILE, FileClose> file(std::fopen(path.c_str(), "rb"));
    if (!file) return std::nullopt;
    // Read to the end rather than trust a size from seeking: a directory or a
    // device reports sizes that are not its content, and a read error must
    // not pass for a short file.
    ByteVector bytes;
    std::array<char, 64 * 1024> chunk;
    std::size_t count = 0;
    while ((count = std::fread(chunk.data(), 1, chunk.size(), file.get())) > 0) {
        bytes.insert(bytes.end(), chunk.data(), chunk.data() + count);
    }
    if (std::ferror(file.get())) return std::nullopt;
    return bytes;
}
