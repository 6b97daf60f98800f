#include "core/installer_config.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "core/base64.h"
#include "core/message_error.h"
#include "core/secure_stream.h"
#include "core/xml_document.h"
#include "test_temp_file.h"

using ::testing::StartsWith;

namespace {

// The failure texts, spelled as GBK bytes so that a wrong character set in
// the build is caught as well as a wrong text.
constexpr std::string_view kReadFailed =
    "\xb6\xc1\xc8\xa1\xc5\xe4\xd6\xc3\xce\xc4\xbc\xfe\xca\xa7\xb0\xdc";
constexpr std::string_view kFormatWrong =
    "\xbd\xe2\xce\xf6\xc5\xe4\xd6\xc3\xce\xc4\xbc\xfe\xb8\xf1\xca\xbd\xb4\xed\xce\xf3";
constexpr std::string_view kServerMissing =
    "\xbd\xe2\xce\xf6<Server>\xbd\xda\xb5\xe3\xca\xa7\xb0\xdc";
constexpr std::string_view kServerEmpty =
    "<Server>\xbd\xda\xb5\xe3\xc4\xda\xc8\xdd\xce\xaa\xbf\xd5";
constexpr std::string_view kEncryptMissing =
    "\xbd\xe2\xce\xf6\xc5\xe4\xd6\xc3\xce\xc4\xbc\xfe<Encrypt>\xbd\xda\xb5\xe3\xca\xa7\xb0\xdc";
constexpr std::string_view kTypeUnknown =
    "\xce\xde\xb7\xa8\xca\xb6\xb1\xf0\xb5\xc4<Encrypt>\xc0\xe0\xd0\xcd";
constexpr std::string_view kKeyMissing =
    "\xbb\xf1\xc8\xa1"
    "DES\xc3\xdc\xd4\xbf\xca\xa7\xb0\xdc";
constexpr std::string_view kKeyLength =
    "\xce\xde\xd0\xa7\xb5\xc4"
    "DES\xc3\xdc\xd4\xbf\xb3\xa4\xb6\xc8";
constexpr std::string_view kTrustKeyInvalid =
    "\xce\xde\xd0\xa7\xb5\xc4\xc7\xa9\xc3\xfb\xb9\xab\xd4\xbf";
constexpr std::string_view kDecryptFailedPrefix = "\xbd\xe2\xc3\xdc\xca\xa7\xb0\xdc\xa3\xba";

// A P-256 public key as `openssl ec -pubout -outform DER | base64` gives it.
constexpr char kTrustKey[] =
    "MFkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDQgAE8WqL6AKAJxxmZzIv3Jh1MUaGkJOTphsH5QE9L5kq9AFsu/"
    "fckHmdzR+/aCx6+5zG6Z/IgFwzO+Wwp2BH0hC3HA==";

ByteVector Bytes(std::string_view text) { return ByteVector(text.begin(), text.end()); }

std::string Sealed(std::string_view document) {
    ByteVector sealed;
    SecureEncrypt(sealed, Bytes(document));
    return std::string(sealed.begin(), sealed.end());
}

class InstallerConfigTest : public ::testing::Test {
protected:
    // Loads the file as the installer does; returns the failure text or "".
    std::string Load(const std::string& path) {
        try {
            config.LoadConfig(path, true);
            return "";
        } catch (const CMessageError& failure) {
            return failure.Text();
        }
    }
    std::string LoadSealed(std::string_view document) {
        const TestTempFile file(Sealed(document), ".config");
        return Load(file.Path());
    }

