#include "platform/staged_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class StagedFilesTest : public ::testing::Test {
protected:
    StagedFilesTest() {
        fs::remove_all(root);
        fs::create_directories(root);
    }
    ~StagedFilesTest() override {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }

    std::string PathOf(const std::string& name) const { return (root / name).string(); }
    void Put(const std::string& name, const std::string& bytes) const {
        std::ofstream(root / name, std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(root / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(root)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    const fs::path root =
        fs::temp_directory_path() / ("ruvi-staged-" + std::to_string(GetCurrentProcessId()));
};

TEST_F(StagedFilesTest, TakeTheirPlacesTogetherOnlyOnceAllAreWritten) {
    Put("answer", "old answer");
    Put("source.bin", std::string(3 << 20, 'x'));
    {
        CStagedFiles staged;
        ASSERT_TRUE(staged.Write(PathOf("answer"), "new answer"));
        ASSERT_TRUE(staged.Copy(PathOf("setup.exe"), PathOf("source.bin")));
        EXPECT_EQ(Read("answer"), "old answer");  // nothing placed yet
        EXPECT_FALSE(fs::exists(root / "setup.exe"));
        ASSERT_TRUE(staged.Place());
    }
    EXPECT_EQ(Read("answer"), "new answer");
    EXPECT_EQ(Read("setup.exe"), std::string(3 << 20, 'x'));
    EXPECT_EQ(Names(), (std::vector<std::string>{"answer", "setup.exe", "source.bin"}));

    // One that cannot be staged: the others never take their places, and
    // nothing written aside stays.
    {
        CStagedFiles staged;
        ASSERT_TRUE(staged.Write(PathOf("answer"), "newer answer"));
        EXPECT_FALSE(staged.Copy(PathOf("setup.exe"), PathOf("missing.bin")));
    }
    EXPECT_EQ(Read("answer"), "new answer");
    EXPECT_EQ(Names(), (std::vector<std::string>{"answer", "setup.exe", "source.bin"}));
}

TEST_F(StagedFilesTest, AFolderIsHeldAsItselfAndMadeWhenMissing) {
    EXPECT_TRUE(HoldFolder(PathOf("layout")));
    EXPECT_TRUE(fs::is_directory(root / "layout"));
    EXPECT_TRUE(HoldFolder(PathOf("layout")));
    Put("a file", "x");
    EXPECT_FALSE(HoldFolder(PathOf("a file")));
    EXPECT_FALSE(HoldFolder(PathOf("missing\\layout")));
}

}  // namespace
