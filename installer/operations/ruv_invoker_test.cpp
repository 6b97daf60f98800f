#include "operations/ruv_invoker.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "operation_test_support.h"
#include "operations/os_description.h"
#include "product_control_fixture.h"
#include "test_services.h"

namespace {

using namespace ops_test;

const std::string kNotInstalledReported =
    "\xd2\xd1\xbd\xab\xb2\xd9\xd7\xf7\xcf\xb5\xcd\xb3\xb4\xed\xce\xf3\xb1\xa8\xb8\xe6\xb7\xfe\xce"
    "\xf1\xc6\xf7";
const std::string kNotInstalledReportFailed =
    "\xcf\xf2\xb7\xfe\xce\xf1\xc6\xf7\xb1\xa8\xb8\xe6\xb2\xd9\xd7\xf7\xcf\xb5\xcd\xb3\xca\xa7\xb0"
    "\xdc";
const std::string kStartFailedReported =
    "\xd2\xd1\xbd\xab\xb2\xd9\xd7\xf7\xcf\xb5\xcd\xb3\xb4\xed\xce\xf3\xd0\xc5\xcf\xa2\xc9\xcf\xb4"
    "\xab\xb5\xbd\xb7\xfe\xce\xf1\xc6\xf7";
const std::string kStartFailedReportFailed =
    "\xbd\xab\xb2\xd9\xd7\xf7\xcf\xb5\xcd\xb3\xb4\xed\xce\xf3\xd0\xc5\xcf\xa2\xc9\xcf\xb4\xab\xb5"
    "\xbd\xb7\xfe\xce\xf1\xc6\xf7\xca\xb1\xb7\xa2\xc9\xfa\xcd\xf8\xc2\xe7\xb4\xed\xce\xf3";

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

class RuvInvokerTest : public ::testing::Test {
protected:
    std::string ReportLog() const { return ReadTestFile(plan.windowsPath + "\\reports.log"); }

    // The log line's body, as the server received it: the system description
    // between the brackets, all in UTF-8.
    static std::string ExpectedReport() {
        std::string line = "\t";
        line += Utf8(u8"无法启动Ruvex，操作系统信息【");
        line += GetOSDescription();
        line += Utf8(u8"】");
        line += "\n";
        return line;
    }

    bool WaitForReport() const {
        return WaitUntil(
            [this] { return ReportLog().find(ExpectedReport()) != std::string::npos; });
    }

    static std::string UnreachableServer() {
        return "http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + "/RUVServer/";
    }

    // Puts a copy of the stand-in RUV.exe at path.
    static void PlaceProgram(const std::string& path) {
        CopyFileTo(WindowsPathOf(RUVI_RUV_EXE), path);
    }

    static constexpr char kPlanXml[] =
        "<RUVResponse><VersionLimit>1.0.0.1</VersionLimit><OperationList>"
        "<Operation ModuleName=\"UserCheck\" ModuleLabel=\"check\" Type=\"7\"/>"
        "</OperationList></RUVResponse>";

