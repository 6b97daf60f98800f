#include "config_document.h"

#include <algorithm>
#include <iterator>

namespace {

struct Escape {
    char character;
    const char* reference;
};

// Line breaks and tabs are written as references so that the parser's
// line-end and white-space normalisation leave them as they were.
constexpr Escape kEscapes[] = {
    {'&', "&amp;"}, {'<', "&lt;"},   {'>', "&gt;"},   {'"', "&quot;"},
    {'\t', "&#9;"}, {'\n', "&#10;"}, {'\r', "&#13;"},
};

// Byte by byte is safe for GBK: no trail byte falls on an escaped character.
std::string Escaped(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        const auto escape = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                         [c](const Escape& e) { return e.character == c; });
        if (escape == std::end(kEscapes)) {
            escaped += c;
        } else {
            escaped += escape->reference;
        }
    }
    return escaped;
}

}  // namespace

std::string ConfigDocument(const std::string& serverUrl, CommEncryptMode mode,
                           const std::string& desKey, const std::string& trustKey) {
    const std::string encrypt = mode == CommEncryptMode::Des
                                    ? "<Encrypt Type=\"DES\">" + Escaped(desKey) + "</Encrypt>"
                                    : "<Encrypt Type=\"Secure\"/>";
    std::string document = "<?xml version=\"1.0\" encoding=\"GBK\"?>\n<RUVIConfig>\n";
    document += "  <Server>" + Escaped(serverUrl) + "</Server>\n";
    document += "  " + encrypt + "\n";
    if (!trustKey.empty()) document += "  <TrustKey>" + Escaped(trustKey) + "</TrustKey>\n";
    return document + "</RUVIConfig>\n";
}
