// The steps a server sends for a fresh installation, from the answer to the
// started setup program, without the window and its run driver.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/secure_stream.h"
#include "exchange/initial_exchange.h"
#include "exchange/installer_context.h"
#include "operation_test_support.h"
#include "scoped_registry_value.h"
#include "test_services.h"

namespace {

using namespace ops_test;

constexpr char kAnswer[] =
    "<?xml version=\"1.0\"?>\n"
    "<Response><VersionLimit>" RUVI_INSTALLER_VERSION
    "</VersionLimit><OperationList>"
    "<Operation ModuleName=\"OSCheck\" ModuleLabel=\"OS\" Type=\"check\" Timeout=\"10s\">"
    "<BlackList><Item>OSVERSIONINFO_Major_4_Minor_0_Build_950_PlatformId_1_CSDVersion__END</Item>"
    "</BlackList></Operation>"
    "<Operation ModuleName=\"UserCheck\" ModuleLabel=\"User\" Type=\"check\" Timeout=\"10s\" "
    "Block=\"true\"/>"
    "<Operation ModuleName=\"FileDownload\" ModuleLabel=\"Get\" Type=\"download\" "
    "Timeout=\"120s\"><URL>files/RUVSetup.exe</URL><SaveName>RUVSetup.exe</SaveName></Operation>"
    "<Operation ModuleName=\"SetupRun\" ModuleLabel=\"Setup\" Type=\"run\" Timeout=\"60s\">"
    "<ExecName>RUVSetup.exe</ExecName></Operation>"
    "</OperationList></Response>\n";

TEST(OperationSequenceTest, FreshInstallationRunsTheDownloadedSetupProgram) {
    CXmlRuntime runtime;
    TestServices services;
    const SharedFolder plan = services.MakeSharedFolder();
    std::filesystem::create_directories(plan.windowsPath + "\\files");
    CopyFileTo(WindowsPathOf(RUVI_SETUP_PROGRAM), plan.windowsPath + "\\files\\RUVSetup.exe");
    WriteTestFile(plan.windowsPath + "\\plan.xml", kAnswer);
    const RuviServer server = services.StartRuviServer(plan.unixPath);

    const TestFolder installFolder("install");
    CopyFileTo(WindowsPathOf(RUVI_VERSIONED_INSTALLER), installFolder.PathOf("RUVInstaller.exe"));
    const std::string config =
        "<RUVI><Server>" + server.url + "</Server><Encrypt Type=\"Secure\"/></RUVI>";
    ByteVector sealed;
    SecureEncrypt(sealed, ByteVector(config.begin(), config.end()));
    WriteTestFile(installFolder.PathOf("RUVI.config"), std::string(sealed.begin(), sealed.end()));
    ScopedRegistryValue installPath(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tarvano\\RUVI", "InstallPath");
    installPath.SetText(installFolder.Path());

    CInstallerContext context;
    const TestFolder work("work");
    context.cacheDirectory = work.Path();
    const ExchangeOutcome outcome = RunInitialExchange(context);
    ASSERT_TRUE(outcome.Succeeded()) << outcome.failure;
    const OperationList& operations = outcome.operations;
    ASSERT_EQ(operations.size(), 4u);

    for (const auto& operation : operations) {
        operation->Run();
        EXPECT_EQ(operation->result.code, 0)
            << operation->name << ": " << operation->result.message;
    }
    EXPECT_EQ(ReadTestFile(work.PathOf("RUVSetup.exe.mark")), Quoted(work.PathOf("RUVSetup.exe")));
    EXPECT_FALSE(std::filesystem::exists(work.PathOf("RUVSetup.exe")));
}

}  // namespace
