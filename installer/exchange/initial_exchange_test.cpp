#include "exchange/initial_exchange.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <regex>
#include <string>

#include "core/des_ecb.h"
#include "core/message_error.h"
#include "core/secure_stream.h"
#include "exchange/installer_context.h"
#include "operation_test_support.h"
#include "operations/file_download.h"
#include "platform/install_log.h"
#include "scoped_registry_value.h"
#include "test_services.h"

namespace {

using namespace ops_test;

// lastError texts, as GBK bytes: "初始化错误：" + the failure.
const std::string kPrefix = "\xb3\xf5\xca\xbc\xbb\xaf\xb4\xed\xce\xf3\xa3\xba";
const std::string kVersionRejected =
    "\xb5\xb1\xc7\xb0\xb3\xcc\xd0\xf2\xb0\xe6\xb1\xbe\xb1\xd8\xd0\xeb\xc9\xfd\xbc\xb6\xba\xf3\xb2"
    "\xc5\xc4\xdc\xbc\xcc\xd0\xf8\xca\xb9\xd3\xc3";
const std::string kInvalidList =
    "\xb7\xfe\xce\xf1\xc6\xf7\xc5\xe4\xd6\xc3\xb4\xed\xce\xf3\xa3\xac\xce\xde\xd0\xa7\xb5\xc4\xc8"
    "\xce\xce\xf1\xc1\xd0\xb1\xed";
const std::string kUnknownModule =
    "\xce\xde\xb7\xa8\xca\xb6\xb1\xf0\xb5\xc4\xc4\xa3\xbf\xe9\xc3\xfb\xb3\xc6";
const std::string kServerError = "\xb7\xfe\xce\xf1\xc6\xf7\xc4\xda\xb2\xbf\xb4\xed\xce\xf3";
const std::string kBadDecryptLength = "\xce\xde\xd0\xa7\xb5\xc4\xbd\xe2\xc3\xdc\xb3\xa4\xb6\xc8!";
const std::string kDecryptFailed = "\xbd\xe2\xc3\xdc\xca\xa7\xb0\xdc\xa3\xba";
const std::string kConfigUnreadable =
    "\xb6\xc1\xc8\xa1\xc5\xe4\xd6\xc3\xce\xc4\xbc\xfe\xca\xa7\xb0\xdc";
const std::string kAnswerUnreadable =
    "\xd3\xeb\xb7\xfe\xce\xf1\xb6\xcb\xb5\xc4\xcd\xa8\xd1\xb6\xb9\xfd\xb3\xcc\xb7\xa2\xc9\xfa\xb4"
    "\xed\xce\xf3";
const std::string kVersionMissing = "\xbd\xe2\xce\xf6<Version>\xbd\xda\xb5\xe3\xca\xa7\xb0\xdc";
const std::string kVersionEmpty = "<Version>\xbd\xda\xb5\xe3\xc4\xda\xc8\xdd\xce\xaa\xbf\xd5";
const std::string kSignatureInvalid =
    "\xb7\xfe\xce\xf1\xc6\xf7\xd3\xa6\xb4\xf0\xc7\xa9\xc3\xfb\xce\xde\xd0\xa7";
const std::string kModuleInitFailed = "\xc4\xa3\xbf\xe9\xb3\xf5\xca\xbc\xbb\xaf\xca\xa7\xb0\xdc";
const std::string kAnswerTooLarge =
    "\xb7\xfe\xce\xf1\xc6\xf7\xd3\xa6\xb4\xf0\xca\xfd\xbe\xdd\xb9\xfd\xb4\xf3";

constexpr char kDesKey[] = "k3y!8byt";

std::string Operation(const std::string& moduleName, const std::string& children = "") {
    return "<Operation ModuleName=\"" + moduleName +
           "\" ModuleLabel=\"L\" Type=\"t\" Timeout=\"30s\">" + children + "</Operation>";
}

std::string Answer(const std::string& version, const std::string& operations) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Response><VersionLimit>" + version +
           "</VersionLimit><OperationList>" + operations + "</OperationList></Response>\n";
}

ByteVector Bytes(const std::string& text) { return ByteVector(text.begin(), text.end()); }

