#include "operations/cache_file_digest.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "operation_test_support.h"
#include "platform/kernel_handle.h"

namespace {

using namespace ops_test;

// Bytes that differ from one seed to the next and show any shift.
std::string Pattern(char seed, std::size_t size) {
    std::string bytes(size, '\0');
    unsigned state = static_cast<unsigned char>(seed);
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 16);
    }
    return bytes;
}

struct Write {
    std::uint64_t position;
    std::string bytes;
};

// Where the writer takes each piece from.
enum class Buffers {
    Own,            // its own: the digest copies
    Lent,           // the digest's
    LentEveryOther  // asks for the digest's each time, fills it every other
};

// Writes into the file in place, as the cache file does, and tells the
// digest of each write once it is in.
void WriteAndShow(const std::string& path, const std::vector<Write>& writes, Buffers buffers,
                  CCacheFileDigest& digest) {
    const KernelHandle file = AdoptFileHandle(CreateFileA(
        path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file);
    bool lend = buffers != Buffers::Own;
    for (const Write& write : writes) {
        const char* bytes = write.bytes.data();
        if (buffers != Buffers::Own) {
            char* lent = digest.PieceBuffer(write.bytes.size());
            ASSERT_NE(lent, nullptr);
            if (lend) {
                std::copy(write.bytes.begin(), write.bytes.end(), lent);
                bytes = lent;
            }
            if (buffers == Buffers::LentEveryOther) lend = !lend;
        }
        LARGE_INTEGER position;
        position.QuadPart = static_cast<LONGLONG>(write.position);
        DWORD written = 0;
        ASSERT_TRUE(SetFilePointerEx(file.Get(), position, nullptr, FILE_BEGIN));
        ASSERT_TRUE(WriteFile(file.Get(), bytes, static_cast<DWORD>(write.bytes.size()), &written,
                              nullptr));
        digest.Wrote(write.position, bytes, written);
    }
}

TEST(CacheFileDigest, IsTheDigestOfTheBytesOnDiskHoweverTheWritesCame) {
    const std::string a = Pattern('a', 6000);
    const std::string b = Pattern('b', 6000);
    const std::string kept = Pattern('k', 4000);
    std::vector<Write> manyPieces;
    for (std::uint64_t i = 0; i < 40; ++i) manyPieces.push_back({i * 100000, Pattern('m', 100000)});
    const struct {
        const char* name;
        std::string before;  // the file's bytes before the writes
        std::uint64_t kept;
        std::vector<Write> writes;
        std::uint64_t length;
    } cases[] = {
        {"a fresh file, in pieces", "", 0, {{0, a.substr(0, 2500)}, {2500, a.substr(2500)}}, 6000},
        {"a kept prefix", kept.substr(0, 2500), 2048, {{2048, a}}, 8048},
        {"started over from 0", kept.substr(0, 3072), 3072, {{3072, a}, {0, b}, {6000, a}}, 12000},
        {"resumed at a whole KiB of what was hashed", "", 0, {{0, a}, {4096, b}}, 10096},
        // Each next source of a download resumes at the last whole KiB.
        {"cut and resumed at the last whole KiB, twice",
         "",
         0,
         {{0, a}, {5120, b.substr(0, 3000)}, {7168, b}},
         13168},
        {"a whole file from 0 over a kept prefix", kept, 3072, {{0, a}}, 6000},
        {"a gap no write showed", kept, 0, {{3000, a}}, 9000},
        {"asked for less than was hashed", "", 0, {{0, a}}, 3000},
        {"nothing written after the kept prefix", kept.substr(0, 2500), 2048, {}, 2500},
        {"more pieces than wait in line", "", 0, manyPieces, 4000000},
    };
    for (const Buffers buffers : {Buffers::Own, Buffers::Lent, Buffers::LentEveryOther}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << c.name << ", buffers " << static_cast<int>(buffers));
            TestFolder folder;
            const std::string path = folder.PathOf("cached.bin");
            if (!c.before.empty()) WriteTestFile(path, c.before);
            CCacheFileDigest digest(path, c.kept);
            WriteAndShow(path, c.writes, buffers, digest);
            const std::optional<Sha256Digest> hashed = digest.Finish(c.length);
            ASSERT_TRUE(hashed);
            EXPECT_EQ(*hashed, Sha256Of(ReadTestFile(path).substr(0, c.length)));
        }
    }
}

TEST(CacheFileDigest, BytesTheFileDoesNotHaveGiveNoDigest) {
    TestFolder folder;
    const std::string path = folder.PathOf("cached.bin");
    WriteTestFile(path, Pattern('k', 1000));
    CCacheFileDigest keptMoreThanThere(path, 2048);
    EXPECT_FALSE(keptMoreThanThere.Finish(2048));
    CCacheFileDigest askedPastTheEnd(path, 0);
    EXPECT_FALSE(askedPastTheEnd.Finish(1001));
}

}  // namespace
