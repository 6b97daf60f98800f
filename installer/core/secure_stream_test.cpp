#include "core/secure_stream.h"

#include <gtest/gtest.h>

#include <string>

#include "core/message_error.h"
#include "stream_test_support.h"

namespace {

// "解密失败：" in GBK.
const std::string kDecryptFailed = "\xbd\xe2\xc3\xdc\xca\xa7\xb0\xdc\xa3\xba";

constexpr StreamKey kKey = {0x13, 0x34, 0x57, 0x79, 0x9B, 0xBC, 0xDF, 0xF1};

ByteVector Encrypt(const ByteVector& payload) {
    ByteVector stream;
    SecureEncrypt(stream, payload);
    return stream;
}

ByteVector Decrypt(const ByteVector& stream) {
    ByteVector payload;
    SecureDecrypt(stream, payload);
    return payload;
}

std::string DecryptFailure(const ByteVector& stream) {
    ByteVector payload;
    try {
        SecureDecrypt(stream, payload);
    } catch (const CMessageError& failure) {
        return failure.Text();
    }
    return "(decoded " + std::to_string(payload.size()) + " bytes)";
}

std::string Slice(const ByteVector& bytes, std::size_t at, std::size_t size) {
    return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                       bytes.begin() + static_cast<std::ptrdiff_t>(at + size));
}

TEST(SecureEncrypt, SealedSizeFollowsTheBlockLayout) {
    const struct {
        std::size_t payload;
        std::size_t sealed;
    } cases[] = {
        {0, 80},        {5, 80},        {61, 80},        // first block padded to 72
        {62, 88},       {16373, 16392}, {16374, 16400},  // full first block, then one byte
        {32754, 32776}, {32755, 32784},                  // two full blocks
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.payload);
        const ByteVector payload = PatternBytes(c.payload, 7);
        const ByteVector stream = Encrypt(payload);
        EXPECT_EQ(stream.size(), c.sealed);
        EXPECT_EQ(Decrypt(stream), payload);
    }
}

TEST(SecureEncrypt, FirstBlockHoldsLengthChecksumAndPayloadThenTheEndBlock) {
    const ByteVector stream = Encrypt(BytesOf("hello"));
    ASSERT_EQ(stream.size(), 80u);
    const ByteVector plain = OpenGroups(stream);
    EXPECT_EQ(Slice(plain, 8, 8), std::string("\x05\x00\x19hello", 8));
    EXPECT_EQ(Slice(plain, 72, 3), "\xff\xff\xfe");
}

TEST(SecureEncrypt, EmptyPayloadStillSendsAWholeFirstBlock) {
    const ByteVector stream = Encrypt({});
    ASSERT_EQ(stream.size(), 80u);
    const ByteVector plain = OpenGroups(stream);
    EXPECT_EQ(Slice(plain, 8, 3), std::string(3, '\0'));
    EXPECT_EQ(Slice(plain, 72, 3), "\xff\xff\xfe");
    EXPECT_TRUE(Decrypt(stream).empty());
}

TEST(SecureEncrypt, BlockBoundaryLayout) {
    const ByteVector fullFirst = OpenGroups(Encrypt(PatternBytes(16373, 1)));
    EXPECT_EQ(Slice(fullFirst, 8, 2), "\xf5\x3f");  // 16373
    EXPECT_EQ(Slice(fullFirst, 16384, 3), "\xff\xff\xfe");

    ByteVector payload = PatternBytes(16373, 2);
    payload.push_back('Z');
    const ByteVector oneMore = OpenGroups(Encrypt(payload));
    EXPECT_EQ(Slice(oneMore, 16384, 4), std::string("\x01\x00\x5b", 3) + "Z");  // 1 + 0 + 'Z'
    EXPECT_EQ(Slice(oneMore, 16392, 3), "\xff\xff\xfe");
}

TEST(SecureEncrypt, EveryStreamHasItsOwnKey) {
    const ByteVector payload = BytesOf("hello");
    const ByteVector first = Encrypt(payload);
    const ByteVector second = Encrypt(payload);
    EXPECT_NE(CarriedKey(first), CarriedKey(second));
    EXPECT_NE(first, second);
    EXPECT_EQ(Decrypt(first), payload);
    EXPECT_EQ(Decrypt(second), payload);
}

TEST(SecureStream, RoundTripsAcrossBlockBoundaries) {
    for (const std::size_t size :
         {1u, 10u, 63u, 72u, 16372u, 16381u, 16384u, 16385u, 49139u, 100003u, (3u << 20) + 5u}) {
        SCOPED_TRACE(size);
        const ByteVector payload = PatternBytes(size, static_cast<std::uint32_t>(size));
        EXPECT_EQ(Decrypt(Encrypt(payload)), payload);
    }
}

