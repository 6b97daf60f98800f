#pragma once

#include <cstddef>

// Fills the buffer from the operating system's cryptographic random source.
// Throws std::ios_base::failure when the source cannot be read.
void FillRandomBytes(void* buffer, std::size_t size);
