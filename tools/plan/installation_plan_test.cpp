#include "installation_plan.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "core/xml_document.h"
#include "plan_error.h"
#include "test_plan_folder.h"

namespace {

using ::testing::HasSubstr;

class InstallationPlan : public ::testing::Test {
protected:
    CXmlRuntime xmlRuntime_;
};

std::string PlanErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const CPlanError& error) {
        return error.what();
    }
    return "(no error)";
}

TEST_F(InstallationPlan, KeepsTheDocumentsBytesAndReadsItsOperationsAsTheInstallerDoes) {
    const std::string xml = PlanWithOperations(
        DownloadOperation("files/a.exe") +
        "<Operation ModuleName=\"SetupRun\" ModuleLabel=\"x\" Type=\"1\" Timeout=\"9s\">"
        "<ExecName>a.exe</ExecName><Sha256>AB</Sha256><Sha256>cd</Sha256></Operation>"
        "<Other>" +
        DownloadOperation("files/nested") + "</Other>" +
        "<Operation ModuleName=\"FileDownload\"><URL>http://example.com/b.exe</URL>"
        "<SaveName></SaveName><Size>12</Size><Sha256/></Operation>");
    const CTestPlanFolder folder(xml);

    const CInstallationPlan plan = LoadInstallationPlan(folder.Path());

    EXPECT_EQ(std::string(plan.document.begin(), plan.document.end()), xml);
    ASSERT_EQ(plan.operations.size(), 3u);
    EXPECT_EQ(plan.operations[0].url, "files/a.exe");
    EXPECT_EQ(plan.operations[0].saveName, "setup.exe");
    EXPECT_FALSE(plan.operations[0].sha256);
    EXPECT_TRUE(plan.operations[1].IsSetupRun());
    EXPECT_EQ(plan.operations[1].execName, "a.exe");
    EXPECT_EQ(plan.operations[1].sha256, "AB");
    EXPECT_EQ(plan.operations[2].saveName, "RUV_installer.EXE");
    EXPECT_EQ(plan.operations[2].size, "12");
    EXPECT_EQ(plan.operations[2].sha256, "");
}

TEST_F(InstallationPlan, ASetupRunRunsTheLastDownloadBeforeItSavedUnderItsName) {
    const auto setupRun = [](const char* execName) {
        return "<Operation ModuleName=\"SetupRun\"><ExecName>" + std::string(execName) +
               "</ExecName></Operation>";
    };
    const auto download = [](const char* url, const char* saveName) {
        return "<Operation ModuleName=\"FileDownload\"><URL>" + std::string(url) + "</URL>" +
               (*saveName ? "<SaveName>" + std::string(saveName) + "</SaveName>" : "") +
               "</Operation>";
    };
    const CTestPlanFolder folder(
        PlanWithOperations(setupRun("a.exe") + download("files/1", "a.exe") +
                           download("files/2", "A.EXE") + download("files/3", "") +
                           setupRun("a.Exe") + setupRun("ruv_installer.exe") + setupRun("b.exe")));
    const CInstallationPlan plan = LoadInstallationPlan(folder.Path());
    EXPECT_EQ(DownloadRunBy(plan, 0), std::nullopt);  // nothing before it
    EXPECT_EQ(DownloadRunBy(plan, 4), 2u);
    EXPECT_EQ(DownloadRunBy(plan, 5), 3u);
    EXPECT_EQ(DownloadRunBy(plan, 6), std::nullopt);
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
        EXPECT_THAT(PlanErrorOf([&] { LoadInstallationPlan(folder.Path()); }), HasSubstr(c.reason))
            << c.xml;
    }
    EXPECT_THAT(PlanErrorOf([] { LoadInstallationPlan("/nonexistent/ruvi-plan"); }),
                HasSubstr("cannot read"));
}

TEST_F(InstallationPlan, EveryDownloadAddressingThisServerMustNameAnExistingFile) {
    const CServerOrigin http{false, "127.0.0.1:8080"};
    const CServerOrigin https{true, "127.0.0.1:8443"};
    const CServerOrigin localhost80{false, "localhost:80"};
    const CServerOrigin localhost443{true, "LOCALHOST:443"};
    const struct {
        std::string url;
        bool accepted;
        const CServerOrigin* origin;
    } cases[] = {
        {"files/setup.exe", true, &http},
        {"files/v2/setup.exe", true, &http},
        {"files/set%75p.exe?v=2", true,
         &http},  // decoded, without the query, as the server sees it
        {"http://127.0.0.1:8080/RUVServer/files/setup.exe", true, &http},
        {"http://127.0.0.1:9999/RUVServer/files/elsewhere.exe", true, &http},
        {"http://127.0.0.2:8080/RUVServer/files/elsewhere.exe", true, &http},
        {"files/missing.exe", false, &http},
        {"files/v2", false, &http},          // a folder
        {"/files/setup.exe", false, &http},  // base + "/files/...": the doubled slash stays
        {"files//setup.exe", false, &http},
        {"setup.exe", false, &http},
        {"files/../plan.xml", false, &http},
        {"files/%2e%2e/plan.xml", false, &http},
        {"http://127.0.0.1:8080/RUVServer/files/missing.exe", false, &http},
        {"http://127.0.0.1:8080/RUVServer/files/missing.exe", true, nullptr},  // no origin
        {"files/missing.exe", false, nullptr},
        // another scheme is another server; https is the TLS server's
        {"https://127.0.0.1:8080/RUVServer/files/missing.exe", true, &http},
        {"http://127.0.0.1:8443/RUVServer/files/missing.exe", true, &https},
        {"https://127.0.0.1:8443/RUVServer/files/missing.exe", false, &https},
        {"https://127.0.0.1:8443/RUVServer/files/setup.exe", true, &https},
        {"http://localhost/RUVServer/files/missing.exe", false, &localhost80},
        {"https://localhost/RUVServer/files/missing.exe", false, &localhost443},
        // not absolute for the installer, so appended to its server URL
        {"HTTP://127.0.0.1:8080/RUVServer/files/setup.exe", false, &http},
    };
    for (const auto& c : cases) {
        const CTestPlanFolder folder(PlanWithOperations(DownloadOperation(c.url)));
        folder.AddFile("setup.exe", "MZ");
        folder.AddFile("v2/setup.exe", "MZ");
        const CInstallationPlan plan = LoadInstallationPlan(folder.Path());
        const std::string error =
            PlanErrorOf([&] { LocalDownloads(plan, folder.Path(), "/RUVServer/", c.origin); });
        if (c.accepted) {
            EXPECT_EQ(error, "(no error)") << c.url;
        } else {
            EXPECT_THAT(error, HasSubstr(c.url));
        }
    }
}

TEST_F(InstallationPlan, LocalDownloadsNameTheirOperationAndFile) {
    const CTestPlanFolder folder(PlanWithOperations("<Operation ModuleName=\"UserCheck\"/>" +
                                                    DownloadOperation("http://example.com/a.exe") +
                                                    DownloadOperation("files/v2/set%75p.exe")));
    folder.AddFile("v2/setup.exe", "MZ");
    const auto downloads =
        LocalDownloads(LoadInstallationPlan(folder.Path()), folder.Path(), "/RUVServer/", nullptr);
    ASSERT_EQ(downloads.size(), 1u);
    EXPECT_EQ(downloads[0].operation, 2u);
    EXPECT_EQ(downloads[0].file, folder.Path() / "files" / "v2" / "setup.exe");
}

}  // namespace