// An install folder named by the registry, as the installer finds its own,
// with a context built on it.
class InstalledInstaller {
public:
    InstalledInstaller()
        : installPath_(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tarvano\\RUVI", "InstallPath") {
        installPath_.SetText(folder_.Path());
    }

    void PutInstaller(const char* fixture) {
        CopyFileTo(WindowsPathOf(fixture), folder_.PathOf("RUVInstaller.exe"));
    }

    void PutConfig(const std::string& serverUrl, const std::string& encrypt) {
        const std::string document =
            "<RUVI><Server>" + serverUrl + "</Server>" + encrypt + "</RUVI>";
        ByteVector sealed;
        SecureEncrypt(sealed, Bytes(document));
        WriteTestFile(folder_.PathOf("RUVI.config"), std::string(sealed.begin(), sealed.end()));
    }
    // With a trust key text: trusted mode.
    void PutSecureConfig(const std::string& serverUrl, const std::string& trustKey = "") {
        const std::string trust = trustKey.empty() ? "" : "<TrustKey>" + trustKey + "</TrustKey>";
        PutConfig(serverUrl, "<Encrypt Type=\"Secure\"/>" + trust);
    }
    void PutDesConfig(const std::string& serverUrl) {
        PutConfig(serverUrl, std::string("<Encrypt Type=\"DES\">") + kDesKey + "</Encrypt>");
    }

    // Built after the registry names the folder, as the installer builds it.
    CInstallerContext& Context() {
        if (!context_) context_ = std::make_unique<CInstallerContext>();
        return *context_;
    }

private:
    TestFolder folder_{"install"};
    ScopedRegistryValue installPath_;
    std::unique_ptr<CInstallerContext> context_;
};

class InitialExchangeTest : public ::testing::Test {
protected:
    InitialExchangeTest() { installed.PutInstaller(RUVI_VERSIONED_INSTALLER); }

    // A ruvi-server serving answer, with the setup program as its one file.
    // The server reads the plan when it starts, so the folder can serve the
    // next answer while an earlier server still runs.
    RuviServer Serve(const std::string& answer, const std::string& mode = "secure") {
        RuviServerSettings settings;
        settings.mode = mode;
        settings.desKey = mode == "des" ? kDesKey : "";
        return Serve(answer, settings);
    }
    RuviServer Serve(const std::string& answer, const RuviServerSettings& settings) {
        std::filesystem::create_directories(plan.windowsPath + "\\files");
        CopyFileTo(WindowsPathOf(RUVI_SETUP_PROGRAM), plan.windowsPath + "\\files\\RUVSetup.exe");
        WriteTestFile(plan.windowsPath + "\\plan.xml", answer);
        return services.StartRuviServer(plan.unixPath, settings);
    }

    bool Exchange() {
        ExchangeOutcome outcome = RunInitialExchange(installed.Context());
        operations = std::move(outcome.operations);
        lastError = outcome.failure;
        return outcome.Succeeded();
    }
    const std::string& LastError() { return lastError; }

    CXmlRuntime runtime;
    TestServices services;
    SharedFolder plan = services.MakeSharedFolder();
    InstalledInstaller installed;
    OperationList operations;
    std::string lastError;
};

const std::string kFullList =
    Operation("OSCheck", "<BlackList><Item>none</Item></BlackList>") + Operation("UserCheck") +
    Operation("RUVCheck", "<Version>2.0.0.1</Version>") +
    Operation("FileDownload", "<URL>files/RUVSetup.exe</URL><SaveName>RUVSetup.exe</SaveName>") +
    Operation("SetupRun", "<ExecName>RUVSetup.exe</ExecName>");

TEST_F(InitialExchangeTest, SecureAnswerYieldsTheOperationsInTheServersOrder) {
    const RuviServer server = Serve(Answer(RUVI_INSTALLER_VERSION, kFullList));
    installed.PutSecureConfig(server.url);
    ASSERT_TRUE(Exchange()) << LastError();
    EXPECT_EQ(LastError(), "");
    ASSERT_EQ(operations.size(), 5u);
    const char* names[] = {"OSCheck", "OpUserCheck", "RUVCheck", "CFileDownload", "CSetupRun"};
    for (std::size_t i = 0; i < operations.size(); ++i) {
        EXPECT_EQ(operations[i]->name, names[i]);
        EXPECT_EQ(operations[i]->serverBaseUrl, server.url);
        EXPECT_EQ(operations[i]->cacheDirectory, installed.Context().cacheDirectory);
    }
    EXPECT_EQ(installed.Context().serverBaseUrl, server.url);
    EXPECT_EQ(dynamic_cast<COpFileDownload&>(*operations[3]).url,
              server.url + "files/RUVSetup.exe");
}