    TestServices services;
    SharedFolder plan = services.MakeSharedFolder();
    RuviServer server = [this] {
        plan.WriteFile("plan.xml", kPlanXml);
        return services.StartRuviServer(plan.unixPath);
    }();
    TestFolder folder{"launch"};
};

TEST_F(RuvInvokerTest, ProductNotRegisteredIsReportedToTheServer) {
    COpRUVInvoker invoker(server.url, folder.Path());
    invoker.Run();
    EXPECT_EQ(invoker.result.code, 601);
    EXPECT_EQ(invoker.result.message, kNotInstalledReported);
    EXPECT_TRUE(invoker.result.showMessage);
    ASSERT_TRUE(WaitForReport()) << ReportLog();
}

TEST_F(RuvInvokerTest, ProductNotRegisteredWithTheServerDownFailsToReport) {
    COpRUVInvoker invoker(UnreachableServer(), folder.Path());
    invoker.Run();
    EXPECT_EQ(invoker.result.code, 602);
    EXPECT_EQ(invoker.result.message, kNotInstalledReportFailed);
    EXPECT_TRUE(invoker.result.showMessage);
    EXPECT_EQ(invoker.programPath, "");
}

TEST_F(RuvInvokerTest, ProgramThatCannotStartIsReportedToTheServer) {
    ProductControlFixture product;
    product.SetInstallPath(folder.Path() + "\\");  // no RUV.exe there
    COpRUVInvoker invoker(server.url, folder.Path());
    invoker.Run();
    EXPECT_EQ(invoker.programPath, folder.Path() + "\\RUV.exe");
    EXPECT_EQ(invoker.result.code, 603);
    EXPECT_EQ(invoker.result.message, kStartFailedReported);
    EXPECT_TRUE(invoker.result.showMessage);
    ASSERT_TRUE(WaitForReport()) << ReportLog();
}

TEST_F(RuvInvokerTest, ProgramThatCannotStartWithTheServerDownFailsToReport) {
    ProductControlFixture product;
    // Without the trailing backslash the program name runs into the folder's.
    PlaceProgram(folder.PathOf("RUV.exe"));
    product.SetInstallPath(folder.Path());
    COpRUVInvoker invoker(UnreachableServer(), folder.Path());
    invoker.Run();
    EXPECT_EQ(invoker.programPath, folder.Path() + "RUV.exe");
    EXPECT_EQ(invoker.result.code, 604);
    EXPECT_EQ(invoker.result.message, kStartFailedReportFailed);
    EXPECT_TRUE(invoker.result.showMessage);
    EXPECT_FALSE(Exists(folder.PathOf("RUV.exe.mark")));
}

// Makes folder the current folder, where a bare program name is looked for
// first.
class ScopedCurrentFolder {
public:
    explicit ScopedCurrentFolder(const std::string& folder) {
        char saved[MAX_PATH + 1];
        saved_.assign(saved, GetCurrentDirectoryA(sizeof saved, saved));
        SetCurrentDirectoryA(folder.c_str());
    }
    ~ScopedCurrentFolder() { SetCurrentDirectoryA(saved_.c_str()); }

private:
    std::string saved_;
};

TEST_F(RuvInvokerTest, WithoutAnInstallFolderNothingIsSearchedForAndTheFailureIsReported) {
    PlaceProgram(folder.PathOf("RUV.exe"));
    const ScopedCurrentFolder current(folder.Path());
    for (const bool answerFails : {false, true}) {
        ProductControlFixture product;  // answers an empty folder
        if (answerFails) product.FailGetInstallPath();
        COpRUVInvoker invoker(server.url, folder.Path());
        invoker.Run();
        EXPECT_EQ(invoker.result.code, 603) << answerFails;
        EXPECT_EQ(invoker.result.message, kStartFailedReported) << answerFails;
        EXPECT_TRUE(invoker.result.showMessage) << answerFails;
        EXPECT_TRUE(WaitForReport()) << ReportLog();
    }
    EXPECT_FALSE(Exists(folder.PathOf("RUV.exe.mark")));
}

TEST_F(RuvInvokerTest, InstalledProgramStartsWithoutAReport) {
    ProductControlFixture product;
    PlaceProgram(folder.PathOf("RUV.exe"));
    product.SetInstallPath(folder.Path() + "\\");
    COpRUVInvoker invoker(server.url, folder.Path());
    invoker.Run();
    EXPECT_EQ(invoker.result.code, 0);
    EXPECT_EQ(invoker.result.message, "");
    EXPECT_FALSE(invoker.result.showMessage);
    ASSERT_TRUE(WaitUntil([&] { return Exists(folder.PathOf("RUV.exe.mark")); }));
    const std::string mark = ReadTestFile(folder.PathOf("RUV.exe.mark"));
    EXPECT_EQ(mark.substr(0, mark.find('\n')), folder.PathOf("RUV.exe"));
    EXPECT_EQ(ReportLog(), "");
}

// An unquoted command line would start "<folder>\Program.exe" instead.
TEST_F(RuvInvokerTest, InstallFolderWithASpaceStartsTheProductItself) {
    ProductControlFixture product;
    std::filesystem::create_directories(folder.PathOf("Program Files"));
    PlaceProgram(folder.PathOf("Program Files\\RUV.exe"));
    PlaceProgram(folder.PathOf("Program.exe"));
    product.SetInstallPath(folder.PathOf("Program Files\\"));
    COpRUVInvoker invoker(server.url, folder.Path());
    invoker.Run();
    EXPECT_EQ(invoker.result.code, 0);
    ASSERT_TRUE(WaitUntil([&] { return Exists(folder.PathOf("Program Files\\RUV.exe.mark")); }));
    EXPECT_FALSE(Exists(folder.PathOf("Program.exe.mark")));
}

TEST_F(RuvInvokerTest, ControlThatCannotBeCreatedStartsNothingAndIsReported) {
    ProductControlFixture product;
    PlaceProgram(folder.PathOf("RUV.exe"));
    product.SetInstallPath(folder.Path() + "\\");
    product.FailCreation();
    COpRUVInvoker invoker(server.url, folder.Path());
    invoker.Run();
    EXPECT_EQ(invoker.result.code, 603);
    EXPECT_EQ(invoker.result.message, kStartFailedReported);
    EXPECT_TRUE(invoker.result.showMessage);
    EXPECT_FALSE(Exists(folder.PathOf("RUV.exe.mark")));
    EXPECT_TRUE(WaitForReport()) << ReportLog();
}

TEST_F(RuvInvokerTest, ReportGoesThroughTheConfiguredProxy) {
    SquidProxy proxy = services.StartSquid("reporter", "secret");
    COpRUVInvoker invoker(server.url, folder.Path());
    invoker.PrepareRun({true, {"127.0.0.1", std::to_string(proxy.port), "reporter", "secret"}},
                       nullptr);
    EXPECT_TRUE(invoker.ReportOSToServer());
    ASSERT_TRUE(WaitForReport()) << ReportLog();
    EXPECT_NE(proxy.WaitForLogLine("RUVS"), "");
}

}  // namespace
