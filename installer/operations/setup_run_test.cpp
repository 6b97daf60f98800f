#include "operations/setup_run.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <memory>
#include <string>

#include "operation_test_support.h"
#include "platform/kernel_handle.h"

namespace {

using namespace ops_test;

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

class SetupRunTest : public ::testing::Test {
protected:
    // Puts the setup program fixture into the work folder under name and
    // returns an operation that runs it.
    std::unique_ptr<COpSetupRun> Prepared(const std::string& name, const std::string& workFolder) {
        CopyFileTo(WindowsPathOf(RUVI_SETUP_PROGRAM), workFolder + "\\" + name);
        auto setup = std::make_unique<COpSetupRun>("L", "", workFolder);
        setup->execName = name;
        return setup;
    }

    TestFolder folder;
};

TEST_F(SetupRunTest, SuccessfulProgramRunsOnceAndIsDeleted) {
    const auto setup = Prepared("RUVSetup.exe", folder.Path());
    setup->Run();
    EXPECT_EQ(setup->result.code, 0);
    EXPECT_EQ(setup->result.message, "");
    EXPECT_FALSE(setup->result.showMessage);
    EXPECT_TRUE(Exists(folder.PathOf("RUVSetup.exe.mark")));
    EXPECT_FALSE(Exists(folder.PathOf("RUVSetup.exe")));
}

TEST_F(SetupRunTest, FailingProgramGivesItsExitCodeAndIsDeletedToo) {
    const auto setup = Prepared("setup_exit3010.exe", folder.Path());
    setup->Run();
    EXPECT_EQ(setup->result.code, 3010);
    EXPECT_EQ(setup->result.message,
              "\xb3\xcc\xd0\xf2\xd4\xcb\xd0\xd0\xb4\xed\xce\xf3\xa3\xac\xb4\xfa\xc2\xeb\xa3\xba"
              " 3010");
    EXPECT_FALSE(setup->result.showMessage);
    EXPECT_FALSE(Exists(folder.PathOf("setup_exit3010.exe")));
}

TEST_F(SetupRunTest, MissingProgramIs501AndNothingRuns) {
    COpSetupRun setup("L", "", folder.Path());
    setup.execName = "RUVSetup.exe";
    setup.Run();
    EXPECT_EQ(setup.result.code, 501);
    EXPECT_EQ(setup.result.message,
              "\xd5\xd2\xb2\xbb\xb5\xbd\xbf\xc9\xd2\xd4\xd4\xcb\xd0\xd0\xb5\xc4\xb3\xcc\xd0\xf2");
    EXPECT_FALSE(Exists(folder.PathOf("RUVSetup.exe.mark")));
}

// Not even at the root of the current drive, where "" + "\\" + name lies.
TEST_F(SetupRunTest, WithoutAWorkFolderNothingIsLookedForAndNothingRuns) {
    const auto setup = Prepared("RUVSetup.exe", folder.Path());
    setup->cacheDirectory.clear();
    setup->Run();
    EXPECT_EQ(setup->result.code, 501);
    EXPECT_FALSE(Exists(folder.PathOf("RUVSetup.exe.mark")));
}

// Without a declared hash too: a file another program holds open to change
// it could be changed between the check for it and the run.
TEST_F(SetupRunTest, AProgramThatCannotBeHeldIsNotStarted) {
    const auto setup = Prepared("RUVSetup.exe", folder.Path());
    const KernelHandle writer =
        AdoptFileHandle(CreateFileA(folder.PathOf("RUVSetup.exe").c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(writer);
    setup->Run();
    EXPECT_EQ(setup->result.code, -1);
    EXPECT_FALSE(Exists(folder.PathOf("RUVSetup.exe.mark")));
}

TEST_F(SetupRunTest, ProgramPastItsTimeoutIsStoppedAndReported) {
    const auto setup = Prepared("setup_hang.exe", folder.Path());
    setup->timeoutSeconds = 1;
    setup->Run();
    EXPECT_EQ(setup->result.code, -1);
    EXPECT_EQ(setup->result.message, "\xd4\xcb\xd0\xd0\xb3\xac\xca\xb1");
    // Gone, not left for a later run to find and start.
    EXPECT_FALSE(Exists(folder.PathOf("setup_hang.exe")));
}

TEST_F(SetupRunTest, WorkFolderWithASpaceRunsTheIntendedProgramOnly) {
    // "<folder>\work dir\RUVSetup.exe" read unquoted would start "<folder>\work.exe".
    const std::string workFolder = folder.PathOf("work dir");
    std::filesystem::create_directory(workFolder);
    CopyFileTo(WindowsPathOf(RUVI_SETUP_PROGRAM), folder.PathOf("work.exe"));
    const auto setup = Prepared("RUVSetup.exe", workFolder);
    setup->Run();
    EXPECT_EQ(setup->result.code, 0);
    EXPECT_TRUE(Exists(workFolder + "\\RUVSetup.exe.mark"));
    EXPECT_FALSE(Exists(folder.PathOf("work.exe.mark")));
}

TEST_F(SetupRunTest, ADeclaredHashLetsOnlyThatProgramRunAndTheFileGoesEitherWay) {
    const std::string program = ReadTestFile(WindowsPathOf(RUVI_SETUP_PROGRAM));
    const struct {
        const char* name;
        std::string declared;
        int code;
        std::string message;
    } cases[] = {
        {"its hash", Sha256HexOf(program), 0, ""},
        {"another hash", Sha256HexOf(program + "x"), 502,
         "\xb0\xb2\xd7\xb0\xb3\xcc\xd0\xf2\xd0\xa3\xd1\xe9\xca\xa7\xb0\xdc"},
    };
    for (const auto& c : cases) {
        const auto setup = Prepared("RUVSetup.exe", folder.Path());
        setup->declaration.sha256 = DeclaredSha256(c.declared);
        setup->Run();
        EXPECT_EQ(setup->result.code, c.code) << c.name;
        EXPECT_EQ(setup->result.message, c.message) << c.name;
        EXPECT_EQ(Exists(folder.PathOf("RUVSetup.exe.mark")), c.code == 0) << c.name;
        // Also the file that ran: the hold on it ended with its start.
        EXPECT_FALSE(Exists(folder.PathOf("RUVSetup.exe"))) << c.name;
        std::filesystem::remove(folder.PathOf("RUVSetup.exe.mark"));
    }
}

TEST(TimeoutMillisecondsTest, LargeTimeoutsClampToTheLongestFiniteWait) {
    EXPECT_EQ(TimeoutMilliseconds(1), 1000u);
    EXPECT_EQ(TimeoutMilliseconds(60), 60000u);
    EXPECT_EQ(TimeoutMilliseconds(4294967), 4294967000u);
    EXPECT_EQ(TimeoutMilliseconds(4294968), 0xFFFFFFFEu);
    EXPECT_EQ(TimeoutMilliseconds(INT_MAX), 0xFFFFFFFEu);
    EXPECT_EQ(TimeoutMilliseconds(0), 0u);
}

}  // namespace