TEST_F(InitialExchangeTest, InTrustedModeOnlyAnAnswerTheTrustKeySignedForThisRequestIsTaken) {
    const SigningKey key = services.MakeSigningKey();
    const SigningKey otherKey = services.MakeSigningKey();
    const std::string undeclared = Operation("FileDownload", "<URL>files/RUVSetup.exe</URL>");
    const struct {
        const char* name;
        std::string signingKey;  // the server's; "" for unsigned answers
        std::string trustKey;    // the configuration's; "" outside trusted mode
        std::string operations;
        std::string lastError;
        const char* logged;  // the exchange line's signature field
    } cases[] = {
        {"signed by the trust key", key.privateKeyUnixPath, key.trustKey, Operation("UserCheck"),
         "", "valid"},
        {"signed by another key", otherKey.privateKeyUnixPath, key.trustKey, Operation("UserCheck"),
         kPrefix + kSignatureInvalid, "invalid"},
        {"not signed", "", key.trustKey, Operation("UserCheck"), kPrefix + kSignatureInvalid,
         "invalid"},
        {"a signed download without its hash", key.privateKeyUnixPath, key.trustKey, undeclared,
         kPrefix + kModuleInitFailed, "valid"},
        // Outside trusted mode the signature is not looked at.
        {"a signature nobody asked for", otherKey.privateKeyUnixPath, "", undeclared, "",
         "unsigned"},
    };
    const TestFolder logs("exchange logs");
    for (const auto& c : cases) {
        RuviServerSettings settings;
        settings.signingKey = c.signingKey;
        const RuviServer server = Serve(Answer(RUVI_INSTALLER_VERSION, c.operations), settings);
        installed.PutSecureConfig(server.url, c.trustKey);
        operations.clear();
        ASSERT_TRUE(install_log::Open(logs.PathOf("exchange.log")));
        EXPECT_EQ(Exchange(), c.lastError.empty()) << c.name;
        install_log::Close();
        EXPECT_EQ(LastError(), c.lastError) << c.name;

        const std::string log = ReadTestFile(logs.PathOf("exchange.log"));
        EXPECT_NE(log.find(std::string(" signature=\"") + c.logged + "\""), std::string::npos)
            << c.name << "\n"
            << log;
        // Outside trusted mode, one warning after the configuration line.
        const std::size_t warning = log.find(" warning message=\"the configuration has no trust");
        EXPECT_EQ(warning != std::string::npos, c.trustKey.empty()) << c.name << "\n" << log;
        EXPECT_EQ(log.find(" warning ", warning + 1), std::string::npos) << c.name;
        EXPECT_LT(log.find(" configuration "), warning) << c.name;
    }
}

TEST_F(InitialExchangeTest, OnlyTrustedModeSendsANonceAndEachAttemptItsOwn) {
    const CannedAnswer canned = services.ServeCanned(200, "not an answer");
    const std::regex nonceLine("\nX-Ruvi-Nonce: ([0-9a-f]{32})\n");
    std::smatch found;

    installed.PutSecureConfig(canned.url, services.MakeSigningKey().trustKey);
    EXPECT_FALSE(Exchange());
    const std::string first = canned.LastRequest();
    ASSERT_TRUE(std::regex_search(first, found, nonceLine)) << first;
    const std::string firstNonce = found[1];
    const std::string path = canned.url.substr(canned.url.find("/scripted/"));
    EXPECT_EQ(first.substr(0, first.find('\n')), "POST " + path + "ruvinstall") << first;
    EXPECT_EQ(first.substr(first.size() - 2), "\n\n") << "the body stays empty";

    EXPECT_FALSE(Exchange());
    const std::string second = canned.LastRequest();
    ASSERT_TRUE(std::regex_search(second, found, nonceLine)) << second;
    EXPECT_NE(found[1], firstNonce);

    installed.PutSecureConfig(canned.url);
    EXPECT_FALSE(Exchange());
    EXPECT_EQ(canned.LastRequest().find("X-Ruvi-Nonce"), std::string::npos);
}

