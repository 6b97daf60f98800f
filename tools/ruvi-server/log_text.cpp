#include "log_text.h"

#include <cstdio>

namespace {

// The length of the valid UTF-8 sequence at text[i], or 0.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    unsigned minimum = 0;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
        minimum = 0x80;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        minimum = 0x800;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    unsigned code = lead & (0x7f >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xc0) != 0x80) return 0;
        code = (code << 6) | (next & 0x3f);
    }
    const bool surrogate = code >= 0xd800 && code <= 0xdfff;
    return code < minimum || code > 0x10ffff || surrogate ? 0 : length;
}

void AppendHexEscape(std::string& out, unsigned char byte) {
    char hex[5];
    std::snprintf(hex, sizeof hex, "\\x%02x", byte);
    out += hex;
}

void AppendUnicodeEscape(std::string& out, unsigned char byte) {
    char escape[7];
    std::snprintf(escape, sizeof escape, "\\u%04x", byte);
    out += escape;
}

// text with valid multi-byte UTF-8 kept, each byte outside it given to
// invalid, and each ASCII byte to ascii, both appending what stands for it.
template <typename Ascii, typename Invalid>
std::string Escaped(std::string_view text, Ascii ascii, Invalid invalid) {
    std::string escaped;
    escaped.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const std::size_t length = byte >= 0x80 ? Utf8SequenceLength(text, i) : 1;
        if (length == 0) {
            invalid(escaped, byte);
            ++i;
        } else if (length == 1) {
            ascii(escaped, byte);
            ++i;
        } else {
            escaped.append(text.substr(i, length));
            i += length;
        }
    }
    return escaped;
}

}  // namespace

std::string EscapeLogText(std::string_view text) {
    return Escaped(
        text,
        [](std::string& out, unsigned char byte) {
            switch (byte) {
                case '\\':
                    out += "\\\\";
                    break;
                case '\n':
                    out += "\\n";
                    break;
                case '\r':
                    out += "\\r";
                    break;
                case '\t':
                    out += "\\t";
                    break;
                default:
                    if (byte < 0x20 || byte == 0x7f) {
                        AppendHexEscape(out, byte);
                    } else {
                        out += static_cast<char>(byte);
                    }
            }
        },
        AppendHexEscape);
}

std::string JsonString(std::string_view text) {
    return "\"" +
           Escaped(
               text,
               [](std::string& out, unsigned char byte) {
                   if (byte == '"' || byte == '\\') {
                       out += '\\';
                       out += static_cast<char>(byte);
                   } else if (byte < 0x20 || byte == 0x7f) {
                       AppendUnicodeEscape(out, byte);
                   } else {
                       out += static_cast<char>(byte);
                   }
               },
               AppendUnicodeEscape) +
           "\"";
}
