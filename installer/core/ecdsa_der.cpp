#include "core/ecdsa_der.h"

namespace {

constexpr unsigned char kSequenceTag = 0x30;
constexpr unsigned char kIntegerTag = 0x02;
// Lengths from 0x80 on take more bytes; no signature of this curve needs them.
constexpr unsigned char kLongLengthBit = 0x80;
constexpr std::size_t kCoordinateSize = kP256RawSignatureSize / 2;

class DerReader {
public:
    explicit DerReader(const ByteVector& bytes) : bytes_(bytes) {}

    // The contents of the element with this tag that starts here; nothing
    // when it does not, or runs past the end.
    std::optional<ByteVector> Element(unsigned char tag) {
        if (Left() < 2 || Byte(position_) != tag) return std::nullopt;
        const unsigned char length = Byte(position_ + 1);
        if ((length & kLongLengthBit) != 0 || Left() - 2 < length) return std::nullopt;
        const auto first = bytes_.begin() + static_cast<std::ptrdiff_t>(position_ + 2);
        position_ += 2 + length;
        return ByteVector(first, first + length);
    }

    bool AtEnd() const { return Left() == 0; }

private:
    std::size_t Left() const { return bytes_.size() - position_; }
    unsigned char Byte(std::size_t index) const {
        return static_cast<unsigned char>(bytes_[index]);
    }

    const ByteVector& bytes_;
    std::size_t position_ = 0;
};

// Appends the INTEGER's value as 32 big-endian bytes; false when it is not
// the minimal encoding of a number from 0 to 2^256 - 1.
bool AppendCoordinate(const ByteVector& integer, ByteVector& raw) {
    if (integer.empty()) return false;
    const auto first = static_cast<unsigned char>(integer[0]);
    if ((first & 0x80) != 0) return false;  // negative
    std::size_t skip = 0;
    if (first == 0 && integer.size() > 1) {
        // Only a following high bit makes the zero byte necessary.
        if ((static_cast<unsigned char>(integer[1]) & 0x80) == 0) return false;
        skip = 1;
    }
    const std::size_t size = integer.size() - skip;
    if (size > kCoordinateSize) return false;
    raw.insert(raw.end(), kCoordinateSize - size, '\0');
    raw.insert(raw.end(), integer.begin() + static_cast<std::ptrdiff_t>(skip), integer.end());
    return true;
}

}  // namespace

std::optional<ByteVector> RawP256Signature(const ByteVector& der) {
    DerReader outer(der);
    const auto sequence = outer.Element(kSequenceTag);
    if (!sequence || !outer.AtEnd()) return std::nullopt;
    DerReader inner(*sequence);
    const auto r = inner.Element(kIntegerTag);
    const auto s = inner.Element(kIntegerTag);
    if (!r || !s || !inner.AtEnd()) return std::nullopt;
    ByteVector raw;
    raw.reserve(kP256RawSignatureSize);
    if (!AppendCoordinate(*r, raw) || !AppendCoordinate(*s, raw)) return std::nullopt;
    return raw;
}
