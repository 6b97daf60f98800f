#pragma once

#include "core/byte_vector.h"

// Whether X || Y (64 bytes, each coordinate below the field's prime) is a
// point of the P-256 curve: what the configuration's structural check of a
// trust key leaves open, and what a mistyped character in a key's text
// usually breaks.
bool IsP256Point(const ByteVector& point);
