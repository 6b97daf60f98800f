// Downloads with mirrors: plain HTTP servers (here the shipped nginx
// configuration's mirror, and the services host's scripted answers) tried
// in order before the server's own protocol, each resuming where the one
// before broke off, and the server's protocol having the last word when the
// bytes are not the declared file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "installer_flow.h"
#include "operation_test_support.h"
#include "scripted_pattern.h"

using ops_test::ReadTestFile;
using ops_test::Sha256HexOf;
using ops_test::WaitUntil;

namespace {

constexpr char kFileName[] = "large.bin";
constexpr std::size_t kFileSize = 1 << 20;
// Where the services host's cut-off answer stops, and where the next
// source resumes: its last whole KiB.
constexpr std::size_t kCutAfter = 300000;
constexpr std::size_t kResumedAt = kCutAfter / 1024 * 1024;
constexpr unsigned kRunLimitMs = 60000;

std::string FileBytes() {
    std::string bytes(kFileSize, '\0');
    for (std::size_t i = 0; i < kFileSize; ++i) bytes[i] = ScriptedByte(i);
    return bytes;
}

// The log line's fields up to its time, which no test can know.
std::string SourceLine(const std::string& url, std::size_t offset, int status, std::size_t bytes) {
    return "download-source label=\"Download\" url=\"" + url +
           "\" offset=" + std::to_string(offset) + " status=" + std::to_string(status) +
           " bytes=" + std::to_string(bytes) + " milliseconds=";
}

class MirrorFlowTest : public InstallerFlowTest {
protected:
    MirrorFlowTest() { plan.Shared().WriteFile(std::string("files/") + kFileName, file); }
    ~MirrorFlowTest() override { std::filesystem::remove(cached); }

    // A download of the file that declares it, from these mirrors first.
    std::string MirroredDownload(const std::vector<std::string>& mirrors) const {
        std::string children = std::string("<URL>files/") + kFileName + "</URL><SaveName>" +
                               kFileName + "</SaveName><Size>" + std::to_string(kFileSize) +
                               "</Size><Sha256>" + Sha256HexOf(file) + "</Sha256>";
        for (const std::string& mirror : mirrors) children += "<Mirror>" + mirror + "</Mirror>";
        return Operation("FileDownload", "Download", children, "Block=\"true\"");
    }

    const std::string file = FileBytes();
    // Nothing goes to its upstream: it serves the plan's files as a mirror.
    NginxProxy nginx =
        services.StartNginx({UnusedLoopbackPort()}, 0, plan.Shared().unixPath + "/files");
    const std::string nginxMirror = nginx.url + "files/" + kFileName;
    const std::string cached = installed.WorkFolder() + "\\" + kFileName;
};

TEST_F(MirrorFlowTest, SourcesAreTriedInOrderEachResumingAndTheServerHasTheLastWord) {
    const std::string down =
        "http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + "/files/" + kFileName;
    const std::string cut =
        services.ScriptedUrl("cut/" + std::to_string(kFileSize) + "/" + std::to_string(kCutAfter));
    std::string wrong = file;
    wrong[kFileSize / 2] ^= 1;
    const CannedAnswer wrongMirror = services.ServeCanned(200, wrong);
    const std::string wrongUrl = wrongMirror.url + kFileName;
    struct Case {
        const char* name;
        std::vector<std::string> mirrors;
        std::vector<std::string> lines;  // the download-source lines, in order
    };
    const auto origin = [&] { return server->url + "files/" + kFileName; };
    const Case cases[] = {
        {"the first mirror down",
         {down, nginxMirror},
         {SourceLine(down, 0, 0, 0), SourceLine(nginxMirror, 0, 200, kFileSize)}},
        {"a mirror that breaks off, the next resuming",
         {cut, nginxMirror},
         {SourceLine(cut, 0, 200, kCutAfter),
          SourceLine(nginxMirror, kResumedAt, 206, kFileSize - kResumedAt)}},
        // Deleted after the check, the file comes whole from the server.
        {"a mirror that serves other bytes", {wrongUrl}, {}},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(cached);
        Serve(MirroredDownload(c.mirrors));
        std::vector<std::string> lines = c.lines;
        if (lines.empty()) {
            lines = {SourceLine(wrongUrl, 0, 200, kFileSize),
                     SourceLine(origin(), 0, 200, kFileSize)};
        }
        Start("/silent");
        ASSERT_TRUE(installer->WaitForExit(kRunLimitMs)) << c.name;
        EXPECT_EQ(installer->ExitCode(), 0u) << c.name;
        EXPECT_TRUE(ReadTestFile(cached) == file) << c.name;
        const std::string log = InstallLog();
        std::size_t at = 0;
        for (const std::string& line : lines) {
            at = log.find(line, at);
            EXPECT_NE(at, std::string::npos) << c.name << ": " << line << "\n" << log;
        }
        std::string sourceLines;
        for (std::size_t from = 0; (from = log.find("download-source ", from)) != std::string::npos;
             from = log.find('\n', from)) {
            sourceLines += log.substr(from, log.find('\n', from) + 1 - from);
        }
        EXPECT_EQ(sourceLines.find(lines.back()), sourceLines.rfind("download-source ")) << c.name;
        SaveArtefact(std::string(c.name) + ".log", sourceLines);
    }
    // The resumed request and the mirror's answer, as nginx logged them.
    const std::string access = WaitForTextInFile(nginx.accessLogPath, " status=206 ");
    SaveArtefact("mirror-access.log", access);
    for (const std::string& field :
         {"range=\"bytes=" + std::to_string(kResumedAt) + "-\"",
          "content-range=\"bytes " + std::to_string(kResumedAt) + "-" +
              std::to_string(kFileSize - 1) + "/" + std::to_string(kFileSize) + "\"",
          std::string("user-agent=\"Ruvex Installer\"")}) {
        EXPECT_NE(access.find(field), std::string::npos) << field << "\n" << access;
    }
    EXPECT_EQ(wrongMirror.LastRequest().find("Range"), std::string::npos);
}

}  // namespace