TEST(SecureDecrypt, AppendsToWhatTheOutputHolds) {
    ByteVector out = BytesOf("<");
    SecureDecrypt(Encrypt(BytesOf("tail>")), out);
    EXPECT_EQ(out, BytesOf("<tail>"));
}

TEST(SecureDecrypt, FailsOnAStreamCutBeforeItsEndBlock) {
    const std::string broken = kDecryptFailed + "Integrality of the stream is broken";

    // An empty first block delivers nothing, yet the end block must follow.
    for (const ByteVector& small : {Encrypt(BytesOf("hello")), Encrypt({})}) {
        for (std::size_t cut = 0; cut < small.size(); ++cut) {
            SCOPED_TRACE(cut);
            EXPECT_EQ(DecryptFailure(ByteVector(small.begin(), small.begin() + cut)), broken);
        }
    }

    // Blocks of 16384, 16384 and 104 bytes, then the end block.
    const ByteVector large = Encrypt(PatternBytes(16373 + 16381 + 100, 3));
    ASSERT_EQ(large.size(), 32880u);
    for (const std::size_t cut : {71u, 72u, 16383u, 16384u, 16391u, 16392u, 32767u, 32768u, 32769u,
                                  32871u, 32872u, 32873u, 32879u}) {
        SCOPED_TRACE(cut);
        EXPECT_EQ(DecryptFailure(ByteVector(large.begin(), large.begin() + cut)), broken);
    }
}

TEST(SecureDecrypt, RejectsABlockWhoseChecksumDoesNotMatch) {
    const std::string checksumFail = kDecryptFailed + "CheckSum fail";
    const ByteVector payload = BytesOf("hello");  // its checksum is 0x19

    EXPECT_EQ(DecryptFailure(StreamPlaintext().FirstBlock(payload, 0x18).EndBlock().Seal(kKey)),
              checksumFail);
    EXPECT_EQ(DecryptFailure(
                  StreamPlaintext().FirstBlock(payload).Block(payload, 0x1A).EndBlock().Seal(kKey)),
              checksumFail);
    EXPECT_EQ(Decrypt(StreamPlaintext().FirstBlock(payload, 0x19).EndBlock().Seal(kKey)), payload);
}

TEST(SecureDecrypt, EnforcesTheBlockLengthLimits) {
    const std::string tooLong = kDecryptFailed + "decrypt fail. No.208";
    const ByteVector head = BytesOf("head");

    const ByteVector longest = PatternBytes(31741, 4);
    ByteVector expected = head;
    expected.insert(expected.end(), longest.begin(), longest.end());
    EXPECT_EQ(Decrypt(StreamPlaintext().FirstBlock(head).Block(longest).EndBlock().Seal(kKey)),
              expected);
    EXPECT_EQ(
        DecryptFailure(
            StreamPlaintext().FirstBlock(head).Block(PatternBytes(31742, 4)).EndBlock().Seal(kKey)),
        tooLong);

    const ByteVector longestFirst = PatternBytes(31733, 5);
    EXPECT_EQ(Decrypt(StreamPlaintext().FirstBlock(longestFirst).EndBlock().Seal(kKey)),
              longestFirst);
    EXPECT_EQ(
        DecryptFailure(StreamPlaintext().FirstBlock(PatternBytes(31734, 5)).EndBlock().Seal(kKey)),
        tooLong);
}

TEST(SecureDecrypt, KeepsReadingBlocksAfterAnEndBlock) {
    const ByteVector stream = StreamPlaintext()
                                  .FirstBlock(BytesOf("abc"))
                                  .EndBlock()
                                  .Block(BytesOf("def"))
                                  .EndBlock()
                                  .Seal(kKey);
    EXPECT_EQ(Decrypt(stream), BytesOf("abcdef"));
}

TEST(SecureDecrypt, RejectsADocumentThatWasNeverSealed) {
    const std::string failure = DecryptFailure(
        BytesOf("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Response><VersionLimit>1.0.0.1"
                "</VersionLimit><OperationList/></Response>\n"));
    ASSERT_EQ(failure.compare(0, kDecryptFailed.size(), kDecryptFailed), 0) << failure;
    const std::string reason = failure.substr(kDecryptFailed.size());
    EXPECT_TRUE(reason == "CheckSum fail" || reason == "decrypt fail. No.208" ||
                reason == "Integrality of the stream is broken")
        << reason;
}

}  // namespace