TEST_F(InitialExchangeTest, DesAnswerYieldsTheSameOperations) {
    const RuviServer server = Serve(Answer(RUVI_INSTALLER_VERSION, kFullList), "des");
    installed.PutDesConfig(server.url);
    ASSERT_TRUE(Exchange()) << LastError();
    EXPECT_EQ(operations.size(), 5u);
}

TEST_F(InitialExchangeTest, OnlyTheExactVersionTextIsAccepted) {
    // Also a version text that a comment splits is read whole.
    const RuviServer server = Serve(Answer("1.0.<!-- split -->0.1", Operation("UserCheck")));
    installed.PutSecureConfig(server.url);
    ASSERT_EQ(std::string(RUVI_INSTALLER_VERSION), "1.0.0.1");
    EXPECT_TRUE(Exchange()) << LastError();

    for (const char* demanded : {"1.0.0.2", "1.0.0.0", " 1.0.0.1", "1.0.0.01", "1.0.0.1.0"}) {
        const RuviServer other = Serve(Answer(demanded, Operation("UserCheck")));
        installed.PutSecureConfig(other.url);
        operations.clear();
        EXPECT_FALSE(Exchange()) << demanded;
        EXPECT_EQ(LastError(), kPrefix + kVersionRejected) << demanded;
        EXPECT_TRUE(operations.empty());
    }
}

TEST_F(InitialExchangeTest, InstallerWithoutVersionResourceIsAlwaysTooOld) {
    installed.PutInstaller(RUVI_UNVERSIONED_INSTALLER);
    const RuviServer server = Serve(Answer(RUVI_INSTALLER_VERSION, Operation("UserCheck")));
    installed.PutSecureConfig(server.url);
    EXPECT_FALSE(Exchange());
    EXPECT_EQ(LastError(), kPrefix + kVersionRejected);
}

TEST_F(InitialExchangeTest, UnreadableInstallerFileIsAlwaysTooOld) {
    const RuviServer server = Serve(Answer(RUVI_INSTALLER_VERSION, Operation("UserCheck")));
    installed.PutSecureConfig(server.url);
    CInstallerContext& context = installed.Context();
    for (const std::string& path :
         {context.installerPath + ".absent", context.cacheDirectory, std::string()}) {
        context.installerPath = path;
        EXPECT_FALSE(Exchange()) << path;
        EXPECT_EQ(LastError(), kPrefix + kVersionRejected) << path;
    }
    // A file that is not a program at all.
    context.installerPath = context.cacheDirectory + "\\not-a-program.exe";
    WriteTestFile(context.installerPath, "MZ but nothing else");
    EXPECT_FALSE(Exchange());
    EXPECT_EQ(LastError(), kPrefix + kVersionRejected);
    std::filesystem::remove(context.installerPath);
}

TEST_F(InitialExchangeTest, EmptyOperationListIsAnInvalidList) {
    const RuviServer server =
        Serve(Answer(RUVI_INSTALLER_VERSION,
                     "text<!-- c --><Other/><Group>" + Operation("UserCheck") + "</Group>"));
    installed.PutSecureConfig(server.url);
    EXPECT_FALSE(Exchange());
    EXPECT_EQ(LastError(), kPrefix + kInvalidList);
}

TEST_F(InitialExchangeTest, UnknownModuleStopsTheListAndKeepsWhatCameBefore) {
    const RuviServer server =
        Serve(Answer(RUVI_INSTALLER_VERSION,
                     Operation("OSCheck") + Operation("InvokeRUV") + Operation("UserCheck")));
    installed.PutSecureConfig(server.url);
    EXPECT_FALSE(Exchange());
    EXPECT_EQ(LastError(), kPrefix + kUnknownModule);
    ASSERT_EQ(operations.size(), 1u);
    EXPECT_EQ(operations[0]->name, "OSCheck");
}

