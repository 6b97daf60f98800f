#include "operations/file_download.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "operation_test_support.h"
#include "operations/cache_file.h"
#include "platform/kernel_handle.h"
#include "scripted_pattern.h"
#include "test_progress_window.h"
#include "test_services.h"

namespace {

using namespace ops_test;

const std::string kDownloadFailed = "\xce\xc4\xbc\xfe\xcf\xc2\xd4\xd8\xd2\xec\xb3\xa3\xa3\xa1";
const std::string kCacheOpenFailed =
    "\xb4\xf2\xbf\xaa\xb1\xbe\xb5\xd8\xbb\xba\xb4\xe6\xce\xc4\xbc\xfe\xca\xa7\xb0\xdc";
const std::string kCacheWriteFailed =
    "\xd0\xb4\xc8\xeb\xb1\xbe\xb5\xd8\xbb\xba\xb4\xe6\xce\xc4\xbc\xfe\xca\xa7\xb0\xdc";
const std::string kDownloadUnverified =
    "\xcf\xc2\xd4\xd8\xce\xc4\xbc\xfe\xd0\xa3\xd1\xe9\xca\xa7\xb0\xdc";  // 下载文件校验失败

constexpr int kPayloadSize = 10000;  // not a whole number of kilobytes

// Bytes that show any shift or gap: no short period.
std::string Payload() {
    std::string bytes(kPayloadSize, '\0');
    unsigned state = 12345;
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 16);
    }
    return bytes;
}

// The scripted answers' bytes: what a cut answer delivered is the start of
// a file of these.
std::string ScriptedBytes(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = ScriptedByte(i);
    return bytes;
}

KernelHandle OpenFile(const std::string& path, DWORD access, DWORD disposition) {
    return AdoptFileHandle(
        CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition, 0, nullptr));
}

void MoveTo(HANDLE file, std::int64_t offset) {
    LARGE_INTEGER position;
    position.QuadPart = offset;
    ASSERT_TRUE(SetFilePointerEx(file, position, nullptr, FILE_BEGIN));
}

// A file of size bytes, zeros but for pieces at their offsets. Its end is
// set before anything is written, which leaves it sparse: only the pieces
// cost disk.
void MakeSparseFile(const std::string& path, std::int64_t size,
                    const std::vector<std::pair<std::int64_t, std::string>>& pieces) {
    const KernelHandle file = OpenFile(path, GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_TRUE(file) << path;
    MoveTo(file.Get(), size);
    ASSERT_TRUE(SetEndOfFile(file.Get()));
    for (const auto& [offset, bytes] : pieces) {
        MoveTo(file.Get(), offset);
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                              nullptr));
    }
}

std::string ReadFileRange(const std::string& path, std::int64_t offset, std::size_t size) {
    const KernelHandle file = OpenFile(path, GENERIC_READ, OPEN_EXISTING);
    std::string bytes(size, '\0');
    DWORD read = 0;
    LARGE_INTEGER position;
    position.QuadPart = offset;
    if (!file || !SetFilePointerEx(file.Get(), position, nullptr, FILE_BEGIN) ||
        !ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(size), &read, nullptr)) {
        return {};
    }
    bytes.resize(read);
    return bytes;
}

// A download onto a disk that has room for only so many bytes: the piece
// that finds it full goes in as far as it fits, and no further.
class DownloadOntoFillingDisk : public COpFileDownload {
public:
    DownloadOntoFillingDisk(std::string serverBaseUrl, std::string cacheDirectory,
                            std::uint64_t room)
        : COpFileDownload("L", std::move(serverBaseUrl), std::move(cacheDirectory)), room_(room) {}

protected:
    DWORD WritePiece(HANDLE cacheFile, const char* bytes, DWORD size) override {
        const auto fitting = static_cast<DWORD>(std::min<std::uint64_t>(size, room_));
        const DWORD written = COpFileDownload::WritePiece(cacheFile, bytes, fitting);
        room_ -= written;
        return written;
    }

private:
    std::uint64_t room_;
};

class FileDownloadTest : public ::testing::Test {
protected:
    FileDownloadTest() {
        download.url = server.url + "files/payload.bin";
        download.saveName = "payload.bin";
        download.PrepareRun({}, window.Sink());
        window.ProgressBar().SetPos(10);
    }

