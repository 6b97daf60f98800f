#pragma once

#include <span>
#include <string>

// Bytes as lower-case hex, two digits each: the form of nonces and of the
// SHA-256 digests that answers declare.
std::string LowerHex(std::span<const unsigned char> bytes);
