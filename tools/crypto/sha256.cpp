#include "sha256.h"

#include <fstream>

#include "core/hex_text.h"
#include "sha256_engine.h"

namespace {
constexpr std::size_t kPieceSize = 1 << 16;
}

Sha256Digest Sha256(const ByteVector& bytes) {
    CSha256Engine engine;
    engine.Add(bytes.data(), bytes.size());
    return engine.Finish();
}

std::optional<Sha256Digest> Sha256OfFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    CSha256Engine engine;
    std::vector<char> piece(kPieceSize);
    while (file) {
        file.read(piece.data(), static_cast<std::streamsize>(piece.size()));
        engine.Add(piece.data(), static_cast<std::size_t>(file.gcount()));
    }
    if (!file.eof()) return std::nullopt;
    return engine.Finish();
}

std::string HexOf(const Sha256Digest& digest) { return LowerHex(digest); }
