#include "config_document.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/xml_document.h"

using ::testing::StartsWith;

namespace {

// What the installer reads back from the document.
CInstallerConfig ReadBack(const std::string& document) {
    CInstallerConfig config;
    config.LoadConfigFrom(ByteVector(document.begin(), document.end()), false);
    return config;
}

class ConfigDocumentTest : public ::testing::Test {
protected:
    CXmlRuntime runtime;
};

TEST_F(ConfigDocumentTest, DeclaresItsCodePage) {
    EXPECT_THAT(ConfigDocument("u", CommEncryptMode::Secure, ""),
                StartsWith("<?xml version=\"1.0\" encoding=\"GBK\"?>"));
}

TEST_F(ConfigDocumentTest, TextsComeBackAsTheyWereGiven) {
    const std::string texts[] = {
        "http://127.0.0.1:8080/ruvi/",
        "http://h/a?x=1&y=<2>&z=\"3\"'",
        "  spaced  ",
        "line\nbreaks\r\nand\ttabs\r",
        "]]>&amp;&#65;",
        "http://中文/路径/",
    };
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        const CInstallerConfig secure = ReadBack(ConfigDocument(text, CommEncryptMode::Secure, ""));
        EXPECT_EQ(secure.serverUrl, text);
        EXPECT_EQ(secure.encryptionMode, CommEncryptMode::Secure);
    }
}

TEST_F(ConfigDocumentTest, DesKeysComeBackAsTheyWereGiven) {
    for (const std::string key : {"12345678", "a&b<c>\"d", " \t\n\r x y", "密钥密钥"}) {
        SCOPED_TRACE(key);
        const CInstallerConfig des = ReadBack(ConfigDocument("u/", CommEncryptMode::Des, key));
        EXPECT_EQ(des.encryptionMode, CommEncryptMode::Des);
        EXPECT_EQ(des.desKey, key);
    }
}

}  // namespace