    std::string CachedFile() const { return ReadTestFile(cache.PathOf("payload.bin")); }
    bool CachedFileExists() const { return std::filesystem::exists(cache.PathOf("payload.bin")); }
    void PutCachedFile(const std::string& bytes) {
        WriteTestFile(cache.PathOf("payload.bin"), bytes);
    }
    int Progress() { return window.ProgressBar().GetPos(); }

    const std::string payload = Payload();
    TestServices services;
    SharedFolder plan = services.MakeSharedFolder();
    // Serves payload as files/payload.bin.
    RuviServer server = [this] {
        std::filesystem::create_directories(plan.windowsPath + "\\files");
        WriteTestFile(plan.windowsPath + "\\files\\payload.bin", payload);
        WriteTestFile(plan.windowsPath + "\\plan.xml",
                      "<Response><VersionLimit>1.0.0.1</VersionLimit><OperationList>"
                      "<Operation ModuleName=\"FileDownload\" ModuleLabel=\"L\" Type=\"t\" "
                      "Timeout=\"60s\"><URL>files/payload.bin</URL></Operation>"
                      "</OperationList></Response>");
        return services.StartRuviServer(plan.unixPath);
    }();
    TestFolder cache{"cache"};
    TestProgressWindow window;
    COpFileDownload download{"L", server.url, cache.Path()};
};

TEST_F(FileDownloadTest, FreshDownloadStoresTheWholeFile) {
    download.Run();
    EXPECT_EQ(download.result.code, 0);
    EXPECT_EQ(download.result.message, "");
    EXPECT_FALSE(download.result.showMessage);
    EXPECT_EQ(CachedFile(), payload);
    EXPECT_EQ(Progress(), 75);
}

TEST_F(FileDownloadTest, PartialFileResumesFromItsLastWholeKilobyte) {
    PutCachedFile(payload.substr(0, 2500));
    download.Run();
    EXPECT_EQ(download.result.code, 0);
    EXPECT_EQ(CachedFile(), payload);

    // Bytes before the resume point are kept as they are, the rest is the
    // server's: so the request asked for 2048, not 0 and not 2500.
    PutCachedFile(std::string(2500, 'x'));
    download.Run();
    EXPECT_EQ(CachedFile(), std::string(2048, 'x') + payload.substr(2048));
}

TEST_F(FileDownloadTest, WholeKilobytesResumeWhereTheyEnd) {
    PutCachedFile(std::string(3072, 'x'));
    download.Run();
    EXPECT_EQ(download.result.code, 0);
    EXPECT_EQ(CachedFile(), std::string(3072, 'x') + payload.substr(3072));
}

TEST_F(FileDownloadTest, ALongerStaleFileEndsWithTheDownload) {
    // Resumes at 9216, inside the stale file, whose tail lies past the end
    // of the payload.
    PutCachedFile(payload.substr(0, 9216) + std::string(1023, 'x'));
    download.Run();
    EXPECT_EQ(download.result.code, 0);
    EXPECT_EQ(CachedFile().size(), payload.size());
    EXPECT_TRUE(CachedFile() == payload);
}

TEST_F(FileDownloadTest, NothingLeftToFetchIsSuccessAndLeavesTheFileAlone) {
    const std::string longer = payload + std::string(10240 - kPayloadSize, 'x');
    PutCachedFile(longer);
    download.Run();
    EXPECT_EQ(download.result.code, 0);
    EXPECT_EQ(CachedFile(), longer);
    EXPECT_EQ(Progress(), 75);
}

TEST_F(FileDownloadTest, ADeclaredFileIsKeptOnlyWhenItIsWhatWasDeclared) {
    const std::string sha = Sha256HexOf(payload);
    const std::string otherSha = Sha256HexOf(payload + "x");
    const std::string longer = payload + std::string(2000, 'x');
    const struct {
        const char* name;
        std::string cached;  // "" for none
        std::optional<std::uint64_t> size;
        std::string sha256;
        int code;
    } cases[] = {
        {"size and hash right", "", kPayloadSize, sha, 0},
        {"only the hash", "", std::nullopt, sha, 0},
        // Resumed at 11264, it would fetch nothing and keep the wrong bytes.
        {"a longer cache file goes first", longer, kPayloadSize, sha, 0},
        {"another hash", "", kPayloadSize, otherSha, 404},
        {"another size", "", kPayloadSize + 1, sha, 404},
        {"only another size", "", kPayloadSize - 1, "", 404},
        {"a body longer than declared", "", kPayloadSize - 1, sha, 404},
    };
    for (const auto& c : cases) {
        if (!c.cached.empty()) PutCachedFile(c.cached);
        download.declaration = {c.size, DeclaredSha256(c.sha256)};
        download.Run();
        EXPECT_EQ(download.result.code, c.code) << c.name;
        if (c.code == 0) {
            EXPECT_TRUE(CachedFile() == payload) << c.name;
            EXPECT_EQ(Progress(), 75) << c.name;
        } else {
            EXPECT_EQ(download.result.message, kDownloadUnverified) << c.name;
            EXPECT_FALSE(CachedFileExists()) << c.name;
            EXPECT_EQ(Progress(), 10) << c.name;
        }
        std::filesystem::remove(cache.PathOf("payload.bin"));
        window.ProgressBar().SetPos(10);
    }
}

