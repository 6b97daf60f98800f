#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

// The JSON the bridge reads: one object whose members are all strings,
// {"name":"text",...}, with JSON's white space and every JSON escape. Nothing
// else reads: no other value, no nesting, no name twice, no byte that is not
// UTF-8, no lone surrogate escape, nothing after the object.
std::optional<std::map<std::string, std::string>> ParseStringObject(std::string_view text);

// UTF-8 text as a JSON string, quotes included: quote, backslash and control
// characters escaped, everything else as it is.
std::string JsonString(std::string_view text);
