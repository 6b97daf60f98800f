#pragma once

#include <vector>

// Bytes held in memory: file contents, request and response bodies.
using ByteVector = std::vector<char>;
