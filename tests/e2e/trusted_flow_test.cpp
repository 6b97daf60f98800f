// Trusted installs as a user meets them: a signed answer over https, files
// that must be what the answer declared, and the answers and servers that
// the installer refuses like an unreachable one.
#include <gtest/gtest.h>

#include <filesystem>

#include "installer_flow.h"
#include "net/http_client.h"
#include "operation_test_support.h"
#include "resources/resource_ids.h"
#include "trusted_root.h"

using ops_test::ReadTestFile;
using ops_test::Sha256HexOf;
using ops_test::TestFolder;
using ops_test::WaitUntil;
using ops_test::WindowsPathOf;
using ops_test::WriteTestFile;

namespace {

constexpr char kSetupName[] = "RUVSetup.exe";
// "服务器应答签名无效", as the log has it.
constexpr char kSignatureInvalidUtf8[] =
    "\xe6\x9c\x8d\xe5\x8a\xa1\xe5\x99\xa8\xe5\xba\x94\xe7\xad\x94\xe7\xad\xbe\xe5\x90\x8d\xe6"
    "\x97\xa0\xe6\x95\x88";
// No product is installed, and a run from a layout reports nothing.
constexpr DWORD kNothingToLaunchUnreported = 602;

// The setup program fixture, as plans serve it.
std::string SetupProgram() { return ReadTestFile(WindowsPathOf(RUVI_SETUP_PROGRAM)); }

// A download and a setup run of kSetupName, declaring the fixture's size and
// hash, as ruvi-seal hash-plan writes them.
std::string DeclaredDownloadAndSetup() {
    const std::string program = SetupProgram();
    const std::string sha256 = "<Sha256>" + Sha256HexOf(program) + "</Sha256>";
    return Operation("FileDownload", "Download",
                     std::string("<URL>files/") + kSetupName + "</URL><SaveName>" + kSetupName +
                         "</SaveName><Size>" + std::to_string(program.size()) + "</Size>" +
                         sha256) +
           Operation("SetupRun", "Setup",
                     std::string("<ExecName>") + kSetupName + "</ExecName>" + sha256);
}

class TrustedFlowTest : public InstallerFlowTest {
protected:
    TrustedFlowTest() {
        std::filesystem::create_directories(workFolder);
        RemoveWorkFiles();
    }
    ~TrustedFlowTest() override { RemoveWorkFiles(); }

    // A ruvi-server of the plan, signing its answers with key.
    RuviServer StartSigned(const std::string& operations, const SigningKey& signer,
                           RuviServerSettings settings = {}) {
        plan.Write(PlanDocument(operations));
        plan.AddSetupProgram(kSetupName);
        settings.signingKey = signer.privateKeyUnixPath;
        return services.StartRuviServer(plan.Shared().unixPath, settings);
    }

    // The installer's work folder, where downloads go and run.
    std::string WorkFile(const std::string& name) const { return workFolder + "\\" + name; }
    bool Exists(const std::string& name) const { return std::filesystem::exists(WorkFile(name)); }

