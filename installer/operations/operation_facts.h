#pragma once

#include <cstdint>
#include <optional>

// What an operation's Run() can tell of its work besides its result, for
// the install log. A kind fills what it knows; the rest stays unset.
struct OperationFacts {
    std::optional<std::int64_t> offset;  // where a download resumed
    std::optional<std::int64_t> bytes;   // what a download received
    std::optional<int> exitCode;         // of the program a setup run started
};
