#include "core/base64.h"

#include <gtest/gtest.h>

#include <string>

namespace {

ByteVector Bytes(const std::string& text) { return ByteVector(text.begin(), text.end()); }

TEST(Base64, EncodesAndDecodesTheStandardVectorsAndEveryByte) {
    const struct {
        const char* bytes;
        const char* text;
    } vectors[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
    };
    for (const auto& v : vectors) {
        EXPECT_EQ(EncodeBase64(Bytes(v.bytes)), v.text);
        EXPECT_EQ(DecodeBase64(v.text), Bytes(v.bytes)) << v.text;
    }
    ByteVector every;
    for (int i = 0; i < 256; ++i) every.push_back(static_cast<char>(255 - i));
    EXPECT_EQ(EncodeBase64(every).find_first_not_of(
                  "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
              std::string::npos);
    EXPECT_EQ(DecodeBase64(EncodeBase64(every)), every);
}

TEST(Base64, RefusesEverythingButTheCanonicalText) {
    for (const char* text : {
             "Zg=",
             "Zg",
             "Zm9vY",
             "Zm9v\n",
             " Zm9v",
             "Zm9v ",
             "Zm 9v",
             "Zm9v\r\nYg==",
             "Zh==",
             "Zm9=",
             "Z===",
             "====",
             "Zg==Zg==",
             "Zg=a",
             "Zm9-",
             "Zm9_",
             "Zm9\xff",
         }) {
        EXPECT_FALSE(DecodeBase64(text)) << text;
    }
}

}  // namespace
