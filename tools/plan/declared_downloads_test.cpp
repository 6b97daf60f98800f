#include "declared_downloads.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "core/xml_document.h"
#include "plan_error.h"
#include "test_plan_folder.h"

namespace {

using ::testing::HasSubstr;

class DeclaredDownloads : public ::testing::Test {
protected:
    // The failure of checking a plan with these operations against a
    // files/setup.exe of "MZ", or "" when it passes.
    std::string Check(const std::string& operations) {
        const CTestPlanFolder folder(PlanWithOperations(operations));
        folder.AddFile("setup.exe", "MZ");
        try {
            const CInstallationPlan plan = LoadInstallationPlan(folder.Path());
            CFileFactsCache files;
            CheckDeclaredDownloads(
                plan, LocalDownloads(plan, folder.Path(), kDefaultBasePath, nullptr), files);
            return "";
        } catch (const CPlanError& error) {
            return error.what();
        }
    }

    CXmlRuntime xmlRuntime_;
};

std::string Download(const std::string& url, const std::string& declared,
                     const std::string& saveName = "setup.exe") {
    const std::string save = saveName.empty() ? "" : "<SaveName>" + saveName + "</SaveName>";
    return "<Operation ModuleName=\"FileDownload\"><URL>" + url + "</URL>" + save + declared +
           "</Operation>";
}

std::string SetupRun(const std::string& execName, const std::string& sha256) {
    return "<Operation ModuleName=\"SetupRun\"><ExecName>" + execName + "</ExecName><Sha256>" +
           sha256 + "</Sha256></Operation>";
}

TEST_F(DeclaredDownloads, DeclaredSizesAndHashesMustBeThoseOfTheServedFiles) {
    const std::string mz = HexOf(Sha256(ByteVector{'M', 'Z'}));
    std::string upper = mz;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::string other = HexOf(Sha256(ByteVector{'M', 'Z', '!'}));
    const struct {
        std::string operations;
        std::string failure;  // "" when accepted
    } cases[] = {
        {Download("files/setup.exe", ""), ""},
        {Download("files/setup.exe", "<Size>2</Size><Sha256>" + mz + "</Sha256>"), ""},
        {Download("files/setup.exe", "<Sha256>" + upper + "</Sha256>"), ""},
        {Download("files/setup.exe", "<Size>3</Size>"), "has 2 bytes, but the download"},
        {Download("files/setup.exe", "<Size>+2</Size>"), "\"+2\" of the download"},
        {Download("files/setup.exe", "<Size></Size>"), "is not a decimal number"},
        {Download("files/setup.exe", "<Sha256>" + other + "</Sha256>"), "has the SHA-256 " + mz},
        {Download("files/setup.exe", "<Sha256>" + mz.substr(1) + "</Sha256>"), "not 64 hex"},
        {Download("files/setup.exe", "<Sha256>" + mz.substr(1) + "g</Sha256>"), "not 64 hex"},
        // another server's file: nothing to compare
        {Download("http://example.com/x", "<Size>9</Size><Sha256>" + other + "</Sha256>"), ""},
        // a setup run is checked against the download it runs
        {Download("files/setup.exe", "") + SetupRun("SETUP.exe", mz), ""},
        {Download("files/setup.exe", "") + SetupRun("setup.exe", other),
         "but the setup run of setup.exe declares"},
        {Download("files/setup.exe", "") + SetupRun("setup.exe", "x"), "not 64 hex"},
        {Download("files/setup.exe", "", "") + SetupRun("ruv_installer.exe", other),
         "but the setup run of ruv_installer.exe declares"},
        {Download("files/setup.exe", "", "") + SetupRun("setup.exe", other), ""},
        {SetupRun("setup.exe", other) + Download("files/setup.exe", ""), ""},
        {Download("http://example.com/x", "") + SetupRun("setup.exe", other), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.operations);
        const std::string failure = Check(c.operations);
        if (c.failure.empty()) {
            EXPECT_EQ(failure, "");
        } else {
            EXPECT_THAT(failure, HasSubstr(c.failure));
            EXPECT_THAT(failure, HasSubstr("files/setup.exe"));  // names the file
        }
    }
}

}  // namespace