TEST_F(InitialExchangeTest, MoreOperationsThanTheWindowHasRowsAreRefusedWhole) {
    std::string six;
    for (int i = 0; i < 6; ++i) six += Operation("UserCheck");
    const RuviServer server = Serve(Answer(RUVI_INSTALLER_VERSION, six));
    installed.PutSecureConfig(server.url);
    EXPECT_FALSE(Exchange());
    EXPECT_EQ(LastError(), kPrefix + kInvalidList);
    EXPECT_TRUE(operations.empty());
}

TEST_F(InitialExchangeTest, AddressMissingOnTheServerIsAServerError) {
    const RuviServer server = Serve(Answer(RUVI_INSTALLER_VERSION, Operation("UserCheck")));
    // Without its final slash the base runs into "ruvinstall": a path the
    // server does not know.
    for (const std::string& url :
         {server.url + "elsewhere/", server.url.substr(0, server.url.size() - 1)}) {
        installed.PutSecureConfig(url);
        EXPECT_FALSE(Exchange()) << url;
        EXPECT_EQ(LastError(), kPrefix + kServerError) << url;
    }
}

TEST_F(InitialExchangeTest, DesBodyThatIsNotWholeBlocksIsRefused) {
    const CannedAnswer canned = services.ServeCanned(200, std::string(20, 'x'));
    installed.PutDesConfig(canned.url);
    EXPECT_FALSE(Exchange());
    EXPECT_EQ(LastError(), kPrefix + kBadDecryptLength);
}

TEST_F(InitialExchangeTest, AnswersBeyond64KiBAreRefusedAndOneOf64KiBIsParsed) {
    // Whole DES blocks that decrypt to no document: the parser has the last
    // word on an answer within the limit.
    for (const auto& [size, failure] : {std::pair{kInitialAnswerLimit, kAnswerUnreadable},
                                        std::pair{kInitialAnswerLimit + 1, kAnswerTooLarge}}) {
        const CannedAnswer canned = services.ServeCanned(200, std::string(size, 'x'));
        installed.PutDesConfig(canned.url);
        EXPECT_FALSE(Exchange()) << size;
        EXPECT_EQ(LastError(), kPrefix + failure) << size;
    }
}

TEST_F(InitialExchangeTest, PlainAnswerInSecureModeFailsToDecrypt) {
    const CannedAnswer canned =
        services.ServeCanned(200, Answer(RUVI_INSTALLER_VERSION, Operation("UserCheck")));
    installed.PutSecureConfig(canned.url);
    EXPECT_FALSE(Exchange());
    // Read as a secure stream, the document's first block announces a
    // length beyond any block.
    EXPECT_EQ(LastError(), kPrefix + kDecryptFailed + "decrypt fail. No.208");
}

TEST_F(InitialExchangeTest, MissingConfigurationFileFailsBeforeAnyRequest) {
    EXPECT_FALSE(Exchange());
    EXPECT_EQ(LastError(), kPrefix + kConfigUnreadable);
}

TEST_F(InitialExchangeTest, EachAttemptStartsWithAnEmptyError) {
    EXPECT_FALSE(Exchange());
    const RuviServer server = Serve(Answer(RUVI_INSTALLER_VERSION, Operation("UserCheck")));
    installed.PutSecureConfig(server.url);
    EXPECT_TRUE(Exchange());
    EXPECT_EQ(LastError(), "");
}

// The answer document's own checks, without a server.
class ParseResponseTest : public ::testing::Test {
protected:
    ParseResponseTest() {
        installed.PutInstaller(RUVI_VERSIONED_INSTALLER);
        installed.Context().serverBaseUrl = "http://127.0.0.1:1/RUVServer/";
    }

    // The text ParseResponse throws, or "parsed".
    std::string Outcome(const std::string& document) {
        try {
            ParseResponse(document.data(), document.size(), installed.Context(), operations);
            return "parsed";
        } catch (const CMessageError& error) {
            return error.Text();
        }
    }

    CXmlRuntime runtime;
    InstalledInstaller installed;
    OperationList operations;
    std::string lastError;
};

