#include "installation_plan.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "startup/xml_document.h"
#include "startup_error.h"
#include "test_plan_folder.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class InstallationPlan : public ::testing::Test {
protected:
    CXmlRuntime xmlRuntime_;
};

std::string StartupErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const CStartupError& error) {
        return error.what();
    }
    return "(no error)";
}

TEST_F(InstallationPlan, KeepsTheDocumentsBytesAndListsOnlyItsDownloadUrls) {
    const std::string xml = PlanWithOperations(
        DownloadOperation("files/a.exe") +
        "<Operation ModuleName=\"SetupRun\" ModuleLabel=\"x\" Type=\"1\" Timeout=\"9s\">"
        "<ExecName>a.exe</ExecName><URL>files/not-a-download</URL></Operation>"
        "<Other>" +
        DownloadOperation("files/nested") + "</Other>" +
        DownloadOperation("http://example.com/b.exe"));
    const CTestPlanFolder folder(xml);

    const CInstallationPlan plan = LoadInstallationPlan(folder.Path());

    EXPECT_EQ(std::string(plan.document.begin(), plan.document.end()), xml);
    EXPECT_THAT(plan.downloadUrls, ElementsAre("files/a.exe", "http://example.com/b.exe"));
}

TEST_F(InstallationPlan, RefusesDocumentsEveryInstallerWouldReject) {
    const struct {
        std::string xml;
        std::string reason;
    } cases[] = {
        {"<Response><VersionLimit>1.0.0.1</VersionLimit><OperationList>", "well-formed"},
        {"", "well-formed"},
        {"<Response><OperationList/></Response>", "VersionLimit"},
        {"<Response><Inner><VersionLimit>1.0.0.1</VersionLimit></Inner><OperationList/></Response>",
         "VersionLimit"},
        {"<Response><VersionLimit></VersionLimit><OperationList/></Response>",
         "VersionLimit is empty"},
        {"<Response><VersionLimit>1.0.0.1</VersionLimit></Response>", "OperationList"},
    };
    for (const auto& c : cases) {
        const CTestPlanFolder folder(c.xml);
        EXPECT_THAT(StartupErrorOf([&] { LoadInstallationPlan(folder.Path()); }),
                    HasSubstr(c.reason))
            << c.xml;
    }
    EXPECT_THAT(StartupErrorOf([] { LoadInstallationPlan("/nonexistent/ruvi-plan"); }),
                HasSubstr("cannot read"));
}

TEST_F(InstallationPlan, EveryDownloadAddressingThisServerMustNameAnExistingFile) {
    const struct {
        std::string url;
        bool accepted;
    } cases[] = {
        {"files/setup.exe", true},
        {"files/v2/setup.exe", true},
        {"files/set%75p.exe?v=2", true},  // decoded, without the query, as the server sees it
        {"http://127.0.0.1:8080/RUVServer/files/setup.exe", true},
        {"http://127.0.0.1:9999/RUVServer/files/elsewhere.exe", true},
        {"http://127.0.0.2:8080/RUVServer/files/elsewhere.exe", true},
        {"files/missing.exe", false},
        {"files/v2", false},          // a folder
        {"/files/setup.exe", false},  // base + "/files/...": the doubled slash stays
        {"files//setup.exe", false},
        {"setup.exe", false},
        {"files/../plan.xml", false},
        {"files/%2e%2e/plan.xml", false},
        {"http://127.0.0.1:8080/RUVServer/files/missing.exe", false},
        // not absolute for the installer, so appended to its server URL
        {"https://127.0.0.1:8080/RUVServer/files/setup.exe", false},
        {"HTTP://127.0.0.1:8080/RUVServer/files/setup.exe", false},
    };
    for (const auto& c : cases) {
        const CTestPlanFolder folder(PlanWithOperations(DownloadOperation(c.url)));
        folder.AddFile("setup.exe", "MZ");
        folder.AddFile("v2/setup.exe", "MZ");
        const CInstallationPlan plan = LoadInstallationPlan(folder.Path());
        const std::string error = StartupErrorOf(
            [&] { CheckPlanDownloads(plan, folder.Path(), "/RUVServer/", "127.0.0.1:8080"); });
        if (c.accepted) {
            EXPECT_EQ(error, "(no error)") << c.url;
        } else {
            EXPECT_THAT(error, HasSubstr(c.url));
        }
    }
}

}  // namespace