    CXmlRuntime runtime;
    CInstallerConfig config;
};

TEST_F(InstallerConfigTest, ReadsADesConfiguration) {
    ASSERT_EQ(LoadSealed("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                         "<RUVI>\n"
                         "  <Server>http://127.0.0.1:8080/ruvi/</Server>\n"
                         "  <Encrypt Type=\"DES\">k3y!5678</Encrypt>\n"
                         "</RUVI>\n"),
              "");
    EXPECT_EQ(config.serverUrl, "http://127.0.0.1:8080/ruvi/");
    EXPECT_EQ(config.encryptionMode, CommEncryptMode::Des);
    EXPECT_EQ(config.desKey, "k3y!5678");
}

TEST_F(InstallerConfigTest, AnyOtherTypeSelectsTheSecureStreamWithoutReadingTheKey) {
    for (const char* type : {"des", "Secure", "AES", " DES", "DES "}) {
        SCOPED_TRACE(type);
        config.encryptionMode = CommEncryptMode::Des;
        config.desKey = "previous";
        ASSERT_EQ(LoadSealed(std::string("<c><Server>u</Server><Encrypt Type=\"") + type +
                             "\">not a key of eight</Encrypt></c>"),
                  "");
        EXPECT_EQ(config.encryptionMode, CommEncryptMode::Secure);
        EXPECT_EQ(config.desKey, "previous");
    }
    ASSERT_EQ(LoadSealed("<c><Server>u</Server><Encrypt Type=\"Secure\"/></c>"), "");
    EXPECT_EQ(config.encryptionMode, CommEncryptMode::Secure);
}

TEST_F(InstallerConfigTest, ServerTextIsTakenAsItStands) {
    ASSERT_EQ(LoadSealed("<c><Server>   </Server><Encrypt Type=\"S\"/></c>"), "");
    EXPECT_EQ(config.serverUrl, "   ");
    ASSERT_EQ(LoadSealed("<c><Server>http://h/<!-- c -->a?x=1&amp;y=2<![CDATA[ignored]]></Server>"
                         "<Encrypt Type=\"S\"/></c>"),
              "");
    EXPECT_EQ(config.serverUrl, "http://h/a?x=1&y=2");
    ASSERT_EQ(LoadSealed("<?xml version=\"1.0\" encoding=\"GBK\"?>"
                         "<c><Server>http://\xd6\xd0\xce\xc4/</Server><Encrypt Type=\"S\"/></c>"),
              "");
    EXPECT_EQ(config.serverUrl, "http://中文/");
}

TEST_F(InstallerConfigTest, KeyLengthCountsBytesInTheLocalCodePage) {
    // 密钥密钥: four characters, twelve bytes in UTF-8, eight in GBK.
    ASSERT_EQ(LoadSealed("<?xml version=\"1.0\" encoding=\"UTF-8\"?><c><Server>u</Server>"
                         "<Encrypt Type=\"DES\">\xe5\xaf\x86\xe9\x92\xa5\xe5\xaf\x86\xe9\x92\xa5"
                         "</Encrypt></c>"),
              "");
    EXPECT_EQ(config.desKey, "\xc3\xdc\xd4\xbf\xc3\xdc\xd4\xbf");
}

// Each document below has the faults of the next one plus one more that is
// checked earlier, so the table also shows the order of the checks.
TEST_F(InstallerConfigTest, ReportsTheFirstFaultInCheckingOrder) {
    struct Case {
        const char* document;
        std::string_view failure;
    };
    const Case cases[] = {
        {"<c><x><Server>u</Server></x><Encrypt Type=\"DES\">1234567", kFormatWrong},
        {"<c><x><Server>u</Server></x><Encrypt Type=\"DES\">1234567</Encrypt></c>", kServerMissing},
        {"<c><Server><![CDATA[u]]></Server><x><Encrypt Type=\"DES\">1</Encrypt></x></c>",
         kServerEmpty},
        {"<c><Server>u</Server><x><Encrypt Type=\"DES\">1</Encrypt></x></c>", kEncryptMissing},
        {"<c><Server>u</Server><Encrypt type=\"DES\"><![CDATA[1]]></Encrypt></c>", kTypeUnknown},
        {"<c><Server>u</Server><Encrypt Type=\"\"><![CDATA[1]]></Encrypt></c>", kTypeUnknown},
        {"<c><Server>u</Server><Encrypt Type=\"DES\"><![CDATA[12345678]]></Encrypt></c>",
         kKeyMissing},
        {"<c><Server>u</Server><Encrypt Type=\"DES\"></Encrypt></c>", kKeyMissing},
        {"<c><Server>u</Server><Encrypt Type=\"DES\">1234567</Encrypt></c>", kKeyLength},
        {"<c><Server>u</Server><Encrypt Type=\"DES\">123456789</Encrypt></c>", kKeyLength},
        {"<c><Server>u</Server><Encrypt Type=\"DES\">\n12345678\n</Encrypt><TrustKey/></c>",
         kKeyLength},
        {"<c><Server>u</Server><Encrypt Type=\"DES\">12345678</Encrypt><TrustKey/></c>",
         kTrustKeyInvalid},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.document);
        EXPECT_EQ(LoadSealed(c.document), c.failure);
    }
}

std::string WithTrustKey(std::string_view element) {
    return "<c><Server>u</Server><Encrypt Type=\"S\"/>" + std::string(element) + "</c>";
}

TEST_F(InstallerConfigTest, TrustKeyIsTheKeysPointAndMakesTheConfigurationTrusted) {
    ASSERT_EQ(LoadSealed(WithTrustKey("<!-- signing key --><TrustKey>" + std::string(kTrustKey) +
                                      "</TrustKey>")),
              "");
    const ByteVector der = *DecodeBase64(kTrustKey);
    EXPECT_TRUE(config.Trusted());
    EXPECT_EQ(config.trustKey, ByteVector(der.end() - 64, der.end()));

    // Read again from a file without one: no longer trusted; nor after a
    // file that fails.
    ASSERT_EQ(
        LoadSealed(WithTrustKey("<x><TrustKey>" + std::string(kTrustKey) + "</TrustKey></x>")), "");
    EXPECT_FALSE(config.Trusted());
    ASSERT_EQ(LoadSealed(WithTrustKey("<TrustKey>" + std::string(kTrustKey) + "</TrustKey>")), "");
    EXPECT_EQ(LoadSealed("<c><Server>u</Server></c>"), kEncryptMissing);
    EXPECT_FALSE(config.Trusted());
}

