#include "core/content_range.h"

#include <optional>

#include "core/file_declaration.h"

namespace {

constexpr std::string_view kUnit = "bytes ";

// The digits before the first separator, and the text after it.
std::optional<std::uint64_t> TakeNumber(std::string_view& text, char separator) {
    const std::size_t end = text.find(separator);
    const std::string_view digits = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    return DeclaredSize(digits);
}

}  // namespace

bool IsPartFromOffset(std::string_view contentRange, std::uint64_t offset, std::uint64_t size) {
    if (size == 0 || offset >= size || !contentRange.starts_with(kUnit)) return false;
    std::string_view rest = contentRange.substr(kUnit.size());
    const auto first = TakeNumber(rest, '-');
    const auto last = TakeNumber(rest, '/');
    const auto total = DeclaredSize(rest);
    return first == offset && last && *last >= offset && *last < size && total == size;
}
