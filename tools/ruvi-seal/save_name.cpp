#include "save_name.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace {

constexpr std::size_t kLongestName = 200;
constexpr std::string_view kNotInNames = "\\/:*?\"<>|";

bool IsGbkLead(unsigned char byte) { return byte >= 0x81 && byte <= 0xfe; }
bool IsGbkTrail(unsigned char byte) { return byte >= 0x40 && byte <= 0xfe && byte != 0x7f; }

bool SameLetters(std::string_view text, std::string_view upper) {
    return std::equal(text.begin(), text.end(), upper.begin(), upper.end(), [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) == b;
    });
}

// Windows opens a device for these in any folder, whatever follows the
// first dot.
bool IsDeviceName(std::string_view name) {
    std::string_view stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
    for (const std::string_view device : {"CON", "PRN", "AUX", "NUL"}) {
        if (SameLetters(stem, device)) return true;
    }
    return stem.size() == 4 && stem[3] >= '1' && stem[3] <= '9' &&
           (SameLetters(stem.substr(0, 3), "COM") || SameLetters(stem.substr(0, 3), "LPT"));
}

}  // namespace

bool IsPlainSaveName(const std::string& name) {
    if (name.empty() || name.size() > kLongestName) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (IsGbkLead(byte)) {
            if (i + 1 == name.size() || !IsGbkTrail(static_cast<unsigned char>(name[i + 1]))) {
                return false;
            }
            ++i;
        } else if (byte >= 0x80 || byte < 0x20 || byte == 0x7f ||
                   kNotInNames.find(static_cast<char>(byte)) != std::string_view::npos) {
            return false;
        }
    }
    // Also "." and "..". (A double-byte character never ends in these.)
    if (name.back() == '.' || name.back() == ' ') return false;
    return !IsDeviceName(name);
}
