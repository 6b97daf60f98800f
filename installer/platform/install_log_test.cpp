#include "platform/install_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "platform/install_log_folder.h"

namespace {

namespace fs = std::filesystem;

constexpr SYSTEMTIME kTime{2025, 1, 5, 31, 9, 5, 7, 42};

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class ScratchFolder {
public:
    ScratchFolder()
        : path_(fs::temp_directory_path() /
                ("ruvi-log-test-" + std::to_string(GetCurrentProcessId()))) {
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& Path() const { return path_; }
    void Touch(const std::string& name) const { std::ofstream(path_ / name) << "x"; }
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(path_)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

private:
    fs::path path_;
};

TEST(InstallLog, LinesCarryLocalTimeWithOffsetThreadEventAndFields) {
    struct Case {
        int offsetMinutes;
        LogFields fields;
        std::string expected;
    };
    const Case cases[] = {
        {480, {}, "2025-01-31T09:05:07.042+08:00 77 start\r\n"},
        {-330,
         {{"code", 404}, {"ok", false}, {"rate", 2.5}},
         "2025-01-31T09:05:07.042-05:30 77 start code=404 ok=no rate=2.50\r\n"},
        // The program's GBK text goes out in UTF-8.
        {0,
         {{"label", "下载"}, {"size", std::size_t{5}}},
         "2025-01-31T09:05:07.042+00:00 77 start label=\"\xe4\xb8\x8b\xe8\xbd\xbd\" size=5\r\n"},
        // Quotes, backslashes and line breaks cannot break a line or a field.
        {0,
         {{"text", "a \"b\"\\c\r\nd\x01"}},
         "2025-01-31T09:05:07.042+00:00 77 start text=\"a \\\"b\\\"\\\\c\\r\\nd\\x01\"\r\n"},
        // Nor can a GBK character whose second byte is a backslash's (乗,
        // 81 5C) before a quote: it is one character, not an escape.
        {0,
         {{"text", "\x81\x5c\""}, {"zero", std::string("a\0b", 3)}},
         "2025-01-31T09:05:07.042+00:00 77 start text=\"\xe4\xb9\x97\\\"\" "
         "zero=\"a\\x00b\"\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatLogLine(kTime, c.offsetMinutes, 77, "start", c.fields), c.expected);
    }
}

TEST(InstallLog, WritesUtf8OnlyWhileOpenAndNeverFailsTheCaller) {
    const ScratchFolder folder;
    const fs::path path = folder.Path() / "run.log";
    install_log::Write("before");
    ASSERT_TRUE(install_log::Open(path.string()));
    install_log::Write("operation-end", {{"label", "下载"}});
    install_log::Close();
    install_log::Write("after");

    const std::string text = ReadAll(path);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
    EXPECT_NE(text.find(" operation-end label=\"\xe4\xb8\x8b\xe8\xbd\xbd\"\r\n"), std::string::npos)
        << text;

    EXPECT_FALSE(install_log::Open((folder.Path() / "missing" / "run.log").string()));
    install_log::Write("nowhere");
}

TEST(InstallLog, GoesToTheInstallFoldersLogsAndWithoutAnInstallFolderNowhere) {
    const ScratchFolder install;
    const auto folder = OpenInstallLog("", install.Path().string() + "\\");
    install_log::Write("start");
    install_log::Close();
    ASSERT_TRUE(folder && folder->Usable());
    EXPECT_EQ(folder->path, (install.Path() / "Logs").string());
    std::set<std::string> logs;
    for (const auto& entry : fs::directory_iterator(install.Path() / "Logs")) {
        logs.insert(entry.path().filename().string());
    }
    ASSERT_EQ(logs.size(), 1u);
    EXPECT_TRUE(IsInstallLogFileName(*logs.begin())) << *logs.begin();
    const std::string ownSuffix = std::string("-").append(std::to_string(GetCurrentProcessId()));
    EXPECT_TRUE(logs.begin()->ends_with(ownSuffix + ".log")) << *logs.begin();

    const auto none = OpenInstallLog("", "");
    EXPECT_TRUE(none && !none->Usable());
    // With a path there is no log folder to tell of.
    EXPECT_FALSE(OpenInstallLog((install.Path() / "run.log").string(), "").has_value());
    install_log::Close();
}

TEST(InstallLog, NamesFollowThePatternAndPruningKeepsTheNewestTenOfThemOnly) {
    EXPECT_EQ(InstallLogFileName(kTime, 1234), "RUVInstaller-20250131-090507-1234.log");
    for (const char* name :
         {"RUVInstaller-20250131-090507-1234.log.bak", "RUVInstaller-20250131-090507-.log",
          "RUVInstaller-2025013-090507-1.log", "RUVInstaller-20250131-090507-12a.log",
          "RUVInstaller.log"}) {
        EXPECT_FALSE(IsInstallLogFileName(name)) << name;
    }

    const ScratchFolder folder;
    std::set<std::string> logs;
    for (int day = 10; day < 22; ++day) {
        logs.insert("RUVInstaller-202501" + std::to_string(day) + "-120000-7.log");
    }
    const std::set<std::string> others = {"RUVInstaller-20240101-000000-1.txt", "notes.log",
                                          "RUVInstaller-20240101-000000-x.log"};
    for (const auto& name : logs) folder.Touch(name);
    for (const auto& name : others) folder.Touch(name);

    PruneInstallLogs(folder.Path().string(), kInstallLogsKept);

    std::set<std::string> expected(std::next(logs.begin(), 2), logs.end());
    expected.insert(others.begin(), others.end());
    EXPECT_EQ(folder.Names(), expected);
}

}  // namespace
