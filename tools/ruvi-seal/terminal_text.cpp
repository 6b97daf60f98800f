#include "terminal_text.h"

#ifdef _WIN32

std::string ToTerminal(const std::string& gbk) { return gbk; }

std::optional<std::string> FromTerminal(const std::string& text) { return text; }

#else

#include <iconv.h>

#include <array>
#include <cerrno>
#include <stdexcept>

namespace {

// One conversion descriptor, closed when the conversion ends.
class Conversion {
public:
    Conversion(const char* to, const char* from) : descriptor_(iconv_open(to, from)) {
        if (descriptor_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error("iconv cannot convert between GBK and UTF-8");
        }
    }
    ~Conversion() { iconv_close(descriptor_); }
    Conversion(const Conversion&) = delete;
    Conversion& operator=(const Conversion&) = delete;

    // Converts text; on a byte sequence it cannot convert it either gives up
    // (nothing) or, when a substitute is given, writes it and skips one byte.
    std::optional<std::string> Run(const std::string& text, std::optional<char> substitute) {
        std::string result;
        char* in = const_cast<char*>(text.data());
        std::size_t inLeft = text.size();
        std::array<char, 1024> chunk;
        while (inLeft > 0) {
            char* out = chunk.data();
            std::size_t outLeft = chunk.size();
            const std::size_t done = iconv(descriptor_, &in, &inLeft, &out, &outLeft);
            result.append(chunk.data(), out);
            if (done != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
            if (!substitute) return std::nullopt;
            result += *substitute;
            ++in;
            --inLeft;
            iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);
        }
        return result;
    }

private:
    iconv_t descriptor_;
};

}  // namespace

std::string ToTerminal(const std::string& gbk) { return *Conversion("UTF-8", "GBK").Run(gbk, '?'); }

std::optional<std::string> FromTerminal(const std::string& text) {
    return Conversion("GBK", "UTF-8").Run(text, std::nullopt);
}

#endif
