#include "seal_tool.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "core/des_ecb.h"
#include "core/installer_config.h"
#include "core/secure_stream.h"
#include "core/trust_key.h"
#include "core/xml_document.h"
#include "declared_downloads.h"
#include "installation_plan.h"
#include "key_fingerprint.h"
#include "save_name.h"
#include "sha256.h"
#include "terminal_text.h"
#include "test_folder.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

// The installer's texts as GBK bytes, shown as the terminal shows them.
const std::string kDecryptFailed = "\xbd\xe2\xc3\xdc\xca\xa7\xb0\xdc\xa3\xba";
const std::string kReadFailed = "\xb6\xc1\xc8\xa1\xc5\xe4\xd6\xc3\xce\xc4\xbc\xfe\xca\xa7\xb0\xdc";
const std::string kServerMissing = "\xbd\xe2\xce\xf6<Server>\xbd\xda\xb5\xe3\xca\xa7\xb0\xdc";
const std::string kServerEmpty = "<Server>\xbd\xda\xb5\xe3\xc4\xda\xc8\xdd\xce\xaa\xbf\xd5";
const std::string kKeyMissing =
    "\xbb\xf1\xc8\xa1"
    "DES\xc3\xdc\xd4\xbf\xca\xa7\xb0\xdc";
const std::string kKeyLength =
    "\xce\xde\xd0\xa7\xb5\xc4"
    "DES\xc3\xdc\xd4\xbf\xb3\xa4\xb6\xc8";
const std::string kInvalidKeyLength = "\xce\xde\xd0\xa7\xb5\xc4\xc3\xdc\xd4\xbf\xb3\xa4\xb6\xc8!";
const std::string kTrustKeyInvalid = "\xce\xde\xd0\xa7\xb5\xc4\xc7\xa9\xc3\xfb\xb9\xab\xd4\xbf";

// A P-256 public key's TrustKey text and its fingerprint, as the openssl
// command gives them.
constexpr char kTrustKey[] =
    "MFkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDQgAEPJRPpohLwdK5CrPJb28HEHU7uvAqf4hEm/1J7w5LQiaEuhy++"
    "KsxBqyI9ItE69/+SBvj2jVcx+pJXwCyPyeyFg==";
constexpr char kTrustKeyFingerprint[] = "SHA256:NBA/pkbPVkXyp5WLBj/58z6yKHWB0GSlufteQHti+tY";

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome RunTool(std::vector<std::string> arguments) {
    std::ostringstream out, err;
    const int status = RunSealTool(arguments, out, err);
    return {status, out.str(), err.str()};
}

// One line on stderr naming the command, nothing on stdout.
void ExpectFailureLine(const Outcome& outcome, int status, const std::string& command,
                       const std::string& text) {
    EXPECT_EQ(outcome.status, status);
    EXPECT_EQ(outcome.out, "");
    EXPECT_THAT(outcome.err, StartsWith("ruvi-seal: " + command + ": " + text));
    EXPECT_THAT(outcome.err, EndsWith("\n"));
    EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << outcome.err;
}

std::string Sealed(const std::string& text) {
    ByteVector sealed;
    SecureEncrypt(sealed, ByteVector(text.begin(), text.end()));
    return std::string(sealed.begin(), sealed.end());
}

