#pragma once

#include <array>

// A SHA-256 digest. Portable: the configuration's core and the operator
// tools name it too.
using Sha256Digest = std::array<unsigned char, 32>;
