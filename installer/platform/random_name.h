#pragma once

#include <string>
#include <string_view>

// path followed by tag and 16 random lower-case hex digits: a name beside
// path that no one could have known, and so made ready, beforehand. Empty
// when the system has no random bytes to give.
std::string RandomNameBeside(const std::string& path, std::string_view tag);