// Another key's DER with one byte changed at offset, in base64.
std::string Altered(std::size_t offset, char value) {
    ByteVector der = *DecodeBase64(kTrustKey);
    der[offset] = value;
    return EncodeBase64(der);
}

TEST_F(InstallerConfigTest, AnythingButAP256KeyInStrictBase64IsRefused) {
    const std::string key = kTrustKey;
    const ByteVector der = *DecodeBase64(kTrustKey);
    const std::string refused[] = {
        "<TrustKey/>",
        "<TrustKey></TrustKey>",
        "<TrustKey><![CDATA[" + key + "]]></TrustKey>",
        "<TrustKey> " + key + "</TrustKey>",
        "<TrustKey>" + key + "\n</TrustKey>",
        "<TrustKey>" + key.substr(0, 64) + "\n" + key.substr(64) + "</TrustKey>",
        "<TrustKey>" + key.substr(0, key.size() - 2) + "</TrustKey>",  // padding gone
        "<TrustKey>" + EncodeBase64(ByteVector(der.begin(), der.end() - 1)) + "</TrustKey>",
        "<TrustKey>" + EncodeBase64([&] {
            ByteVector longer = der;
            longer.push_back(0);
            return longer;
        }()) +
            "</TrustKey>",
        "<TrustKey>" + Altered(26, 0x02) + "</TrustKey>",  // not the uncompressed point
        "<TrustKey>" + Altered(22, 0x08) + "</TrustKey>",  // another curve
        "<TrustKey>" + Altered(12, 0x02) + "</TrustKey>",  // another algorithm
        // secp384r1 and a compressed P-256 point
        "<TrustKey>MHYwEAYHKoZIzj0CAQYFK4EEACIDYgAEr/fGcS8cZXWZGvI40K3HvmzBEzBzCLkEh6eJnDZhe1eqEJ9+"
        "pnsSv5keCiNTTm+pCErd3diO6V8XewvUZXX4wKdz5iJLHZEtQzdxIM8U8cAdMvpDMyK8P4zPva7sVnqL</"
        "TrustKey>",
        "<TrustKey>MDkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDIgAC0vLvHS3GhdEdQHM0Ok3UZ266AI3i3d7jBvEoJ/"
        "UwJIY=</TrustKey>",
    };
    for (const std::string& element : refused) {
        SCOPED_TRACE(element);
        EXPECT_EQ(LoadSealed(WithTrustKey(element)), kTrustKeyInvalid);
        EXPECT_FALSE(config.Trusted());
    }
}

TEST_F(InstallerConfigTest, MissingEmptyAndUnreadableFilesFailToRead) {
    const TestTempFile empty;
    EXPECT_EQ(Load(empty.Path()), kReadFailed);
    const std::string missing = empty.Path() + ".missing";
    EXPECT_EQ(Load(missing), kReadFailed);
    EXPECT_EQ(Load(std::filesystem::temp_directory_path().string()), kReadFailed);
}

TEST_F(InstallerConfigTest, PlainXmlIsNotAcceptedAsAnEncodedFile) {
    const TestTempFile plain("<c><Server>u</Server><Encrypt Type=\"DES\">12345678</Encrypt></c>");
    EXPECT_THAT(Load(plain.Path()), StartsWith(std::string(kDecryptFailedPrefix)));
}

TEST_F(InstallerConfigTest, TruncatedSealedFileFailsWithTheDecodersText) {
    const std::string sealed = Sealed("<c><Server>u</Server><Encrypt Type=\"S\"/></c>");
    const TestTempFile truncated(sealed.substr(0, sealed.size() - 8));
    EXPECT_EQ(Load(truncated.Path()),
              std::string(kDecryptFailedPrefix) + "Integrality of the stream is broken");
}

TEST_F(InstallerConfigTest, UnencodedFilesAreReadAsTheyStand) {
    const TestTempFile plain("<c><Server>u/</Server><Encrypt Type=\"DES\">12345678</Encrypt></c>");
    config.LoadConfig(plain.Path(), false);
    EXPECT_EQ(config.serverUrl, "u/");
    EXPECT_EQ(config.desKey, "12345678");
}

TEST_F(InstallerConfigTest, FieldsReadBeforeAFailureKeepTheirValues) {
    config.serverUrl = "old";
    EXPECT_EQ(LoadSealed("<c><Server>new</Server></c>"), kEncryptMissing);
    EXPECT_EQ(config.serverUrl, "new");

    EXPECT_EQ(LoadSealed("<c><Server>u</Server><Encrypt Type=\"DES\">123</Encrypt></c>"),
              kKeyLength);
    EXPECT_EQ(config.encryptionMode, CommEncryptMode::Des);
    EXPECT_EQ(config.desKey, "123");
}

TEST_F(InstallerConfigTest, DocumentReachingOutsideItselfIsAFormatFault) {
    const TestTempFile key("12345678", ".txt");
    EXPECT_EQ(LoadSealed("<!DOCTYPE c [<!ENTITY k SYSTEM \"" + key.FileUrl() +
                         "\">]><c><Server>u</Server><Encrypt Type=\"DES\">&k;</Encrypt></c>"),
              kFormatWrong);
}

}  // namespace
