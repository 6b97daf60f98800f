#include "operations/declared_file.h"

#include <gtest/gtest.h>

#include <string>

#include "operation_test_support.h"

namespace {

using namespace ops_test;

// Known answers: FIPS 180-2's "abc", and sha256sum of 3 MiB + 1 "a"s (more
// than one piece of the check's reads).
constexpr char kAbcDigest[] = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
constexpr std::uint64_t kLongSize = 3 * 1024 * 1024 + 1;
constexpr char kLongDigest[] = "2b98b70051781969f52a33c9cd0e8392bb7a634a92a3be4597b25e13feb41ee6";

FileDeclaration Declared(std::optional<std::uint64_t> size, const char* sha256) {
    return {size, sha256 == nullptr ? std::nullopt : DeclaredSha256(sha256)};
}

TEST(MatchesDeclaration, TheWholeFileMustHaveWhatIsDeclared) {
    TestFolder folder;
    WriteTestFile(folder.PathOf("abc"), "abc");
    WriteTestFile(folder.PathOf("long"), std::string(kLongSize, 'a'));
    const struct {
        const char* file;
        FileDeclaration declared;
        bool matches;
    } cases[] = {
        {"abc", Declared(3, kAbcDigest), true},
        {"abc", Declared(std::nullopt, kAbcDigest), true},
        {"abc", Declared(3, nullptr), true},
        {"abc", Declared(4, kAbcDigest), false},
        {"abc", Declared(2, nullptr), false},
        {"abc", Declared(3, kLongDigest), false},
        {"long", Declared(kLongSize, kLongDigest), true},
        {"long", Declared(std::nullopt, kAbcDigest), false},
        {"absent", Declared(3, kAbcDigest), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MatchesDeclaration(folder.PathOf(c.file), c.declared), c.matches) << c.file;
    }
}

TEST(OpenHeldFile, WhileHeldTheFileCanBeReadButNotChangedRenamedOrDeleted) {
    TestFolder folder;
    const std::string path = folder.PathOf("setup.exe");
    WriteTestFile(path, "program");
    const KernelHandle held = OpenHeldFile(path);
    ASSERT_TRUE(held);
    EXPECT_EQ(ReadTestFile(path), "program");
    EXPECT_FALSE(
        AdoptFileHandle(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
    EXPECT_FALSE(MoveFileA(path.c_str(), folder.PathOf("other.exe").c_str()));
    EXPECT_FALSE(DeleteFileA(path.c_str()));
}

}  // namespace
