#pragma once

#include <cstdint>
#include <string_view>

// Whether contentRange, the Content-Range header of a 206 answer to
// "Range: bytes=offset-", says that its body is a part of the declared file
// of size bytes that starts at offset: exactly "bytes N-LAST/TOTAL" with
// N = offset, N <= LAST < TOTAL and TOTAL = size, each a run of decimal
// digits within 64 bits. A part that ends before the file does is taken as
// far as it goes; the next source brings the rest.
bool IsPartFromOffset(std::string_view contentRange, std::uint64_t offset, std::uint64_t size);
