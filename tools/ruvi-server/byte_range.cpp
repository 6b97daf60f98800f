#include "byte_range.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <string_view>

namespace {

constexpr std::string_view kUnit = "bytes=";
constexpr std::uint64_t kFar = std::numeric_limits<std::uint64_t>::max();

// Decimal digits as a number; a number beyond 64 bits reads as kFar, which
// lies past the end of any file.
std::optional<std::uint64_t> Decimal(std::string_view text) {
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        value = value > (kFar - digit) / 10 ? kFar : value * 10 + digit;
    }
    return value;
}

bool StartsWithUnit(std::string_view value) {
    return value.size() >= kUnit.size() &&
           std::equal(kUnit.begin(), kUnit.end(), value.begin(), [](char a, char b) {
               return a == std::tolower(static_cast<unsigned char>(b));
           });
}

CRangeAnswer Part(std::uint64_t first, std::uint64_t last) {
    return {CRangeAnswer::Kind::Part, first, last};
}

}  // namespace

CRangeAnswer AnswerRange(const std::optional<std::string>& range, bool ifRangeSent,
                         std::uint64_t size) {
    const CRangeAnswer whole;
    const CRangeAnswer unsatisfiable{CRangeAnswer::Kind::Unsatisfiable};
    if (!range || ifRangeSent || !StartsWithUnit(*range)) return whole;
    const std::string_view spec = std::string_view(*range).substr(kUnit.size());
    const auto dash = spec.find('-');
    if (spec.find(',') != std::string_view::npos || dash == std::string_view::npos) return whole;
    const auto first = Decimal(spec.substr(0, dash));
    const auto last = Decimal(spec.substr(dash + 1));
    if (!first) {  // the last SUFFIX bytes
        if (!last) return whole;
        if (*last == 0 || size == 0) return unsatisfiable;
        return Part(size - std::min(*last, size), size - 1);
    }
    if (last && *last < *first) return whole;
    if (*first >= size) return unsatisfiable;
    return Part(*first, std::min(last.value_or(kFar), size - 1));
}
