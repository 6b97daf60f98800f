#pragma once

#include <cstdint>
#include <optional>
#include <string>

// What a GET's Range header asks of a file of a given size. One range
// ("bytes=N-M", "bytes=N-", "bytes=-SUFFIX") is served as that part of the
// file; past the end it cannot be. Anything else gets the whole file, which
// HTTP allows: several ranges, another unit, a header that does not parse,
// and any If-Range, as the server offers no validator one could match.
struct CRangeAnswer {
    enum class Kind { Whole, Part, Unsatisfiable };
    Kind kind = Kind::Whole;
    std::uint64_t first = 0;  // of a part: its first and last byte
    std::uint64_t last = 0;
};

CRangeAnswer AnswerRange(const std::optional<std::string>& range, bool ifRangeSent,
                         std::uint64_t size);