TEST(SealTool, HelpForTheToolAndEachCommand) {
    const Outcome bare = RunTool({});
    EXPECT_EQ(bare.status, 2);
    EXPECT_THAT(bare.err, StartsWith("usage: ruvi-seal COMMAND"));

    const Outcome help = RunTool({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_THAT(help.out, StartsWith("usage: ruvi-seal COMMAND"));

    for (const char* command : {"seal", "open", "make-config", "check-config", "des-encrypt",
                                "keygen", "hash-plan", "layout"}) {
        SCOPED_TRACE(command);
        const Outcome outcome = RunTool({command, "--help"});
        EXPECT_EQ(outcome.status, 0);
        EXPECT_THAT(outcome.out, StartsWith(std::string("usage: ruvi-seal ") + command + " "));
        EXPECT_EQ(outcome.err, "");
    }
}

TEST(SealTool, WrongCommandLinesExitWithTwo) {
    const Outcome unknown = RunTool({"unseal", "a", "b"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err, "ruvi-seal: unknown command: unseal (see 'ruvi-seal --help')\n");

    ExpectFailureLine(RunTool({"seal", "only-one"}), 2, "seal", "wrong number of arguments");
    ExpectFailureLine(RunTool({"open", "a", "b", "c"}), 2, "open", "wrong number of arguments");
    ExpectFailureLine(RunTool({"check-config"}), 2, "check-config", "wrong number of arguments");
    ExpectFailureLine(RunTool({"des-encrypt", "12345678", "in"}), 2, "des-encrypt",
                      "wrong number of arguments");
}

TEST(SealTool, SealAndOpenCarryAnyBytes) {
    const TestFolder folder;
    std::string content(40000, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7 + i / 3);
    for (const std::string& payload : {content, std::string()}) {
        folder.Write("in.bin", payload);
        ASSERT_EQ(RunTool({"seal", folder.PathOf("in.bin"), folder.PathOf("sealed.bin")}).status,
                  0);
        EXPECT_NE(folder.Read("sealed.bin"), payload);
        const Outcome opened =
            RunTool({"open", folder.PathOf("sealed.bin"), folder.PathOf("out.bin")});
        ASSERT_EQ(opened.status, 0) << opened.err;
        EXPECT_EQ(folder.Read("out.bin"), payload);
    }
}

TEST(SealTool, OpenRefusesWhatIsNotASecureStream) {
    const TestFolder folder;
    folder.Write("plain.xml", "<c><Server>u</Server></c>");
    ExpectFailureLine(RunTool({"open", folder.PathOf("plain.xml"), folder.PathOf("out.bin")}), 1,
                      "open", ToTerminal(kDecryptFailed));
    EXPECT_FALSE(folder.Exists("out.bin"));
}

TEST(SealTool, UnreadableInputIsNamed) {
    const TestFolder folder;
    const std::string missing = folder.PathOf("missing.bin");
    ExpectFailureLine(RunTool({"seal", missing, folder.PathOf("out.bin")}), 1, "seal",
                      "cannot read " + missing);
    ExpectFailureLine(RunTool({"des-encrypt", "12345678", missing, folder.PathOf("out.bin")}), 1,
                      "des-encrypt", "cannot read " + missing);
    EXPECT_EQ(folder.EntryCount(), 0u);
}

TEST(SealTool, MadeConfigurationsAreReadByTheInstallerAndShownByCheckConfig) {
    const TestFolder folder;
    const std::string file = folder.PathOf("RUVI.config");
    ASSERT_EQ(RunTool({"make-config", "--server", "http://127.0.0.1:8080/ruvi/", "--des",
                       "k3y!5678", "--untrusted", "-o", file})
                  .status,
              0);
    const Outcome des = RunTool({"check-config", file});
    EXPECT_EQ(des.status, 0);
    EXPECT_EQ(des.out,
              "server: http://127.0.0.1:8080/ruvi/\nmode: DES\nkey: k3y!5678\ntrust key: none\n");

    // Options in any order; the file is replaced.
    ASSERT_EQ(
        RunTool({"make-config", "-o", file, "--untrusted", "--secure", "--server", "http://h/"})
            .status,
        0);
    const Outcome secure = RunTool({"check-config", file});
    EXPECT_EQ(secure.status, 0);
    EXPECT_EQ(secure.out, "server: http://h/\nmode: Secure\ntrust key: none\n");

    CXmlRuntime runtime;
    CInstallerConfig config;
    config.LoadConfig(file, true);
    EXPECT_EQ(config.serverUrl, "http://h/");
    EXPECT_EQ(config.encryptionMode, CommEncryptMode::Secure);
}

TEST(SealTool, ConfigurationTextsAreStoredInGbk) {
    const TestFolder folder;
    const std::string file = folder.PathOf("RUVI.config");
    // As typed on this platform's terminal: 中文 and the key 密钥密钥.
    const std::string server = ToTerminal("http://\xd6\xd0\xce\xc4/");
    const std::string key = ToTerminal("\xc3\xdc\xd4\xbf\xc3\xdc\xd4\xbf");
    ASSERT_EQ(RunTool({"make-config", "--server", server, "--des", key, "--untrusted", "-o", file})
                  .status,
              0);

    CXmlRuntime runtime;
    CInstallerConfig config;
    config.LoadConfig(file, true);
    EXPECT_EQ(config.serverUrl, "http://\xd6\xd0\xce\xc4/");
    EXPECT_EQ(config.desKey, "\xc3\xdc\xd4\xbf\xc3\xdc\xd4\xbf");
    EXPECT_EQ(RunTool({"check-config", file}).out,
              "server: " + server + "\nmode: DES\nkey: " + key + "\ntrust key: none\n");
}

TEST(SealTool, MakeConfigRefusesWithTheInstallersReasonsAndKeepsTheOldFile) {
    const TestFolder folder;
    folder.Write("RUVI.config", "old");
    const std::string file = folder.PathOf("RUVI.config");
    ExpectFailureLine(
        RunTool({"make-config", "--server", "", "--secure", "--untrusted", "-o", file}), 1,
        "make-config", ToTerminal(kServerEmpty));
    for (const char* key : {"1234567", "123456789", "\n12345678"}) {
        ExpectFailureLine(
            RunTool({"make-config", "--server", "u/", "--des", key, "--untrusted", "-o", file}), 1,
            "make-config", ToTerminal(kKeyLength));
    }
    ExpectFailureLine(
        RunTool({"make-config", "--server", "u/", "--des", "", "--untrusted", "-o", file}), 1,
        "make-config", ToTerminal(kKeyMissing));
    ExpectFailureLine(RunTool({"make-config", "--server",
                               "a\x01"
                               "b",
                               "--secure", "--untrusted", "-o", file}),
                      1, "make-config",
                      "a configuration cannot hold control characters: --server\n");
    ExpectFailureLine(RunTool({"make-config", "--server", "u/", "--des",
                               "1234\x1b"
                               "567",
                               "--untrusted", "-o", file}),
                      1, "make-config", "a configuration cannot hold control characters: --des\n");
    EXPECT_EQ(folder.Read("RUVI.config"), "old");
    EXPECT_EQ(folder.EntryCount(), 1u);
}

TEST(SealTool, MakeConfigOptionMistakesExitWithTwo) {
    const std::vector<std::vector<std::string>> mistakes = {
        {"--des", "12345678", "-o", "f"},
        {"--server", "u", "-o", "f"},
        {"--server", "u", "--des", "12345678", "--secure", "-o", "f"},
        {"--server", "u", "--secure"},
        {"--server", "u", "--server", "v", "--secure", "-o", "f"},
        {"--server", "u", "--secure", "--secure", "-o", "f"},
        {"--server", "u", "--secure", "-o"},
        {"--server", "u", "--secure", "-o", "f", "--verbose"},
        {"--server", "u", "--secure", "-o", "f", "extra"},
        {"--server", "u", "--secure", "-o", "f", "--untrusted", "--trust-key", kTrustKey},
    };
    for (const auto& options : mistakes) {
        std::vector<std::string> arguments = {"make-config"};
        if (std::find(options.begin(), options.end(), "--trust-key") == options.end()) {
            arguments.push_back("--untrusted");  // so that only the mistake is wrong
        }
        arguments.insert(arguments.end(), options.begin(), options.end());
        const Outcome outcome = RunTool(arguments);
        EXPECT_EQ(outcome.status, 2) << outcome.err;
        EXPECT_THAT(outcome.err, HasSubstr("(see 'ruvi-seal make-config --help')\n"));
    }
}

// Without a key any answer is taken, so whoever answers in the server's
// place runs programs as administrator: the operator has to say so.
TEST(SealTool, MakeConfigWritesAConfigurationWithoutATrustKeyOnlyWhenToldItIsMeant) {
    const TestFolder folder;
    const std::string file = folder.PathOf("RUVI.config");
    for (const char* key : {static_cast<const char*>(""), static_cast<const char*>(nullptr)}) {
        std::vector<std::string> arguments = {"make-config", "--server", "u/",
                                              "--secure",    "-o",       file};
        if (key != nullptr) arguments.insert(arguments.end(), {"--trust-key", key});
        const Outcome refused = RunTool(arguments);
        EXPECT_EQ(refused.status, 2);
        EXPECT_EQ(refused.out, "");
        EXPECT_EQ(refused.err,
                  "ruvi-seal: make-config: a configuration without a trust key lets anyone on the "
                  "network run programs as administrator; pass --untrusted to write one anyway\n");
        EXPECT_FALSE(folder.Exists("RUVI.config"));
    }
    ASSERT_EQ(
        RunTool({"make-config", "--server", "u/", "--secure", "--untrusted", "-o", file}).status,
        0);
    EXPECT_EQ(RunTool({"check-config", file}).out, "server: u/\nmode: Secure\ntrust key: none\n");
}

TEST(SealTool, CheckConfigShowsTheInstallersFailureText) {
    const TestFolder folder;
    const std::string sealed = Sealed("<c><Server>u/</Server><Encrypt Type=\"S\"/></c>");
    folder.Write("truncated.config", sealed.substr(0, sealed.size() - 8));
    ExpectFailureLine(RunTool({"check-config", folder.PathOf("truncated.config")}), 1,
                      "check-config",
                      ToTerminal(kDecryptFailed) + "Integrality of the stream is broken\n");

    folder.Write("no-server.config", Sealed("<c><Encrypt Type=\"S\"/></c>"));
    ExpectFailureLine(RunTool({"check-config", folder.PathOf("no-server.config")}), 1,
                      "check-config", ToTerminal(kServerMissing) + "\n");

    ExpectFailureLine(RunTool({"check-config", folder.PathOf("missing.config")}), 1, "check-config",
                      ToTerminal(kReadFailed) + "\n");
}

TEST(SealTool, DesEncryptPadsWithSpacesToWholeGroups) {
    const TestFolder folder;
    const std::string key = "\xc3\xdc\xd4\xbf\xc3\xdc\xd4\xbf";
    for (const std::string& plain :
         {std::string("hello"), std::string("12345678"), std::string("<Answer/>")}) {
        SCOPED_TRACE(plain);
        folder.Write("in.xml", plain);
        ASSERT_EQ(RunTool({"des-encrypt", ToTerminal(key), folder.PathOf("in.xml"),
                           folder.PathOf("out.bin")})
                      .status,
                  0);
        const std::string encrypted = folder.Read("out.bin");
        ByteVector decrypted;
        DesEcbDecrypt(ByteVector(encrypted.begin(), encrypted.end()), decrypted, key);
        std::string expected = plain;
        expected.resize((plain.size() + 7) / 8 * 8, ' ');
        EXPECT_EQ(std::string(decrypted.begin(), decrypted.end()), expected);
    }
}

TEST(SealTool, DesEncryptRefusesBadKeysAndEmptyInput) {
    const TestFolder folder;
    folder.Write("in.xml", "<Answer/>");
    ExpectFailureLine(
        RunTool({"des-encrypt", "1234567", folder.PathOf("in.xml"), folder.PathOf("out.bin")}), 1,
        "des-encrypt", ToTerminal(kInvalidKeyLength) + "\n");
    folder.Write("empty.xml", "");
    ExpectFailureLine(
        RunTool({"des-encrypt", "12345678", folder.PathOf("empty.xml"), folder.PathOf("out.bin")}),
        1, "des-encrypt", "nothing to encrypt");
    EXPECT_FALSE(folder.Exists("out.bin"));
}

// A plan written by hand: a GBK label, comments, CDATA, markup characters in
// attribute values, tabs, one operation on one line.
constexpr char kHandWrittenPlan[] =
    "<?xml version=\"1.0\" encoding=\"GBK\"?>\n"
    "<!-- the demo plan -->\n"
    "<RUVResponse>\n"
    "  <VersionLimit>1.0.0.1</VersionLimit>\n"
    "  <OperationList>\n"
    "    <Operation ModuleName=\"UserCheck\" ModuleLabel=\"检查\" Type=\"7\"/>\n"
    "    <Operation ModuleName=\"FileDownload\" ModuleLabel=\"下载>\" Type=\"1\" Timeout=\"9s\">\n"
    "      <URL>files/setup.exe</URL>\n"
    "      <SaveName>setup.exe</SaveName>\n"
    "    </Operation>\n"
    "    <Operation ModuleName=\"SetupRun\" ModuleLabel=\'a \"b\" >\' Type=\"2\" Timeout=\"9s\">"
    "<ExecName>SETUP.EXE</ExecName><!-- <Sha256/> --></Operation>\n"
    "    <Operation ModuleName=\"FileDownload\" Type=\"1\" Timeout=\"9s\">\n"
    "\t<URL>files/v2/tool.bin</URL>\t<Sha256>00</Sha256><![CDATA[<Size>1</Size>]]>\n"
    "\t<Size/>\n"
    "    </Operation>\n"
    "    <Operation ModuleName=\"FileDownload\"><URL>http://example.com/x.exe</URL></Operation>\n"
    "  </OperationList>\n"
    "</RUVResponse>\n";

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(SealTool, HashPlanFillsTheDeclaredHashesAndKeepsEveryOtherByte) {
    const TestFolder folder;
    const std::string setup(5000, 'S');
    folder.Write("files/setup.exe", setup);
    folder.Write("files/v2/tool.bin", "tool");
    folder.Write("plan.xml", kHandWrittenPlan);
    const std::string setupHash = HexOf(Sha256(ByteVector(setup.begin(), setup.end())));
    const std::string toolHash = HexOf(Sha256(ByteVector{'t', 'o', 'o', 'l'}));

    std::string expected = Replaced(kHandWrittenPlan, "<SaveName>setup.exe</SaveName>\n",
                                    "<SaveName>setup.exe</SaveName>\n      <Sha256>" + setupHash +
                                        "</Sha256>\n      <Size>5000</Size>\n");
    expected = Replaced(expected, "</ExecName>", "</ExecName><Sha256>" + setupHash + "</Sha256>");
    expected = Replaced(expected, "<Sha256>00</Sha256>", "<Sha256>" + toolHash + "</Sha256>");
    expected = Replaced(expected, "<Size/>", "<Size>4</Size>");
    const std::string report =
        "files/setup.exe: 5000 bytes, SHA-256 " + setupHash + "\nSetupRun SETUP.EXE: SHA-256 " +
        setupHash + "\nfiles/v2/tool.bin: 4 bytes, SHA-256 " + toolHash +
        "\nhttp://example.com/x.exe: left as it is (another server's file)\n";

    for (int run = 1; run <= 2; ++run) {  // the second run changes nothing
        SCOPED_TRACE(run);
        const Outcome outcome = RunTool({"hash-plan", folder.PathOf("")});
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_EQ(outcome.out, report);
        EXPECT_EQ(folder.Read("plan.xml"), expected);
        EXPECT_EQ(folder.EntryCount(), 2u);  // plan.xml and files/
    }

    // What the server checks at start-up passes.
    CXmlRuntime runtime;
    const CInstallationPlan plan = LoadInstallationPlan(folder.PathOf(""));
    CFileFactsCache files;
    EXPECT_NO_THROW(CheckDeclaredDownloads(
        plan, LocalDownloads(plan, folder.PathOf(""), kDefaultBasePath, nullptr), files));
}

TEST(SealTool, HashPlanRefusesPlansItCannotEditInPlace) {
    std::string utf16 = "\xff\xfe";
    for (const char c : std::string("<R><VersionLimit>1</VersionLimit><OperationList/></R>")) {
        utf16 += c;
        utf16 += '\0';
    }
    const struct {
        std::string plan;
        std::string failure;
    } cases[] = {
        {"<!DOCTYPE R [<!ELEMENT R ANY><!ELEMENT VersionLimit ANY><!ELEMENT OperationList ANY>]>"
         "<R><VersionLimit>1</VersionLimit><OperationList/></R>",
         "plan.xml has a DOCTYPE"},
        {utf16, "plan.xml must be UTF-8 or GBK"},
        {"<R><VersionLimit>1</VersionLimit><OperationList><Operation ModuleName=\"FileDownload\">"
         "<URL>files/missing.exe</URL></Operation></OperationList></R>",
         "which is not a file"},
        {"<R><VersionLimit>1</VersionLimit>", "not well-formed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failure);
        const TestFolder folder;
        folder.Write("files/a", "a");
        folder.Write("plan.xml", c.plan);
        const Outcome outcome = RunTool({"hash-plan", folder.PathOf("")});
        EXPECT_EQ(outcome.status, 1);
        EXPECT_THAT(outcome.err, HasSubstr(c.failure));
        EXPECT_EQ(folder.Read("plan.xml"), c.plan);
    }
}

TEST(SealTool, MakeConfigPinsATrustKeyGivenAsTextAndCheckConfigShowsItsFingerprint) {
    const TestFolder folder;
    const std::string file = folder.PathOf("RUVI.config");
    ASSERT_EQ(RunTool({"make-config", "--server", "https://h/", "--secure", "--trust-key",
                       kTrustKey, "-o", file})
                  .status,
              0);
    EXPECT_EQ(
        RunTool({"check-config", file}).out,
        std::string("server: https://h/\nmode: Secure\ntrust key: ") + kTrustKeyFingerprint + "\n");
    CXmlRuntime runtime;
    CInstallerConfig config;
    config.LoadConfig(file, true);
    EXPECT_EQ(config.trustKey, *ParseTrustKey(kTrustKey));

    // The installer's reason for what it would refuse; the tool's for a key
    // off the curve, which the installer would take and never verify.
    folder.Write("RUVI.config", "old");
    std::string offCurve = kTrustKey;
    offCurve[100] = offCurve[100] == 'A' ? 'B' : 'A';
    ExpectFailureLine(RunTool({"make-config", "--server", "u/", "--secure", "--trust-key",
                               std::string(kTrustKey) + "\n", "-o", file}),
                      1, "make-config", ToTerminal(kTrustKeyInvalid) + "\n");
    ExpectFailureLine(RunTool({"make-config", "--server", "u/", "--secure", "--trust-key",
                               std::string(kTrustKey).substr(4), "-o", file}),
                      1, "make-config", ToTerminal(kTrustKeyInvalid) + "\n");
    ExpectFailureLine(
        RunTool({"make-config", "--server", "u/", "--secure", "--trust-key", offCurve, "-o", file}),
        1, "make-config", "--trust-key is not a point of the P-256 curve");
    ExpectFailureLine(RunTool({"make-config", "--server", "u/", "--secure", "--trust-key",
                               kTrustKey, "--trust-key-file", "k.pem", "-o", file}),
                      2, "make-config", "give at most one of --trust-key and --trust-key-file");
    EXPECT_EQ(folder.Read("RUVI.config"), "old");
}

// A plan of three downloads, one from a sub-folder, one under the default
// save name, one fetching the same file again under another case of its
// name; and one more operation that is no download.
constexpr char kLayoutPlan[] =
    "<R><VersionLimit>1.0.0.1</VersionLimit><OperationList>"
    "<Operation ModuleName=\"UserCheck\" Type=\"7\"/>"
    "<Operation ModuleName=\"FileDownload\"><URL>files/setup.exe</URL>"
    "<SaveName>setup.exe</SaveName><Size>5</Size></Operation>"
    "<Operation ModuleName=\"FileDownload\"><URL>files/v2/tool.bin</URL></Operation>"
    "<Operation ModuleName=\"FileDownload\"><URL>files/setup.exe</URL>"
    "<SaveName>SETUP.exe</SaveName></Operation>"
    "</OperationList></R>";

class SealToolLayout : public ::testing::Test {
protected:
    SealToolLayout() {
        plan_.Write("plan.xml", kLayoutPlan);
        plan_.Write("files/setup.exe", "setup");
        plan_.Write("files/v2/tool.bin", "tool");
    }
    Outcome Layout(std::vector<std::string> options) const {
        std::vector<std::string> arguments = {"layout", plan_.PathOf(""), "-o", layout_.PathOf("")};
        arguments.insert(arguments.end(), options.begin(), options.end());
        return RunTool(arguments);
    }
    std::string Opened(const std::string& name) const {
        const std::string sealed = layout_.Read(name);
        ByteVector plain;
        SecureDecrypt(ByteVector(sealed.begin(), sealed.end()), plain);
        return std::string(plain.begin(), plain.end());
    }

    TestFolder plan_;
    TestFolder layout_;
};

TEST_F(SealToolLayout, HoldsTheAnswerAsTheServerSealsItAndTheFilesBySaveName) {
    const Outcome made = Layout({});
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(Opened("answer"), kLayoutPlan);
    EXPECT_EQ(layout_.Read("files/setup.exe"), "setup");
    EXPECT_EQ(layout_.Read("files/RUV_installer.EXE"), "tool");
    EXPECT_FALSE(layout_.Exists("answer.nonce"));
    EXPECT_EQ(layout_.EntryCount(), 2u);  // answer, files/
    EXPECT_EQ(made.out, "answer: " + std::to_string(layout_.Read("answer").size()) +
                            " bytes\nfiles/setup.exe: 5 bytes\nfiles/RUV_installer.EXE: 4 bytes\n");

    // DES, as the server seals it: the plan padded with spaces.
    ASSERT_EQ(Layout({"--mode", "des", "--des-key", "k3y!5678"}).status, 0);
    const std::string sealed = layout_.Read("answer");
    ByteVector plain;
    DesEcbDecrypt(ByteVector(sealed.begin(), sealed.end()), plain, "k3y!5678");
    std::string padded = kLayoutPlan;
    padded.resize((padded.size() + 7) / 8 * 8, ' ');
    EXPECT_EQ(std::string(plain.begin(), plain.end()), padded);
}

TEST_F(SealToolLayout, RefusesWhatNoInstallerCouldRunAndLeavesTheOldLayoutAsItWas) {
    ASSERT_EQ(Layout({}).status, 0);
    const std::string answer = layout_.Read("answer");
    const std::string plan = kLayoutPlan;
    const struct {
        std::string plan;
        std::string failure;
    } cases[] = {
        {Replaced(plan, "files/v2/tool.bin", "files/v2/missing.bin"), "which is not a file"},
        {Replaced(plan, "files/v2/tool.bin", "http://cdn.example.com/tool.bin"),
         "a layout holds only the plan folder's files (URL files/NAME), not the download URL "
         "\"http://cdn.example.com/tool.bin\""},
        {Replaced(plan, "<Size>5</Size>", "<Size>6</Size>"), "has 5 bytes, but"},
        {Replaced(plan, "files/setup.exe</URL><SaveName>SETUP",
                  "files/v2/tool.bin</URL><SaveName>SETUP"),
         "two downloads save different files under the name \"SETUP.exe\""},
        {Replaced(plan, "<SaveName>setup.exe", "<SaveName>../setup.exe"),
         "a download's save name must be a plain file name, not \"../setup.exe\""},
        {Replaced(plan, "<SaveName>setup.exe", "<SaveName>CON.exe"), "not \"CON.exe\""},
        {Replaced(plan, "<SaveName>setup.exe", "<SaveName>setup.exe."), "not \"setup.exe.\""},
        {"<R><VersionLimit>1.0.0.1</VersionLimit>", "not well-formed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failure);
        plan_.Write("plan.xml", c.plan);
        const Outcome refused = Layout({});
        EXPECT_EQ(refused.status, 1);
        EXPECT_THAT(refused.err, HasSubstr(c.failure));
        EXPECT_EQ(layout_.Read("answer"), answer);
        EXPECT_EQ(layout_.EntryCount(), 2u);
        EXPECT_EQ(TestFolder::CountIn(layout_.PathOf("files")), 2u);
    }
    std::filesystem::remove(plan_.PathOf("plan.xml"));
    EXPECT_THAT(Layout({}).err, HasSubstr("cannot read"));
}

TEST_F(SealToolLayout, OptionMistakesExitWithTwo) {
    const std::vector<std::vector<std::string>> mistakes = {
        {"layout", "plan"},
        {"layout", "-o", "out"},
        {"layout", "plan", "other", "-o", "out"},
        {"layout", "plan", "-o", "out", "--mode", "aes"},
        {"layout", "plan", "-o", "out", "--mode", "des"},
        {"layout", "plan", "-o", "out", "--des-key", "k3y!5678"},
        {"layout", "plan", "-o", "out", "--mode", "des", "--des-key", "1234567"},
        {"layout", "plan", "-o", "out", "--signing-key"},
        {"layout", "plan", "-o", "out", "--verbose"},
    };
    for (const auto& arguments : mistakes) {
        const Outcome outcome = RunTool(arguments);
        EXPECT_EQ(outcome.status, 2) << outcome.err;
        EXPECT_THAT(outcome.err, HasSubstr("(see 'ruvi-seal layout --help')\n"));
    }
}

TEST(SaveName, OnlyNamesOfOneFileInAFolderArePlain) {
    const std::string plain[] = {"setup.exe",
                                 "RUV_installer.EXE",
                                 "a b.exe",
                                 ".hidden",
                                 "\xb0\xb2\xd7\xb0.exe",  // 安装 in GBK
                                 "\x95\x5c.exe"};         // a GBK character ending in 0x5C
    for (const std::string& name : plain) EXPECT_TRUE(IsPlainSaveName(name)) << name;
    const std::string refused[] = {"",
                                   "..",
                                   ".",
                                   "a/b",
                                   "a\\b",
                                   "C:x.exe",
                                   "x.exe:s",
                                   "*.exe",
                                   "a?",
                                   "\"q\"",
                                   "<x>",
                                   "a|b",
                                   "x.exe.",
                                   "x ",
                                   "tab\t",
                                   "CON",
                                   "nul.txt",
                                   "Com1.exe",
                                   "LPT9",
                                   "aux .log",
                                   "\xb0",
                                   "\xb0\x30",
                                   std::string(201, 'a')};
    for (const std::string& name : refused) EXPECT_FALSE(IsPlainSaveName(name)) << name;
}

#ifdef _WIN32

TEST(SealTool, KeyFilesAreOnlyInTheLinuxBuild) {
    const TestFolder folder;
    ExpectFailureLine(RunTool({"keygen", "-o", folder.PathOf("key.pem")}), 1, "keygen",
                      "keygen is only in the Linux build of ruvi-seal (it needs OpenSSL)\n");
    ExpectFailureLine(RunTool({"make-config", "--server", "u/", "--secure", "--trust-key-file",
                               folder.PathOf("key.pem"), "-o", folder.PathOf("RUVI.config")}),
                      1, "make-config", "--trust-key-file is only in the Linux build");
    folder.Write("plan/plan.xml", "<R><VersionLimit>1</VersionLimit><OperationList/></R>");
    ExpectFailureLine(RunTool({"layout", folder.PathOf("plan"), "-o", folder.PathOf("layout"),
                               "--signing-key", folder.PathOf("key.pem")}),
                      1, "layout", "--signing-key is only in the Linux build");
    EXPECT_EQ(folder.EntryCount(), 1u);  // plan
}

#else

TEST(SealTool, KeygenWritesAnOwnerOnlyKeyOnceAndPrintsTheTrustKeyOfItsPublicPart) {
    const TestFolder folder;
    const std::string key = folder.PathOf("key.pem");
    const Outcome made = RunTool({"keygen", "-o", key});
    ASSERT_EQ(made.status, 0) << made.err;
    ASSERT_THAT(made.out, EndsWith("\n"));
    const auto point = ParseTrustKey(made.out.substr(0, made.out.size() - 1));
    ASSERT_TRUE(point) << made.out;
    struct stat status {};
    ASSERT_EQ(stat(key.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0600u);

    const std::string pem = folder.Read("key.pem");
    ExpectFailureLine(RunTool({"keygen", "-o", key}), 1, "keygen",
                      "a key is never replaced; remove it first: " + key + "\n");
    EXPECT_EQ(folder.Read("key.pem"), pem);
    EXPECT_EQ(folder.EntryCount(), 1u);

    // Its public part, read back from the key file, is what was printed.
    const std::string config = folder.PathOf("RUVI.config");
    ASSERT_EQ(RunTool({"make-config", "--server", "u/", "--secure", "--trust-key-file", key, "-o",
                       config})
                  .status,
              0);
    EXPECT_THAT(RunTool({"check-config", config}).out,
                EndsWith("trust key: " + KeyFingerprint(*point) + "\n"));
    ExpectFailureLine(RunTool({"make-config", "--server", "u/", "--secure", "--trust-key-file",
                               config, "-o", config}),
                      1, "make-config", config + ": not an ECDSA P-256 key in PEM form\n");
}

#endif

}  // namespace
