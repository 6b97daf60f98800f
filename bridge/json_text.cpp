#include "json_text.h"

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Well-formed UTF-8 only: no overlong forms, no surrogates, nothing above
// U+10FFFF.
bool IsUtf8(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        size_t length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead < 0x80) {
            length = 1;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (text.size() - i < length) {
            return false;
        }
        for (size_t k = 1; k < length; ++k) {
            const auto byte = static_cast<unsigned char>(text[i + k]);
            if (k == 1 ? (byte < low || byte > high) : !IsContinuation(byte)) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    void SkipSpace() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                       text_[pos_] == '\n' || text_[pos_] == '\r')) {
            ++pos_;
        }
    }

    bool Take(char expected) {
        SkipSpace();
        if (pos_ < text_.size() && text_[pos_] == expected) {
            ++pos_;
            return true;
        }
        return false;
    }

    bool AtEnd() {
        SkipSpace();
        return pos_ == text_.size();
    }

    std::optional<std::string> String() {
        if (!Take('"')) {
            return std::nullopt;
        }
        std::string value;
        while (pos_ < text_.size()) {
            const char c = text_[pos_++];
            if (c == '"') {
                return value;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                return std::nullopt;
            }
            if (c != '\\') {
                value += c;
            } else if (!Escape(value)) {
                return std::nullopt;
            }
        }
        return std::nullopt;
    }

private:
    bool Escape(std::string& value) {
        if (pos_ == text_.size()) {
            return false;
        }
        switch (text_[pos_++]) {
            case '"':
                value += '"';
                return true;
            case '\\':
                value += '\\';
                return true;
            case '/':
                value += '/';
                return true;
            case 'b':
                value += '\b';
                return true;
            case 'f':
                value += '\f';
                return true;
            case 'n':
                value += '\n';
                return true;
            case 'r':
                value += '\r';
                return true;
            case 't':
                value += '\t';
                return true;
            case 'u':
                return CodePoint(value);
            default:
                return false;
        }
    }

    std::optional<char32_t> Hex4() {
        if (text_.size() - pos_ < 4) {
            return std::nullopt;
        }
        char32_t code = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = text_[pos_++];
            code <<= 4;
            if (c >= '0' && c <= '9') {
                code |= char32_t(c - '0');
            } else if (c >= 'a' && c <= 'f') {
                code |= char32_t(c - 'a' + 10);
            } else if (c >= 'A' && c <= 'F') {
                code |= char32_t(c - 'A' + 10);
            } else {
                return std::nullopt;
            }
        }
        return code;
    }

    // After "\u": one code unit, or a surrogate pair written as two escapes.
    bool CodePoint(std::string& value) {
        const std::optional<char32_t> unit = Hex4();
        if (!unit || (*unit >= 0xDC00 && *unit <= 0xDFFF)) {
            return false;
        }
        char32_t code = *unit;
        if (code >= 0xD800 && code <= 0xDBFF) {
            if (text_.substr(pos_, 2) != "\\u") {
                return false;
            }
            pos_ += 2;
            const std::optional<char32_t> low = Hex4();
            if (!low || *low < 0xDC00 || *low > 0xDFFF) {
                return false;
            }
            code = 0x10000 + ((code - 0xD800) << 10) + (*low - 0xDC00);
        }
        AppendUtf8(value, code);
        return true;
    }

    std::string_view text_;
    size_t pos_ = 0;
};

}  // namespace

std::optional<std::map<std::string, std::string>> ParseStringObject(std::string_view text) {
    if (!IsUtf8(text)) {
        return std::nullopt;
    }
    Reader reader(text);
    if (!reader.Take('{')) {
        return std::nullopt;
    }
    std::map<std::string, std::string> members;
    if (!reader.Take('}')) {
        do {
            std::optional<std::string> name = reader.String();
            if (!name || !reader.Take(':')) {
                return std::nullopt;
            }
            std::optional<std::string> value = reader.String();
            if (!value || !members.emplace(std::move(*name), std::move(*value)).second) {
                return std::nullopt;
            }
        } while (reader.Take(','));
        if (!reader.Take('}')) {
            return std::nullopt;
        }
    }
    if (!reader.AtEnd()) {
        return std::nullopt;
    }
    return members;
}

std::string JsonString(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
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
                if (static_cast<unsigned char>(c) < 0x20) {
                    out += "\\u00";
                    out += kHex[(c >> 4) & 0xF];
                    out += kHex[c & 0xF];
                } else {
                    out += c;
                }
        }
    }
    return out + '"';
}
