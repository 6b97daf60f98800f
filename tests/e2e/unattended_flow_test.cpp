// Unattended runs: the same exchange and operations with nothing on screen,
// told apart by the exit code.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>

#include "installer_flow.h"
#include "operation_test_support.h"
#include "product_control_fixture.h"

using ops_test::ReadTestFile;
using ops_test::TestFolder;
using ops_test::WaitUntil;

namespace {

// A path as the log quotes it.
std::string Escaped(std::string path) {
    for (std::size_t at = 0; (at = path.find('\\', at)) != std::string::npos; at += 2) {
        path.insert(at, 1, '\\');
    }
    return path;
}

TEST_F(InstallerFlowTest, UnattendedRunsShowNothingAndTellTheOutcomeByTheirExitCode) {
    const TestFolder logs("unattended logs");
    std::optional<ProductControlFixture> product;
    const std::string logPath = logs.PathOf("run.log");
    struct Case {
        const char* name;
        std::function<void()> prepare;
        std::string arguments;
        DWORD exitCode;
        std::string logLine;  // in the log the run wrote
    };
    // The setup program stand-in exits with the number its name carries.
    const auto downloadAndRun = [&](const std::string& program, const std::string& attributes) {
        plan.AddSetupProgram(program);
        Serve(Download("Download", program) + SetupRun("Setup", program, attributes) +
              UserCheck("Admin"));
    };
    const Case cases[] = {
        {"success", [&] { downloadAndRun("RUVSetup.exe", ""); }, "/silent", 0, " mib-per-second="},
        {"unreachable server", [&] { ConfigureUnreachableServer(); }, "-SILENT", 1,
         "end exit-code=1"},
        {"blocking failure",
         [&] {
             Serve(UserCheck("Admin") + SetupRun("Setup", "missing.exe", "Block=\"true\"") +
                   UserCheck("Again"));
         },
         "/Silent", 501, "operation-end label=\"Again\""},
        {"blocking setup program", [&] { downloadAndRun("setup-exit7.exe", "Block=\"true\""); },
         "/silent", 7, " exit-code=7\r\n"},
        // No product registered: the launcher reports the system to the
        // server.
        {"launch failure", [&] { Serve(UserCheck("Admin")); }, "/silent /launch", 601,
         "launch program=\"\" code=601"},
        {"bad switch", [&] { Serve(UserCheck("Admin")); },
         "/silent /bogus \"/log:" + logPath + "\"", 2, "bad-command-line argument=\"/bogus\""},
        // A log folder someone else made (here a file of that name) is set aside.
        {"a log folder not of its own",
         [&] {
             Serve(UserCheck("Admin"));
             std::filesystem::remove_all(installed.LogFolder());
             ops_test::WriteTestFile(installed.LogFolder(), "not a folder");
         },
         "/silent", 0,
         " log-folder path=\"" + Escaped(installed.LogFolder()) + "\" state=\"replaced\""},
        // Nothing was started, and the launcher says so.
        {"a product control that cannot be created",
         [&] {
             Serve(UserCheck("Admin"));
             product.emplace();
             product->FailCreation();
         },
         "/silent /launch", 603, "launch program=\"\" code=603"},
        // No RUVI.config, no work folder, and a log only where /log: says.
        {"no install folder", [&] { installed.ForgetInstallFolder(); },
         "/silent \"/log:" + logPath + "\"", 1, " work-folder path=\"\" state=\"unavailable\"\r\n"},
    };
    for (const Case& c : cases) {
        c.prepare();
        EXPECT_EQ(RunShowingNothing(c.arguments, c.name), c.exitCode) << c.name;
        const std::string log =
            c.arguments.find("/log:") != std::string::npos ? ReadTestFile(logPath) : InstallLog();
        EXPECT_NE(log.find(c.logLine), std::string::npos) << c.name << "\n" << log;
    }
}

}  // namespace
