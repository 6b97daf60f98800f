// The server side scaled out: nginx with the shipped configuration in front
// of two ruvi-server instances that serve one plan folder. An instance that
// dies in the middle of a download costs the installer only the rest of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "installer_flow.h"
#include "operation_test_support.h"
#include "scripted_pattern.h"

using ops_test::ReadTestFile;
using ops_test::WaitUntil;

namespace {

constexpr std::size_t kFileSize = 32 << 20;
// Slow enough that the download is still under way when its instance is
// stopped, whatever else the machine is doing.
constexpr long long kBytesPerSecond = 4 << 20;
constexpr std::uintmax_t kStopWhenCached = 4 << 20;
constexpr unsigned kRunLimitMs = 60000;

constexpr DWORD kDownloadFailed = 401;
// No product is installed: the launcher reports the system to the server.
constexpr DWORD kNothingToLaunch = 601;

std::string FileBytes() {
    std::string bytes(kFileSize, '\0');
    for (std::size_t i = 0; i < kFileSize; ++i) bytes[i] = ScriptedByte(i);
    return bytes;
}

std::uintmax_t SizeOf(const std::string& path) {
    std::error_code none;
    const std::uintmax_t size = std::filesystem::file_size(path, none);
    return none ? 0 : size;
}

std::size_t LinesIn(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

class ScaleOutFlowTest : public InstallerFlowTest {
protected:
    ScaleOutFlowTest() { std::filesystem::remove(cached); }
    ~ScaleOutFlowTest() override { std::filesystem::remove(cached); }

    // Which instance began the download, once one has.
    int ServingInstance() const {
        int serving = -1;
        WaitUntil([&] {
            for (int i = 0; i < 2 && serving < 0; ++i) {
                if (instances[i].Metrics().find("ruvi_downloads_started_total 1\n") !=
                    std::string::npos) {
                    serving = i;
                }
            }
            return serving >= 0;
        });
        return serving;
    }

    DWORD RunToEnd(const std::string& arguments) {
        Start(arguments);
        EXPECT_TRUE(installer->WaitForExit(kRunLimitMs)) << arguments;
        return installer->ExitCode();
    }

    const std::string file = [this] {
        plan.Write(PlanDocument(Download("Download", "large.bin", "Block=\"true\"")));
        plan.Shared().WriteFile("files/large.bin", FileBytes());
        return FileBytes();
    }();
    std::array<RuviServer, 2> instances = {services.StartRuviServer(plan.Shared().unixPath),
                                           services.StartRuviServer(plan.Shared().unixPath)};
    NginxProxy nginx = services.StartNginx({instances[0].port, instances[1].port}, kBytesPerSecond);
    const std::string cached = installed.WorkFolder() + "\\large.bin";
};

TEST_F(ScaleOutFlowTest, ADownloadCutOffWithItsInstanceResumesThroughTheOtherOne) {
    installed.Configure(nginx.url);

    Start("/silent");
    const int serving = ServingInstance();
    ASSERT_GE(serving, 0) << "no instance began the download";
    ASSERT_TRUE(WaitUntil([&] { return SizeOf(cached) >= kStopWhenCached; }));
    const std::string servingMetrics = instances[serving].Metrics();
    instances[serving].lease.Kill();
    ASSERT_TRUE(installer->WaitForExit(kRunLimitMs));
    EXPECT_EQ(installer->ExitCode(), kDownloadFailed);
    const std::uintmax_t kept = SizeOf(cached);
    ASSERT_GE(kept, kStopWhenCached);
    ASSERT_LT(kept, kFileSize);
    EXPECT_TRUE(ReadTestFile(cached) == file.substr(0, kept));

    EXPECT_EQ(RunToEnd("/silent /launch"), kNothingToLaunch);
    EXPECT_TRUE(ReadTestFile(cached) == file);
    const RuviServer& other = instances[1 - serving];
    EXPECT_NE(other.WaitForLogLine("\"offset\":" + std::to_string(kept / 1024 * 1024) + "}"), "");
    // The report went to the instance that was left, and was stored once.
    EXPECT_EQ(LinesIn(WaitForTextInFile(plan.Shared().windowsPath + "\\reports.log", "\n")), 1u);

    const std::string otherMetrics = other.Metrics();
    SaveArtefact("metrics-stopped-instance.txt", servingMetrics);
    SaveArtefact("metrics-other-instance.txt", otherMetrics);
    EXPECT_NE(servingMetrics.find("ruvi_downloads_completed_total 0\n"), std::string::npos);
    for (const char* counter :
         {"ruvi_downloads_completed_total 1\n", "ruvi_reports_received_total 1\n"}) {
        EXPECT_NE(otherMetrics.find(counter), std::string::npos) << counter << otherMetrics;
    }
}

}  // namespace
