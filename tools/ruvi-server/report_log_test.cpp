#include "report_log.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "test_plan_folder.h"

namespace {

// The bodies of a log file's lines; fails the test on a line that is not
// time, client and body.
std::vector<std::string> BodiesOf(const std::string& log) {
    std::vector<std::string> bodies;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_THAT(line, ::testing::MatchesRegex("[0-9T:Z-]+\t[^\t]+\t[^\t]+")) << line;
        bodies.push_back(line.substr(line.rfind('\t') + 1));
    }
    return bodies;
}

class ReportLog : public ::testing::Test {
protected:
    std::string Read(const char* name) const { return folder_.ReadFile(name); }
    std::filesystem::path LogPath() const { return folder_.Path() / "reports.log"; }

    CTestPlanFolder folder_{""};
};

// Two logs on one file stand for two server instances sharing a plan folder
// (the lock is per open file, so they exclude each other as processes do).
TEST_F(ReportLog, InstancesSharingTheFileRotateOnceAndLoseNoLine) {
    constexpr std::size_t kRotationSize = 3000;
    constexpr int kLinesPerWriter = 25;
    CReportLog first(LogPath(), kRotationSize);
    CReportLog second(LogPath(), kRotationSize);
    std::set<std::string> sent;
    std::vector<std::thread> writers;
    for (int writer = 0; writer < 4; ++writer) {
        CReportLog& log = writer % 2 == 0 ? first : second;
        for (int i = 0; i < kLinesPerWriter; ++i) {
            sent.insert("report-" + std::to_string(writer) + "-" + std::to_string(i));
        }
        writers.emplace_back([&log, writer] {
            for (int i = 0; i < kLinesPerWriter; ++i) {
                EXPECT_TRUE(log.Append(
                    "10.0.0.1", "report-" + std::to_string(writer) + "-" + std::to_string(i)));
            }
        });
    }
    for (std::thread& writer : writers) writer.join();

    const std::string rotated = Read("reports.log.1");
    const std::string current = Read("reports.log");
    ASSERT_GT(rotated.size() + current.size(), kRotationSize) << "no rotation was due";
    ASSERT_LT(rotated.size() + current.size(), 2 * kRotationSize) << "a second one was";
    EXPECT_LE(rotated.size(), kRotationSize);
    EXPECT_LE(current.size(), kRotationSize);
    std::vector<std::string> bodies = BodiesOf(rotated);
    const std::vector<std::string> later = BodiesOf(current);
    bodies.insert(bodies.end(), later.begin(), later.end());
    EXPECT_EQ(bodies.size(), sent.size());
    EXPECT_EQ(std::set<std::string>(bodies.begin(), bodies.end()), sent);
}

TEST_F(ReportLog, KeepsOneOldFile) {
    // Each line is about 30 bytes: every one after the first starts a file.
    CReportLog log(LogPath(), 40);
    for (const char* body : {"first", "second", "third"}) ASSERT_TRUE(log.Append("c", body));
    EXPECT_THAT(BodiesOf(Read("reports.log.1")), ::testing::ElementsAre("second"));
    EXPECT_THAT(BodiesOf(Read("reports.log")), ::testing::ElementsAre("third"));
    EXPECT_FALSE(std::filesystem::exists(folder_.Path() / "reports.log.2"));
}

}  // namespace
