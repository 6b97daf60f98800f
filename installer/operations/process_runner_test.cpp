#include "operations/process_runner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "operation_test_support.h"

namespace {

using namespace ops_test;

class ProcessRunnerTest : public ::testing::Test {
protected:
    // A copy of the setup program fixture, whose name picks its behaviour.
    std::string Program(const std::string& name) {
        const std::string path = folder.PathOf(name);
        CopyFileTo(WindowsPathOf(RUVI_SETUP_PROGRAM), path);
        return path;
    }

    static bool Exists(const std::string& path) { return std::filesystem::exists(path); }

    TestFolder folder;
    std::string message = "untouched";
};

TEST_F(ProcessRunnerTest, ZeroExitSucceedsAndLeavesTheMessageAlone) {
    const std::string program = Program("setup.exe");
    EXPECT_EQ(RunProgram(program, 60000, true, message), 0);
    EXPECT_EQ(message, "untouched");
    // The program saw its own path, quoted, as the whole command line.
    EXPECT_EQ(ReadTestFile(program + ".mark"), Quoted(program));
}

TEST_F(ProcessRunnerTest, MissingProgramCannotBeCreated) {
    EXPECT_EQ(RunProgram(folder.PathOf("absent.exe"), 60000, true, message), -1);
    EXPECT_EQ(message, "\xb4\xb4\xbd\xa8\xbd\xf8\xb3\xcc\xca\xa7\xb0\xdc");
}

TEST_F(ProcessRunnerTest, ThePathIsTakenAsItStands) {
    // Read as a command line alone, "setup" would become "setup.exe".
    const std::string program = Program("setup.exe");
    const std::string withoutExtension = program.substr(0, program.size() - 4);
    EXPECT_EQ(RunProgram(withoutExtension, 60000, true, message), -1);
    EXPECT_FALSE(Exists(program + ".mark"));
}

TEST_F(ProcessRunnerTest, WithoutWaitingOnlyTheStartCounts) {
    const std::string program = Program("setup_exit7.exe");
    EXPECT_EQ(RunProgram(program, 0, false, message), 0);
    EXPECT_EQ(message, "untouched");
    EXPECT_TRUE(WaitUntil([&] { return Exists(program + ".mark"); }));
    // Let it end before the folder goes.
    EXPECT_TRUE(WaitUntil([&] { return DeleteFileA(program.c_str()) != FALSE; }));
}

}  // namespace
