#include "core/content_range.h"

#include <gtest/gtest.h>

namespace {

TEST(ContentRange, OnlyAPartOfTheDeclaredFileFromTheOffsetIsTaken) {
    const struct {
        const char* header;
        std::uint64_t offset;
        std::uint64_t size;
        bool taken;
    } cases[] = {
        {"bytes 1024-9999/10000", 1024, 10000, true},
        {"bytes 0-9999/10000", 0, 10000, true},
        {"bytes 9216-9999/10000", 9216, 10000, true},
        {"bytes 01024-09999/010000", 1024, 10000, true},  // digits, as HTTP allows
        {"bytes 4831838208-5368709119/5368709120", 4831838208, 5368709120, true},
        // Another start, end or total than the request and the declaration.
        {"bytes 2048-9999/10000", 1024, 10000, false},
        {"bytes 0-9999/10000", 1024, 10000, false},
        {"bytes 1024-9999/10001", 1024, 10000, false},
        {"bytes 1024-10000/10001", 1024, 10000, false},
        {"bytes 1024-4999/10000", 1024, 10000, true},  // less than asked, taken
        {"bytes 1024-1024/10000", 1024, 10000, true},
        {"bytes 1024-1023/10000", 1024, 10000, false},
        {"bytes 1024-10000/10000", 1024, 10000, false},
        {"bytes 1024-9999/10000", 10000, 10000, false},  // nothing left to range
        {"bytes 0--1/0", 0, 0, false},
        // Other forms and stray characters.
        {"bytes */10000", 1024, 10000, false},
        {"bytes 1024-9999/*", 1024, 10000, false},
        {"Bytes 1024-9999/10000", 1024, 10000, false},
        {"bytes  1024-9999/10000", 1024, 10000, false},
        {"bytes 1024-9999/10000 ", 1024, 10000, false},
        {" bytes 1024-9999/10000", 1024, 10000, false},
        {"bytes=1024-9999/10000", 1024, 10000, false},
        {"bytes +1024-9999/10000", 1024, 10000, false},
        {"bytes 1024-9999/10000/10000", 1024, 10000, false},
        {"bytes 1024-9999", 1024, 10000, false},
        {"bytes 1024-/10000", 1024, 10000, false},
        {"bytes 1024-9999/10000, 0-1/10000", 1024, 10000, false},
        {"bytes 1024-99\xa3\xb0/10000", 1024, 10000, false},
        {"", 1024, 10000, false},
        // 2^64 + 1024 is not 1024.
        {"bytes 18446744073709552640-9999/10000", 1024, 10000, false},
        {"bytes 1024-9999/18446744073709561616", 1024, 10000, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsPartFromOffset(c.header, c.offset, c.size), c.taken)
            << '"' << c.header << "\" at " << c.offset << " of " << c.size;
    }
}

}  // namespace
