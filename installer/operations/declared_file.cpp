#include "operations/declared_file.h"

#include <cstdint>
#include <exception>
#include <optional>
#include <string_view>
#include <vector>

#include "operations/cache_file_digest.h"
#include "operations/child_text.h"
#include "platform/sha256_engine.h"

namespace {

// Large reads keep the check of a file of many gigabytes short.
constexpr DWORD kPieceSize = 1 << 20;

template <typename Value>
bool ReadDeclared(const xercesc::DOMNode* element, const char* name, bool required,
                  std::optional<Value> (*parse)(std::string_view), std::optional<Value>& value) {
    const std::optional<std::string> text = OptionalChildText(element, name);
    if (!text) return !required;
    value = parse(*text);
    return value.has_value();
}

std::optional<std::uint64_t> SizeOf(HANDLE file) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) return std::nullopt;
    return static_cast<std::uint64_t>(size.QuadPart);
}

// Digest of the bytes from the start to the end.
std::optional<Sha256Digest> ReadDigest(HANDLE file) {
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return std::nullopt;
    CSha256Engine engine;
    std::vector<char> piece(kPieceSize);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, piece.data(), kPieceSize, &read, nullptr)) return std::nullopt;
        if (read == 0) return engine.Finish();
        engine.Add(piece.data(), read);
    }
}

// Whether the held file has the declared size and, when one is declared,
// the digest that digestOf gives for its size.
template <typename DigestOf>
bool Matches(HANDLE heldFile, const FileDeclaration& declaration, DigestOf digestOf) {
    const auto size = SizeOf(heldFile);
    if (!size || (declaration.size && *size != *declaration.size)) return false;
    if (!declaration.sha256) return true;
    const std::optional<Sha256Digest> digest = digestOf(*size);
    return digest && *digest == *declaration.sha256;
}

}  // namespace

bool ReadDeclaredSize(const xercesc::DOMNode* element, bool required,
                      FileDeclaration& declaration) {
    return ReadDeclared(element, "Size", required, &DeclaredSize, declaration.size);
}

bool ReadDeclaredSha256(const xercesc::DOMNode* element, bool required,
                        FileDeclaration& declaration) {
    return ReadDeclared(element, "Sha256", required, &DeclaredSha256, declaration.sha256);
}

KernelHandle OpenHeldFile(const std::string& path) {
    return AdoptFileHandle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

bool MatchesDeclaration(HANDLE heldFile, const FileDeclaration& declaration) {
    return Matches(heldFile, declaration, [heldFile](std::uint64_t) -> std::optional<Sha256Digest> {
        // Held, the file still has the size just read.
        try {
            return ReadDigest(heldFile);
        } catch (const std::exception&) {
            return std::nullopt;  // the system would not hash
        }
    });
}

bool MatchesDeclaration(const std::string& path, const FileDeclaration& declaration) {
    const KernelHandle file = OpenHeldFile(path);
    return file && MatchesDeclaration(file.Get(), declaration);
}

bool MatchesDeclaration(const std::string& path, const FileDeclaration& declaration,
                        CCacheFileDigest& digest) {
    const KernelHandle file = OpenHeldFile(path);
    return file && Matches(file.Get(), declaration,
                           [&digest](std::uint64_t size) { return digest.Finish(size); });
}