TEST_F(ParseResponseTest, ChecksTheDocumentInItsOrder) {
    const std::string op = Operation("UserCheck");
    EXPECT_EQ(Outcome(""), kAnswerUnreadable);
    EXPECT_EQ(Outcome("<Response><VersionLimit>"), kAnswerUnreadable);
    EXPECT_EQ(Outcome("<Response><OperationList>" + op + "</OperationList></Response>"),
              kVersionMissing);
    EXPECT_EQ(Outcome("<Response><X><VersionLimit>1.0.0.1</VersionLimit></X></Response>"),
              kVersionMissing);
    EXPECT_EQ(
        Outcome("<Response><VersionLimit/><OperationList>" + op + "</OperationList></Response>"),
        kVersionEmpty);
    EXPECT_EQ(Outcome("<Response><VersionLimit><![CDATA[1.0.0.1]]></VersionLimit></Response>"),
              kVersionEmpty);
    EXPECT_EQ(Outcome("<Response><VersionLimit>9.9.9.9</VersionLimit></Response>"),
              kVersionRejected);
    EXPECT_EQ(Outcome("<Response><VersionLimit>1.0.0.1</VersionLimit></Response>"), kInvalidList);
    EXPECT_EQ(Outcome("<Response><VersionLimit>1.0.0.1</VersionLimit><OperationList/></Response>"),
              kInvalidList);
    EXPECT_TRUE(operations.empty());
}

TEST_F(ParseResponseTest, ReadsOnlyTheFirstListAndItsDirectOperations) {
    EXPECT_EQ(Outcome("<Any><VersionLimit>1.0.0.1</VersionLimit><VersionLimit>2</VersionLimit>"
                      "<OperationList>" +
                      Operation("OSCheck") + "<Operation/>x" +
                      "</OperationList>"
                      "<OperationList>" +
                      Operation("UserCheck") + "</OperationList></Any>"),
              "\xbb\xf1\xc8\xa1\xc4\xa3\xbf\xe9\xc3\xfb\xb3\xc6\xca\xa7\xb0\xdc");
    operations.clear();
    EXPECT_EQ(
        Outcome("<Any><VersionLimit>1.0.0.1</VersionLimit><OperationList>" + Operation("OSCheck") +
                "<Group>" + Operation("UserCheck") + "</Group></OperationList><OperationList>" +
                Operation("UserCheck") + "</OperationList></Any>"),
        "parsed");
    ASSERT_EQ(operations.size(), 1u);
    EXPECT_EQ(operations[0]->name, "OSCheck");
}

TEST_F(ParseResponseTest, FiveOperationsFitTheWindow) {
    std::string five;
    for (int i = 0; i < 5; ++i) five += Operation("UserCheck");
    EXPECT_EQ(Outcome(Answer("1.0.0.1", five)), "parsed");
    EXPECT_EQ(operations.size(), 5u);
}

TEST(DecodeResponseTest, EachModeUsesItsOwnDecoder) {
    // The DES sender pads with white space to whole blocks.
    std::string text = Answer("1.0.0.1", "");
    text.resize((text.size() + 7) / 8 * 8, ' ');
    const ByteVector document = Bytes(text);
    ByteVector sealed;
    SecureEncrypt(sealed, document);
    ByteVector plain;
    DecodeResponse(CommEncryptMode::Secure, sealed, plain, "");
    EXPECT_EQ(plain, document);

    ByteVector desSealed;
    DesEcbEncrypt(document, desSealed, kDesKey);
    plain.clear();
    DecodeResponse(CommEncryptMode::Des, desSealed, plain, kDesKey);
    EXPECT_EQ(plain, document);
}

TEST(DecodeResponseTest, UnknownModeAndBadKeyAreRefused) {
    ByteVector plain;
    try {
        DecodeResponse(static_cast<CommEncryptMode>(2), ByteVector(8, 'x'), plain, kDesKey);
        FAIL() << "mode 2 was accepted";
    } catch (const CMessageError& error) {
        EXPECT_EQ(error.Text(),
                  "\xce\xde\xb7\xa8\xca\xb6\xb1\xf0\xb5\xc4\xcd\xa8\xd1\xb6\xbc\xd3\xc3\xdc\xb7"
                  "\xbd\xca\xbd");
    }
    try {
        DecodeResponse(CommEncryptMode::Des, ByteVector(8, 'x'), plain, "short");
        FAIL() << "a short key was accepted";
    } catch (const CMessageError& error) {
        EXPECT_EQ(error.Text(), "\xce\xde\xd0\xa7\xb5\xc4\xc3\xdc\xd4\xbf\xb3\xa4\xb6\xc8!");
    }
}

}  // namespace