    SigningKey key = services.MakeSigningKey();
    const std::string workFolder = installed.WorkFolder();

private:
    void RemoveWorkFiles() const {
        for (const std::string name : {kSetupName, "RUVSetup.exe.mark"}) {
            std::filesystem::remove(WorkFile(name));
        }
    }
};

TEST_F(TrustedFlowTest, ASignedInstallOverHttpsRunsTheDeclaredProgramNotALongerCachedFile) {
    const TlsCertificate certificate = services.MakeTlsCertificate();
    const ScopedTrustedRoot trusted(certificate.caCertDerPath);
    server.emplace(
        StartSigned(DeclaredDownloadAndSetup(), key, RuviServerSettings().Tls(certificate)));
    ASSERT_EQ(server->url.rfind("https://", 0), 0u);
    installed.Configure(server->url, key.trustKey);
    // Left by an earlier download of other bytes: resumed, it would keep
    // them; it has to go.
    WriteTestFile(WorkFile(kSetupName), SetupProgram() + std::string(5000, 'x'));

    Start();
    const HWND window = MainWindow();
    ASSERT_TRUE(WaitForRunEnd(window));
    Screenshot("succeeded", window);
    EXPECT_EQ(RowIcons(window, 0), "P3");
    EXPECT_EQ(RowIcons(window, 1), "P3");
    EXPECT_TRUE(control::Visible(window, IDOK));
    EXPECT_TRUE(Exists("RUVSetup.exe.mark"));
    EXPECT_FALSE(Exists(kSetupName));
}

TEST_F(TrustedFlowTest, ADownloadThatIsNotWhatWasDeclaredFailsItsRowAndIsNeverRun) {
    server.emplace(StartSigned(DeclaredDownloadAndSetup(), key));
    installed.Configure(server->url, key.trustKey);
    // Changed after the server checked its plan: same size, other bytes.
    std::string tampered = SetupProgram();
    tampered[tampered.size() / 2] ^= 0x01;
    plan.Shared().WriteFile(std::string("files/") + kSetupName, tampered);

    Start();
    const HWND window = MainWindow();
    ASSERT_TRUE(WaitForRunEnd(window));
    EXPECT_EQ(RowIcons(window, 0), "P2");
    EXPECT_EQ(RowIcons(window, 1), "P2");  // nothing left to run
    EXPECT_FALSE(Exists(kSetupName));
    EXPECT_FALSE(Exists("RUVSetup.exe.mark"));
}

TEST_F(TrustedFlowTest, AnswersTheTrustKeyDidNotSignForThisRequestAndUntrustedServersArePrompted) {
    const std::string operations = UserCheck("Admin");
    const SigningKey otherKey = services.MakeSigningKey();
    const RuviServer otherSigner = StartSigned(operations, otherKey);

    // A true answer, signed by the trust key, but for another request.
    const RuviServer signer = StartSigned(operations, key);
    HttpClient recorder;
    recorder.extraHeaders = "X-Ruvi-Nonce: 0123456789abcdef0123456789abcdef\r\n";
    recorder.keptHeaderName = "X-Ruvi-Signature";
    recorder.Post(signer.url + "ruvinstall", nullptr, {});
    ASSERT_TRUE(recorder.responseHeader.has_value());
    const CannedAnswer replay =
        services.ServeCanned(200, std::string(recorder.response.begin(), recorder.response.end()),
                             "X-Ruvi-Signature: " + *recorder.responseHeader + "\r\n");

    // Signed by the trust key, over TLS with a certificate of a CA that the
    // system does not know.
    const RuviServer unknownCa =
        StartSigned(operations, key, RuviServerSettings().Tls(services.MakeTlsCertificate()));

    const struct {
        const char* name;
        std::string url;
    } cases[] = {
        {"signed by another key", otherSigner.url},
        {"a replayed answer", replay.url},
        {"an untrusted certificate", unknownCa.url},
    };
    for (const auto& c : cases) {
        installed.Configure(c.url, key.trustKey);
        ExpectOnlyTheProxyPrompt(c.name);
    }
}

TEST_F(TrustedFlowTest, ALayoutMadeOnlineRunsWithTheServerGoneButNotWithAnAnswerChanged) {
    server.emplace(StartSigned(DeclaredDownloadAndSetup(), key));
    installed.Configure(server->url, key.trustKey);
    const TestFolder layouts("layouts");
    const std::string layout = layouts.PathOf("made here");  // missing: created
    const auto layoutFile = [&](const std::string& name) {
        return ReadTestFile(layout + "\\" + name);
    };
    // Each run ends on its own, and shows nothing.
    const auto run = [&](const std::string& arguments) {
        return RunShowingNothing(arguments, arguments);
    };

    ASSERT_EQ(run("\"/layout:" + layout + "\""), 0u) << InstallLog();
    const std::string nonce = layoutFile("answer.nonce");
    EXPECT_EQ(nonce.size(), 33u);
    EXPECT_EQ(nonce.find_first_not_of("0123456789abcdef"), 32u) << nonce;
    EXPECT_TRUE(layoutFile("answer.signature").ends_with("\n"));
    EXPECT_FALSE(layoutFile("answer").empty());
    EXPECT_TRUE(layoutFile(std::string("files\\") + kSetupName) == SetupProgram());
    // Nothing ran, and the work folder kept no copy.
    EXPECT_FALSE(Exists(kSetupName));
    EXPECT_FALSE(Exists("RUVSetup.exe.mark"));

    server.reset();
    // The lines as another tool may write them: no line feed at the end.
    WriteTestFile(layout + "\\answer.nonce", nonce.substr(0, 32));
    EXPECT_EQ(run("/silent /launch \"/source:" + layout + "\""), kNothingToLaunchUnreported);
    EXPECT_TRUE(Exists("RUVSetup.exe.mark"));
    const std::string log = InstallLog();
    EXPECT_NE(log.find(" signature=\"valid\""), std::string::npos) << log;
    EXPECT_NE(log.find(" report=\"not-sent\""), std::string::npos) << log;

    std::filesystem::remove(WorkFile("RUVSetup.exe.mark"));
    std::string answer = layoutFile("answer");
    answer[answer.size() / 2] ^= 0x01;
    WriteTestFile(layout + "\\answer", answer);
    EXPECT_EQ(run("/silent \"/source:" + layout + "\""), 1u);
    EXPECT_NE(InstallLog().find(kSignatureInvalidUtf8), std::string::npos) << InstallLog();
    EXPECT_FALSE(Exists("RUVSetup.exe.mark"));
}

}  // namespace
