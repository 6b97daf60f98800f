#include "platform/sha256_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

template <typename Way>
std::string HexDigest(const std::string& message, std::size_t piece) {
    Way way;
    for (std::size_t at = 0; at < message.size(); at += piece) {
        way.Add(message.data() + at, std::min(piece, message.size() - at));
    }
    std::string hex;
    for (const unsigned char byte : way.Finish()) {
        char two[3];
        std::snprintf(two, sizeof two, "%02x", byte);
        hex += two;
    }
    return hex;
}

TEST(Sha256Engine, GivesTheStandardsDigestsHoweverTheBytesArePieced) {
    const struct {
        std::string message;
        const char* digest;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& c : cases) {
        for (const std::size_t piece : {1, 63, 64, 65, 4096}) {
            EXPECT_EQ(HexDigest<CSha256Engine>(c.message, piece), c.digest)
                << c.message.size() << " bytes in pieces of " << piece;
        }
    }
}

// The processor's instructions against the system's bcrypt: every length
// across the padding's edges (55, 56 and 64 bytes in a block), in pieces
// that straddle the blocks.
TEST(Sha256Engine, TheProcessorsInstructionsAgreeWithTheSystem) {
    if (!CSha256Instructions::Available()) GTEST_SKIP() << "no SHA instructions here";
    std::string bytes(300, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 151 + 7);
    for (std::size_t length = 0; length <= bytes.size(); ++length) {
        const std::string message = bytes.substr(0, length);
        for (const std::size_t piece : {1, 7, 64, 100, 300}) {
            EXPECT_EQ(HexDigest<CSha256Instructions>(message, piece),
                      HexDigest<CBcryptSha256>(message, piece))
                << length << " bytes in pieces of " << piece;
        }
    }
}

}  // namespace
