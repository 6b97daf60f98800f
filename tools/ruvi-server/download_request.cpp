#include "download_request.h"

#include <charconv>
#include <string_view>

#include "core/message_error.h"
#include "core/secure_stream.h"
#include "core/xml_document.h"

namespace {

std::optional<ByteVector> OpenSealedBody(const std::string& body) {
    try {
        ByteVector plain;
        SecureDecrypt(ByteVector(body.begin(), body.end()), plain);
        return plain;
    } catch (const CMessageError&) {
        return std::nullopt;
    }
}

std::optional<std::uint64_t> ParseOffset(std::string_view text) {
    constexpr std::string_view kWhiteSpace = " \t\r\n";
    const auto first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string_view::npos) return std::nullopt;
    text = text.substr(first, text.find_last_not_of(kWhiteSpace) - first + 1);
    std::uint64_t offset = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), offset);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return offset;
}

}  // namespace

std::optional<std::uint64_t> ReadDownloadOffset(const std::string& body) {
    const auto plain = OpenSealedBody(body);
    if (!plain) return std::nullopt;
    CXmlDocument holder;
    if (!ParseXmlBuffer("RUV Download Request", holder, plain->data(), plain->size()).empty() ||
        holder.root == nullptr) {
        return std::nullopt;
    }
    const auto* offsetElement = FindChildElement("Offset", holder.root);
    std::string text;
    if (offsetElement == nullptr || !GetElementText(text, offsetElement)) return std::nullopt;
    return ParseOffset(text);
}
