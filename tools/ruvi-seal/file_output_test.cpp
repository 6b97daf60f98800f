#include "file_output.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "test_folder.h"
#include "tool_failure.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

TEST(FileOutput, WritesEveryByte) {
    const TestFolder folder;
    const ByteVector bytes = {'a', '\0', '\r', '\n', '\xff'};
    WriteFileReplacing(folder.PathOf("out.bin"), bytes);
    EXPECT_EQ(folder.Read("out.bin"), std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(folder.EntryCount(), 1u);
}

TEST(FileOutput, ReplacesAnExistingFile) {
    const TestFolder folder;
    folder.Write("out.bin", "an older and longer content");
    WriteFileReplacing(folder.PathOf("out.bin"), ByteVector{'n', 'e', 'w'});
    EXPECT_EQ(folder.Read("out.bin"), "new");
    EXPECT_EQ(folder.EntryCount(), 1u);
}

TEST(FileOutput, FailureLeavesNothingBehind) {
    const TestFolder folder;
    EXPECT_THROW(WriteFileReplacing(folder.PathOf("missing/out.bin"), ByteVector{'x'}),
                 CToolFailure);
    std::filesystem::create_directory(folder.PathOf("taken"));
    EXPECT_THROW(WriteFileReplacing(folder.PathOf("taken"), ByteVector{'x'}), CToolFailure);
    EXPECT_TRUE(std::filesystem::is_directory(folder.PathOf("taken")));
    EXPECT_EQ(folder.EntryCount(), 1u);
}

#ifndef _WIN32
// Renaming over a link or a special file would replace it with a regular file.
TEST(FileOutput, FollowsALinkToTheFileItNames) {
    const TestFolder folder;
    folder.Write("real.bin", "old");
    std::filesystem::create_symlink(folder.PathOf("real.bin"), folder.PathOf("link.bin"));
    WriteFileReplacing(folder.PathOf("link.bin"), ByteVector{'n', 'e', 'w'});
    EXPECT_TRUE(std::filesystem::is_symlink(folder.PathOf("link.bin")));
    EXPECT_EQ(folder.Read("real.bin"), "new");
    EXPECT_EQ(folder.EntryCount(), 2u);
}

TEST(FileOutput, RefusesSpecialFilesAndDanglingLinks) {
    const TestFolder folder;
    ASSERT_EQ(mkfifo(folder.PathOf("pipe").c_str(), 0600), 0);
    EXPECT_THROW(WriteFileReplacing(folder.PathOf("pipe"), ByteVector{'x'}), CToolFailure);
    EXPECT_EQ(std::filesystem::status(folder.PathOf("pipe")).type(),
              std::filesystem::file_type::fifo);
    std::filesystem::create_symlink(folder.PathOf("nowhere"), folder.PathOf("dangling"));
    EXPECT_THROW(WriteFileReplacing(folder.PathOf("dangling"), ByteVector{'x'}), CToolFailure);
    EXPECT_TRUE(std::filesystem::is_symlink(folder.PathOf("dangling")));
    EXPECT_EQ(folder.EntryCount(), 2u);
}

TEST(FileOutput, ReplacedFileKeepsItsPermissions) {
    const TestFolder folder;
    folder.Write("RUVI.config", "old");
    ASSERT_EQ(chmod(folder.PathOf("RUVI.config").c_str(), 0640), 0);
    WriteFileReplacing(folder.PathOf("RUVI.config"), ByteVector{'n', 'e', 'w'});
    struct stat status {};
    ASSERT_EQ(stat(folder.PathOf("RUVI.config").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
}
#endif

}  // namespace
