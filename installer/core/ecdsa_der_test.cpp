#include "core/ecdsa_der.h"

#include <gtest/gtest.h>

#include <string>

namespace {

ByteVector Bytes(std::initializer_list<int> values) {
    ByteVector bytes;
    for (const int value : values) bytes.push_back(static_cast<char>(value));
    return bytes;
}

ByteVector Repeated(std::size_t count, int value) {
    return ByteVector(count, static_cast<char>(value));
}

ByteVector Join(std::initializer_list<ByteVector> parts) {
    ByteVector joined;
    for (const ByteVector& part : parts) joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

// tag, length, contents
ByteVector Tlv(int tag, const ByteVector& contents) {
    return Join({Bytes({tag, static_cast<int>(contents.size())}), contents});
}

ByteVector Signature(const ByteVector& r, const ByteVector& s) {
    return Tlv(0x30, Join({Tlv(0x02, r), Tlv(0x02, s)}));
}

TEST(RawP256Signature, PadsEachNumberTo32BytesAndDropsTheSignZero) {
    const ByteVector r = Repeated(32, 0x11);
    const ByteVector s = Repeated(32, 0x22);
    const ByteVector high = Join({Bytes({0xf0}), Repeated(31, 0x33)});
    const struct {
        const char* name;
        ByteVector der;
        ByteVector raw;
    } cases[] = {
        {"both 32 bytes", Signature(r, s), Join({r, s})},
        {"high bit behind a zero byte", Signature(Join({Bytes({0}), high}), s), Join({high, s})},
        {"short numbers", Signature(Repeated(31, 0x44), Bytes({5})),
         Join({Bytes({0}), Repeated(31, 0x44), Repeated(31, 0), Bytes({5})})},
        {"zero", Signature(Bytes({0}), s), Join({Repeated(32, 0), s})},
    };
    for (const auto& c : cases) {
        const auto raw = RawP256Signature(c.der);
        ASSERT_TRUE(raw.has_value()) << c.name;
        EXPECT_EQ(*raw, c.raw) << c.name;
    }
}

TEST(RawP256Signature, RefusesAnythingButTheOneEncoding) {
    const ByteVector r = Repeated(32, 0x11);
    const ByteVector s = Repeated(32, 0x22);
    const ByteVector good = Signature(r, s);
    ByteVector longer = good;
    longer[1] = static_cast<char>(good.size() - 1);
    ByteVector shorter = good;
    shorter[1] = static_cast<char>(good.size() - 3);
    ByteVector integerPastItsEnd = good;
    integerPastItsEnd[3] = 0x50;
    const struct {
        const char* name;
        ByteVector der;
    } cases[] = {
        {"nothing", {}},
        {"trailing garbage", Join({good, Bytes({0})})},
        {"a third element", Tlv(0x30, Join({Tlv(0x02, r), Tlv(0x02, s), Tlv(0x02, s)}))},
        {"one number", Tlv(0x30, Tlv(0x02, r))},
        {"sequence longer than the bytes", longer},
        {"sequence shorter than its elements", shorter},
        {"integer past the sequence", integerPastItsEnd},
        {"truncated", ByteVector(good.begin(), good.end() - 1)},
        {"long-form length", Join({Bytes({0x30, 0x81, 0x44}), Tlv(0x02, r), Tlv(0x02, s)})},
        {"not a sequence", Tlv(0x31, Join({Tlv(0x02, r), Tlv(0x02, s)}))},
        {"not an integer", Tlv(0x30, Join({Tlv(0x04, r), Tlv(0x02, s)}))},
        {"empty integer", Signature({}, s)},
        {"negative", Signature(Join({Bytes({0x80}), Repeated(31, 1)}), s)},
        {"negative s", Signature(r, Bytes({0xff}))},
        {"zero byte not needed", Signature(Bytes({0, 0x7f}), s)},
        {"two zero bytes", Signature(Join({Bytes({0, 0}), Repeated(31, 0x90)}), s)},
        {"33 bytes of number", Signature(Join({Bytes({1}), Repeated(32, 0)}), s)},
        {"33 bytes behind the zero byte", Signature(Join({Bytes({0}), Repeated(33, 0x90)}), s)},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(RawP256Signature(c.der).has_value()) << c.name;
    }
}

}  // namespace
