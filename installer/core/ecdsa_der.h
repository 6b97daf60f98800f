#pragma once

#include <optional>

#include "core/byte_vector.h"

// Signatures travel as DER (what `openssl dgst -sha256 -sign` writes): a
// SEQUENCE of the two INTEGERs r and s, each as short as its value allows,
// with a zero byte in front when its first byte has the high bit set. The
// system verifies the raw form: r || s, each a 32-byte big-endian number.

inline constexpr std::size_t kP256RawSignatureSize = 64;

// The raw form of der. Nothing unless der is exactly one such SEQUENCE, in
// the one encoding DER allows (short lengths that match, no zero byte that
// is not needed, nothing after it), of two non-negative INTEGERs below 2^256.
std::optional<ByteVector> RawP256Signature(const ByteVector& der);
