#include "exchange/answer_verifier.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "core/base64.h"
#include "core/installer_config.h"
#include "core/message_error.h"
#include "core/trust_key.h"
#include "net/http_client.h"

namespace {

// Made with the openssl command: `openssl genpkey -algorithm EC -pkeyopt
// ec_paramgen_curve:P-256` for two keys A and B, then
// `openssl dgst -sha256 -sign KEY.pem` over kNonce + "\n" + kBody.
constexpr char kTrustKeyA[] =
    "MFkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDQgAElLS3e3Gc43YJUA+xCeHjyDx0T3Xe7JoND1cvE95ary2PHeqiAudunBAzZ"
    "x8sR5r/wf15baCeebq8X/fGDGnWqg==";
constexpr char kNonce[] = "6f1d0c2a9be4473f8e05d2b71a3c9e60";
const ByteVector kBody = [] {
    const std::string body("<answer>\0\xff sealed</answer>", 26);
    return ByteVector(body.begin(), body.end());
}();
// s has a zero byte in front (33 bytes).
constexpr char kSignedByA[] =
    "MEUCIGlzmjhUGMhrW4LzoI4u1nvIddhk5Tmc+OZc2bOMMabWAiEA6mc+/FUkCi2434lDLWNbt+AQodO+hhlp/"
    "TC0XJhHPtE=";
// s is one byte short (31 bytes).
constexpr char kSignedByAShortS[] =
    "MEMCIFjGMTDaMwO5UGpJKkAczXBn5tnAx06jatjC9rG0pUAHAh9wqEi7dmuRR5nEVvDlPBjNQIOzIs6EMeJ9Yi/c3AJT";
constexpr char kSignedByB[] =
    "MEUCIAzGsHqvLMmqCipInwhCLCosFTqHik8qv5Kjg52lXAD0AiEAlDHBa9Q2fACJ/"
    "YNdjp99HrJGZzfMEjnpUSAXvD5v1dk=";

// "服务器应答签名无效"
const std::string kSignatureInvalid =
    "\xb7\xfe\xce\xf1\xc6\xf7\xd3\xa6\xb4\xf0\xc7\xa9\xc3\xfb\xce\xde\xd0\xa7";

ByteVector KeyA() { return *ParseTrustKey(kTrustKeyA); }

// The signature text with its DER bytes changed by edit.
template <typename Edit>
std::string Edited(const char* signature, Edit edit) {
    ByteVector der = *DecodeBase64(signature);
    edit(der);
    return EncodeBase64(der);
}

TEST(IsAnswerSignedFor, OnlyKeyAsSignatureOverThisNonceAndBodyPasses) {
    ByteVector otherBody = kBody;
    otherBody.back() ^= 1;
    const struct {
        const char* name;
        std::optional<std::string> signature;
        std::string nonce;
        ByteVector body;
        bool passes;
    } cases[] = {
        {"good", kSignedByA, kNonce, kBody, true},
        {"good, a short number", kSignedByAShortS, kNonce, kBody, true},
        {"a flipped bit", Edited(kSignedByA, [](ByteVector& der) { der[10] ^= 0x04; }), kNonce,
         kBody, false},
        {"another key", kSignedByB, kNonce, kBody, false},
        {"another nonce (a replay)", kSignedByA, "6f1d0c2a9be4473f8e05d2b71a3c9e61", kBody, false},
        {"no nonce", kSignedByA, "", kBody, false},
        {"another body", kSignedByA, kNonce, otherBody, false},
        {"truncated", Edited(kSignedByA, [](ByteVector& der) { der.pop_back(); }), kNonce, kBody,
         false},
        {"empty", std::string(), kNonce, kBody, false},
        {"missing", std::nullopt, kNonce, kBody, false},
        {"not strict base64", std::string(kSignedByA) + "\r\n", kNonce, kBody, false},
        {"not DER", EncodeBase64(ByteVector(64, '\x11')), kNonce, kBody, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsAnswerSignedFor(KeyA(), c.nonce, c.signature, c.body), c.passes) << c.name;
    }
    // A point the key text cannot hold verifies nothing.
    EXPECT_FALSE(IsAnswerSignedFor(ByteVector(64, '\0'), kNonce, kSignedByA, kBody));
}

TEST(AnswerVerifier, InTrustedModeEachAttemptAsksWithANonceOfItsOwn) {
    CInstallerConfig config;
    config.trustKey = KeyA();
    HttpClient client;
    const std::regex header("X-Ruvi-Nonce: [0-9a-f]{32}\r\n");

    const CAnswerVerifier first(config);
    first.PrepareRequest(client);
    EXPECT_TRUE(std::regex_match(client.extraHeaders, header)) << client.extraHeaders;
    EXPECT_EQ(client.keptHeaderName, "X-Ruvi-Signature");
    const std::string firstHeaders = client.extraHeaders;
    CAnswerVerifier(config).PrepareRequest(client);
    EXPECT_TRUE(std::regex_match(client.extraHeaders, header)) << client.extraHeaders;
    EXPECT_NE(client.extraHeaders, firstHeaders);

    // An answer without the signature fails before anything reads it.
    client.response = kBody;
    client.responseHeader.reset();
    try {
        first.CheckAnswer(client);
        FAIL() << "an unsigned answer passed";
    } catch (const CMessageError& error) {
        EXPECT_EQ(error.Text(), kSignatureInvalid);
    }
}

TEST(AnswerVerifier, OutsideTrustedModeNothingIsSentOrChecked) {
    const CInstallerConfig untrusted;
    HttpClient client;
    client.extraHeaders = "X-Ruvi-Nonce: left from an earlier attempt\r\n";
    client.keptHeaderName = "X-Ruvi-Signature";
    const CAnswerVerifier verifier(untrusted);
    verifier.PrepareRequest(client);
    EXPECT_EQ(client.extraHeaders, "");
    EXPECT_EQ(client.keptHeaderName, "");

    client.response = kBody;
    client.responseHeader = "not a signature";
    EXPECT_NO_THROW(verifier.CheckAnswer(client));
}

}  // namespace
