#include "operations/os_check.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "operation_test_support.h"
#include "operations/os_description.h"
#include "platform/kernel_handle.h"
#include "scoped_registry_value.h"

using ::testing::MatchesRegex;

namespace {

using namespace ops_test;

constexpr char kBlackListedText[] =
    "\xb2\xd9\xd7\xf7\xcf\xb5\xcd\xb3\xd2\xd1\xc1\xd0\xc8\xeb\xba\xda\xc3\xfb\xb5\xa5\xa3\xac\xce"
    "\xde\xb7\xa8\xd6\xa7\xb3\xd6";

// What Wine 8 reports to a program that it runs as 64-bit Windows XP.
constexpr char kWineXpDescription[] =
    "OSVERSIONINFOEX_Major_5_Minor_2_Build_3790_PlatformId_2_CSDVersion_Service Pack 2"
    "_SPMajor_2_SPMinor_0_Mask_256_Type_1_END";

OSVERSIONINFOEXA XpServicePack3() {
    OSVERSIONINFOEXA info{};
    info.dwMajorVersion = 5;
    info.dwMinorVersion = 1;
    info.dwBuildNumber = 2600;
    info.dwPlatformId = 2;
    lstrcpyA(info.szCSDVersion, "Service Pack 3");
    info.wServicePackMajor = 3;
    info.wSuiteMask = 256;
    info.wProductType = 1;
    return info;
}

OperationResult CheckAgainst(std::vector<std::string> items) {
    COpOSCheck check("L", "", "");
    check.blackList.insert(items.begin(), items.end());
    check.Run();
    return check.result;
}

TEST(OSDescriptionTest, FormatsEveryFieldInItsPlace) {
    EXPECT_EQ(FormatExtendedOSDescription(XpServicePack3()),
              "OSVERSIONINFOEX_Major_5_Minor_1_Build_2600_PlatformId_2_CSDVersion_Service Pack 3"
              "_SPMajor_3_SPMinor_0_Mask_256_Type_1_END");
    EXPECT_EQ(
        FormatBasicOSDescription(XpServicePack3()),
        "OSVERSIONINFO_Major_5_Minor_1_Build_2600_PlatformId_2_CSDVersion_Service Pack 3_END");
}

TEST(OSDescriptionTest, UnterminatedServicePackTextStaysInsideItsField) {
    OSVERSIONINFOEXA info = XpServicePack3();
    std::fill(std::begin(info.szCSDVersion), std::end(info.szCSDVersion), 'x');
    const std::string description = FormatBasicOSDescription(info);
    EXPECT_EQ(description, "OSVERSIONINFO_Major_5_Minor_1_Build_2600_PlatformId_2_CSDVersion_" +
                               std::string(128, 'x') + "_END");
}

TEST(OSDescriptionTest, RunningSystemAnswersTheExtendedQuery) {
    EXPECT_THAT(GetOSDescription(),
                MatchesRegex("OSVERSIONINFOEX_Major_\\d+_Minor_\\d+_Build_\\d+_PlatformId_2_"
                             "CSDVersion_.*_SPMajor_\\d+_SPMinor_\\d+_Mask_\\d+_Type_1_END"));
}

TEST(OSCheckTest, OnlyTheWholeDescriptionOfTheRunningSystemMatches) {
    const std::string running = GetOSDescription();
    const std::string withoutEnd = running.substr(0, running.size() - 4);
    std::string otherCase = running;
    otherCase[0] = 'o';

    const OperationResult listed = CheckAgainst({"other system", running});
    EXPECT_EQ(listed.code, 102);
    EXPECT_EQ(listed.message, kBlackListedText);
    EXPECT_TRUE(listed.showMessage);
    EXPECT_FALSE(listed.skipFollowing);

    for (const std::string& item :
         {withoutEnd, otherCase, running + " ", std::string("OSVERSION")}) {
        const OperationResult passed = CheckAgainst({item});
        EXPECT_EQ(passed.code, 0) << item;
        EXPECT_EQ(passed.message, "");
        EXPECT_FALSE(passed.showMessage);
    }
    EXPECT_EQ(CheckAgainst({}).code, 0);
}

TEST(OSCheckTest, BasicFormItemDoesNotMatchASystemThatAnswersTheExtendedQuery) {
    OSVERSIONINFOEXA info{};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info)));
    EXPECT_EQ(CheckAgainst({FormatBasicOSDescription(info)}).code, 0);
    EXPECT_EQ(CheckAgainst({FormatExtendedOSDescription(info)}).code, 102);
}

// Runs the probe with a black list; its exit code is the check's result.
struct ProbeOutcome {
    DWORD code = 0xFFFFFFFF;
    std::string description;
};

ProbeOutcome RunProbe(const TestFolder& folder, const std::vector<std::string>& items) {
    const std::string output = folder.PathOf("description.txt");
    std::string commandLine = Quoted(WindowsPathOf(RUVI_OS_CHECK_PROBE));
    commandLine.append(" ").append(Quoted(output));
    for (const std::string& item : items) commandLine.append(" ").append(Quoted(item));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION created{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &startup, &created)) {
        ADD_FAILURE() << "cannot start the probe: " << GetLastError();
        return {};
    }
    const KernelHandle process(created.hProcess);
    const KernelHandle thread(created.hThread);
    ProbeOutcome outcome;
    if (WaitForSingleObject(process.Get(), 60000) != WAIT_OBJECT_0) {
        TerminateProcess(process.Get(), 1);
        ADD_FAILURE() << "the probe did not end";
        return outcome;
    }
    GetExitCodeProcess(process.Get(), &outcome.code);
    outcome.description = ReadTestFile(output);
    return outcome;
}

TEST(OSCheckTest, BlackListsTheSystemThatWineReportsToTheProgram) {
    TestFolder folder;
    const std::string ownSystem = GetOSDescription();
    ASSERT_NE(ownSystem, kWineXpDescription);

    ScopedRegistryValue xp(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\os_check_probe.exe",
                           "Version");
    xp.SetText("winxp64");
    const ProbeOutcome listed = RunProbe(folder, {ownSystem, kWineXpDescription});
    EXPECT_EQ(listed.description, kWineXpDescription);
    EXPECT_EQ(listed.code, 102u);

    const ProbeOutcome passed = RunProbe(folder, {ownSystem});
    EXPECT_EQ(passed.code, 0u);
}

}  // namespace
