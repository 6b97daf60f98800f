#pragma once

#include <cstdint>

// The byte at index of a scripted body: a pattern whose period (251) is
// prime to every power of two, so a piece lost, doubled or shifted by any
// read size shows up in the comparison.
inline char ScriptedByte(std::uint64_t index) { return static_cast<char>(index % 251); }
