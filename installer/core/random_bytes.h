#pragma once

#include <cstddef>

// Fills the buffer from the operating system's cryptographic random source.
// Throws CStreamFailure (a std::ios_base::failure) when the source cannot be
// read, as its one user is the secure stream.
void FillRandomBytes(void* buffer, std::size_t size);
