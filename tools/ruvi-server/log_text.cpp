#include "log_text.h"

#include <cstdio>

std::string EscapeLogText(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '\\':
                escaped += "\\\\";
                break;
            case '\n':
                escaped += "\\n";
                break;
            case '\r':
                escaped += "\\r";
                break;
            case '\t':
                escaped += "\\t";
                break;
            default:
                if (byte < 0x20 || byte == 0x7f) {
                    char hex[5];
                    std::snprintf(hex, sizeof hex, "\\x%02x", byte);
                    escaped += hex;
                } else {
                    escaped.push_back(c);
                }
        }
    }
    return escaped;
}

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

void AppendUnicodeEscape(std::string& out, unsigned char byte) {
    char escape[7];
    std::snprintf(escape, sizeof escape, "\\u%04x", byte);
    out += escape;
}

}  // namespace

std::string JsonString(std::string_view text) {
    std::string json = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x80) {
            const std::size_t length = Utf8SequenceLength(text, i);
            if (length == 0) {
                AppendUnicodeEscape(json, byte);
                ++i;
            } else {
                json.append(text.substr(i, length));
                i += length;
            }
            continue;
        }
        if (byte == '"' || byte == '\\') {
            json += '\\';
            json += static_cast<char>(byte);
        } else if (byte < 0x20 || byte == 0x7f) {
            AppendUnicodeEscape(json, byte);
        } else {
            json += static_cast<char>(byte);
        }
        ++i;
    }
    return json + "\"";
}