TEST_F(FileDownloadTest, ServerFailureIs401AndWritesNothing) {
    for (const std::string& url :
         {server.url + "files/absent.bin",
          "http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + "/RUVServer/files/x"}) {
        download.url = url;
        download.Run();
        EXPECT_EQ(download.result.code, 401) << url;
        EXPECT_EQ(download.result.message, kDownloadFailed) << url;
        EXPECT_FALSE(CachedFileExists()) << url;
        EXPECT_EQ(Progress(), 10) << url;
    }
}

TEST_F(FileDownloadTest, ABrokenDownloadKeepsWhatArrivedAndTheNextRunResumesAfterIt) {
    constexpr std::size_t kSize = 4000123;
    constexpr std::size_t kArrived = 3000000;
    const std::string file = ScriptedBytes(kSize);
    plan.WriteFile("files/large.bin", file);
    download.saveName = "large.bin";
    const std::string cached = cache.PathOf("large.bin");

    download.url =
        services.ScriptedUrl("cut/" + std::to_string(kSize) + "/" + std::to_string(kArrived));
    download.Run();
    EXPECT_EQ(download.result.code, 401);
    EXPECT_EQ(download.result.message, kDownloadFailed);
    EXPECT_EQ(download.facts.bytes, kArrived);
    EXPECT_TRUE(ReadTestFile(cached) == file.substr(0, kArrived));

    download.url = server.url + "files/large.bin";
    download.Run();
    EXPECT_EQ(download.result.code, 0);
    EXPECT_EQ(download.facts.offset, 2999296);  // the last whole kilobyte
    EXPECT_EQ(download.facts.bytes, kSize - 2999296);
    EXPECT_TRUE(ReadTestFile(cached) == file);
    EXPECT_EQ(Progress(), 75);
}

TEST_F(FileDownloadTest, ACacheFilePast4GiBResumesWithOnlyTheRestCrossingTheWire) {
    constexpr std::int64_t kServed = 5LL << 30;
    constexpr std::int64_t kResume = 9LL << 29;  // 4.5 GiB
    constexpr std::size_t kMark = 64 * 1024;
    // Marks on the server's side around the resume point and at the end;
    // zeros everywhere else, on both sides.
    const std::string marks = ScriptedBytes(2 * kMark);
    MakeSparseFile(plan.windowsPath + "\\files\\huge.bin", kServed,
                   {{kResume - kMark, marks}, {kServed - kMark, marks.substr(kMark)}});
    const std::string cached = cache.PathOf("huge.bin");
    MakeSparseFile(cached, kResume + 1000, {});
    download.saveName = "huge.bin";
    download.url = server.url + "files/huge.bin";
    download.declaration.size = kServed;

    download.Run();
    EXPECT_EQ(download.result.code, 0);
    EXPECT_EQ(download.facts.offset, kResume);
    EXPECT_EQ(download.facts.bytes, kServed - kResume);
    EXPECT_EQ(CachedFileSize(cached), kServed);
    // Before the resume point the cache file's own bytes stay; from it on,
    // the server's.
    EXPECT_EQ(ReadFileRange(cached, kResume - kMark, kMark), std::string(kMark, '\0'));
    EXPECT_TRUE(ReadFileRange(cached, kResume, kMark) == marks.substr(kMark));
    EXPECT_TRUE(ReadFileRange(cached, kServed - kMark, kMark) == marks.substr(kMark));
    // The offset went out in full: "4831838208", not a 32-bit remainder.
    EXPECT_NE(server.WaitForLogLine("\"offset\":4831838208}"), "");
}

TEST_F(FileDownloadTest, CacheThatCannotBeOpenedIs402) {
    // A folder that is not there, and no work folder at all (the installer
    // has no install folder).
    for (const std::string& workFolder : {cache.PathOf("absent folder"), std::string()}) {
        COpFileDownload intoNowhere("L", server.url, workFolder);
        intoNowhere.url = download.url;
        intoNowhere.Run();
        EXPECT_EQ(intoNowhere.result.code, 402) << workFolder;
        EXPECT_EQ(intoNowhere.result.message, kCacheOpenFailed) << workFolder;
    }

    std::filesystem::create_directory(cache.PathOf("payload.bin"));
    download.Run();
    EXPECT_EQ(download.result.code, 402);
    EXPECT_EQ(download.result.message, kCacheOpenFailed);
    EXPECT_EQ(Progress(), 10);
}

TEST_F(FileDownloadTest, WriteErrorsAre403AndKeepTheBytesBeforeThem) {
    // /dev/full takes the open and refuses every write.
    COpFileDownload ontoFullDisk("L", server.url, "Z:\\dev");
    ontoFullDisk.url = download.url;
    ontoFullDisk.saveName = "full";
    ontoFullDisk.PrepareRun({}, window.Sink());
    ontoFullDisk.Run();
    EXPECT_EQ(ontoFullDisk.result.code, 403);
    EXPECT_EQ(ontoFullDisk.result.message, kCacheWriteFailed);
    EXPECT_EQ(Progress(), 10);

    // Full part-way through the body.
    const std::string file = ScriptedBytes(3000000);
    plan.WriteFile("files/large.bin", file);
    DownloadOntoFillingDisk ontoFillingDisk(server.url, cache.Path(), 1500000);
    ontoFillingDisk.url = server.url + "files/large.bin";
    ontoFillingDisk.saveName = "large.bin";
    ontoFillingDisk.Run();
    EXPECT_EQ(ontoFillingDisk.result.code, 403);
    EXPECT_EQ(ontoFillingDisk.result.message, kCacheWriteFailed);
    EXPECT_EQ(ontoFillingDisk.facts.bytes, 1500000);
    EXPECT_TRUE(ReadTestFile(cache.PathOf("large.bin")) == file.substr(0, 1500000));
}

TEST_F(FileDownloadTest, ADeclaredHashCoversTheBytesOnDiskAcrossAWriteFailureAndAResume) {
    const std::string file = ScriptedBytes(3000000);
    plan.WriteFile("files/large.bin", file);
    const std::string cached = cache.PathOf("large.bin");
    const FileDeclaration declared{file.size(), Sha256Of(file)};
    DownloadOntoFillingDisk ontoFillingDisk(server.url, cache.Path(), 1500000);
    ontoFillingDisk.url = server.url + "files/large.bin";
    ontoFillingDisk.saveName = "large.bin";
    ontoFillingDisk.declaration = declared;
    download.url = ontoFillingDisk.url;
    download.saveName = "large.bin";
    download.declaration = declared;

    // The kept bytes are hashed from the file, the rest as it arrives.
    ontoFillingDisk.Run();
    EXPECT_EQ(ontoFillingDisk.result.code, 403);
    download.Run();
    EXPECT_EQ(download.result.code, 0);
    EXPECT_EQ(download.facts.offset, 1499136);
    EXPECT_TRUE(ReadTestFile(cached) == file);

    // A kept byte that is not the server's shows, though no answer sent it.
    std::string kept = file.substr(0, 1500000);
    kept[1000] = static_cast<char>(~kept[1000]);
    WriteTestFile(cached, kept);
    download.Run();
    EXPECT_EQ(download.result.code, 404);
    EXPECT_EQ(download.facts.offset, 1499136);
    EXPECT_FALSE(std::filesystem::exists(cached));
}

TEST_F(FileDownloadTest, GoesThroughTheUsersProxy) {
    const SquidProxy proxy = services.StartSquid("ruvi", "s3cret");
    download.PrepareRun({true, {"127.0.0.1", std::to_string(proxy.port), "ruvi", "s3cret"}},
                        nullptr);
    download.Run();
    EXPECT_EQ(download.result.code, 0);
    EXPECT_EQ(CachedFile(), payload);
    EXPECT_NE(proxy.WaitForLogLine("/RUVServer/files/payload.bin"), "");
}

}  // namespace
