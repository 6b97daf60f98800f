#include "core/des_ecb.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/message_error.h"
#include "stream_test_support.h"

namespace {

// "无效的密钥长度!" and "无效的解密长度!" in GBK.
const std::string kInvalidKeyLength = "\xce\xde\xd0\xa7\xb5\xc4\xc3\xdc\xd4\xbf\xb3\xa4\xb6\xc8!";
const std::string kInvalidLength = "\xce\xde\xd0\xa7\xb5\xc4\xbd\xe2\xc3\xdc\xb3\xa4\xb6\xc8!";

const std::string kKey("\x13\x34\x57\x79\x9B\xBC\xDF\xF1", 8);
const std::string kPlainGroup("\x01\x23\x45\x67\x89\xAB\xCD\xEF", 8);
const std::string kCipherGroup("\x85\xE8\x13\x54\x0F\x0A\xB4\x05", 8);

ByteVector Bytes(const std::string& text) { return ByteVector(text.begin(), text.end()); }

std::string FailureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const CMessageError& failure) {
        return failure.Text();
    }
    return "(no failure)";
}

TEST(DesEcbDecrypt, DecryptsEachGroupOnItsOwnAndKeepsTheFiller) {
    ByteVector plain;
    DesEcbDecrypt(Bytes(kCipherGroup + kCipherGroup), plain, kKey);
    EXPECT_EQ(plain, Bytes(kPlainGroup + kPlainGroup));  // no chaining between groups

    ByteVector cipher;
    DesEcbEncrypt(Bytes(kPlainGroup), cipher, kKey);
    EXPECT_EQ(cipher, Bytes(kCipherGroup));
}

TEST(DesEcbDecrypt, RoundTripsWithEncryptionAndReplacesTheOutput) {
    const ByteVector document = BytesOf("<Response><VersionLimit>1.0.0.1</VersionLimit>  ");
    ASSERT_EQ(document.size() % 8, 0u);
    ByteVector cipher = BytesOf("stale");
    DesEcbEncrypt(document, cipher, "8bytekey");
    EXPECT_EQ(cipher.size(), document.size());
    ByteVector plain = BytesOf("stale content that is longer than the document itself.....");
    DesEcbDecrypt(cipher, plain, "8bytekey");
    EXPECT_EQ(plain, document);
}

TEST(DesEcbDecrypt, RefusesKeysOtherThanEightBytes) {
    ByteVector out;
    for (const std::string& key :
         {std::string("1234567"), std::string("123456789"), std::string()}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(FailureOf([&] { DesEcbDecrypt(Bytes(kCipherGroup), out, key); }),
                  kInvalidKeyLength);
        EXPECT_EQ(FailureOf([&] { DesEcbEncrypt(Bytes(kPlainGroup), out, key); }),
                  kInvalidKeyLength);
    }
    // The key is judged before the data.
    EXPECT_EQ(FailureOf([&] { DesEcbDecrypt(ByteVector(12), out, "1234567"); }), kInvalidKeyLength);
}

TEST(DesEcbDecrypt, RefusesEmptyOrPartialGroups) {
    ByteVector out;
    for (const std::size_t size : {0u, 12u, 7u, 20u}) {
        SCOPED_TRACE(size);
        EXPECT_EQ(FailureOf([&] { DesEcbDecrypt(ByteVector(size), out, kKey); }), kInvalidLength);
        EXPECT_EQ(FailureOf([&] { DesEcbEncrypt(ByteVector(size), out, kKey); }), kInvalidLength);
    }
}

}  // namespace
