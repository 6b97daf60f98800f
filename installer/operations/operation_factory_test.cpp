#include "operations/operation_factory.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "core/message_error.h"
#include "operation_test_support.h"
#include "operations/file_download.h"
#include "operations/operation_messages.h"
#include "operations/os_check.h"
#include "operations/ruv_check.h"
#include "operations/setup_run.h"

using ::testing::ElementsAre;

namespace {

using namespace ops_test;

constexpr char kBase[] = "http://127.0.0.1:8080/RUVServer/";
constexpr char kCache[] = "C:\\users\\root\\Temp\\\\Tarvano\\RUVI";

class OperationFactoryTest : public ::testing::Test {
protected:
    std::unique_ptr<COperatorBase> Create(const std::string& xml, bool trusted = false) {
        CXmlDocument holder;
        const xercesc::DOMNode* element = ParseRoot(holder, xml);
        if (element == nullptr) throw std::runtime_error("test element does not parse: " + xml);
        return CreateOperation(element, {kBase, kCache, trusted, ""});
    }

    // The text CreateOperation throws, or "built" when it succeeds.
    std::string Outcome(const std::string& xml, bool trusted = false) {
        try {
            Create(xml, trusted);
            return "built";
        } catch (const CMessageError& error) {
            return error.Text();
        }
    }

    template <typename Operation>
    std::unique_ptr<Operation> CreateAs(const std::string& xml) {
        std::unique_ptr<COperatorBase> built = Create(xml);
        auto* typed = dynamic_cast<Operation*>(built.get());
        if (typed == nullptr) throw std::runtime_error("built the wrong kind: " + xml);
        built.release();
        return std::unique_ptr<Operation>(typed);
    }

    CXmlRuntime runtime;
};

struct FaultCase {
    const char* element;
    const char* text;
};

TEST_F(OperationFactoryTest, ReportsTheFirstFaultInAttributeOrder) {
    using namespace operation_messages;
    const FaultCase cases[] = {
        {"<Operation/>", kModuleNameMissing},
        {R"(<Operation ModuleName="" ModuleLabel="" Type=""/>)", kModuleNameMissing},
        {R"(<Operation ModuleLabel="L" Type="t" Timeout="5s"/>)", kModuleNameMissing},
        {R"(<Operation ModuleName="OSCheck" Type="t" Timeout="5s"/>)", kModuleLabelMissing},
        {R"(<Operation ModuleName="Bogus" Timeout="x"/>)", kModuleLabelMissing},
        {R"(<Operation ModuleName="OSCheck" ModuleLabel="L" Timeout="5s"/>)",
         kOperationTypeMissing},
        {R"(<Operation ModuleName="OSCheck" ModuleLabel="L" Type="" Timeout="5s"/>)",
         kOperationTypeMissing},
        {R"(<Operation ModuleName="Bogus" ModuleLabel="L" Type="t"/>)", kUnknownModule},
        {R"(<Operation ModuleName="InvokeRUV" ModuleLabel="L" Type="t" Timeout="5s"/>)",
         kUnknownModule},
        {R"(<Operation ModuleName="oscheck" ModuleLabel="L" Type="t" Timeout="5s"/>)",
         kUnknownModule},
        {R"(<Operation ModuleName="OSCheck " ModuleLabel="L" Type="t" Timeout="5s"/>)",
         kUnknownModule},
        {R"(<Operation ModuleName="OSCheck" ModuleLabel="L" Type="t"/>)", kTimeUnparsable},
        {R"(<Operation ModuleName="OSCheck" ModuleLabel="L" Type="t" Timeout="2m"/>)",
         kTimeUnsupported},
        {R"(<Operation ModuleName="OSCheck" ModuleLabel="L" Type="t" Timeout="0s"/>)",
         kTimeNotPositive},
        // Init comes last: a download without URL and a bad time reports the time.
        {R"(<Operation ModuleName="FileDownload" ModuleLabel="L" Type="t" Timeout="0s"/>)",
         kTimeNotPositive},
        {R"(<Operation ModuleName="FileDownload" ModuleLabel="L" Type="t" Timeout="5s"/>)",
         kModuleInitFailed},
        {R"(<Operation ModuleName="FileDownload" ModuleLabel="L" Type="t" Timeout="5s"><URL/></Operation>)",
         kModuleInitFailed},
        {R"(<Operation ModuleName="SetupRun" ModuleLabel="L" Type="t" Timeout="5s"><Description>d</Description></Operation>)",
         kModuleInitFailed},
        // A name that is no plain file name (the whole table is the name
        // check's own).
        {R"(<Operation ModuleName="FileDownload" ModuleLabel="L" Type="t" Timeout="5s"><URL>u</URL><SaveName>..\..\evil.dll</SaveName></Operation>)",
         kModuleInitFailed},
        {R"(<Operation ModuleName="SetupRun" ModuleLabel="L" Type="t" Timeout="5s"><ExecName>..\Other\tool.exe</ExecName></Operation>)",
         kModuleInitFailed},
        {R"(<Operation ModuleName="RUVCheck" ModuleLabel="L" Type="t" Timeout="5s"><Version></Version></Operation>)",
         kModuleInitFailed},
        {R"(<Operation ModuleName="RUVCheck" ModuleLabel="L" Type="t" Timeout="5s"><X><Version>1</Version></X></Operation>)",
         kModuleInitFailed},
        {R"(<Operation ModuleName="UserCheck" ModuleLabel="L" Type="anything" Timeout="5s"/>)",
         "built"},
    };
    for (const FaultCase& c : cases) {
        EXPECT_EQ(Outcome(c.element), c.text) << c.element;
    }
}

TEST_F(OperationFactoryTest, ANodeThatIsNotAnElementHasNoModuleName) {
    CXmlDocument holder;
    const xercesc::DOMNode* root = ParseRoot(holder, "<List>text</List>");
    ASSERT_NE(root, nullptr);
    try {
        CreateOperation(root->getFirstChild(), {kBase, kCache, false, ""});
        FAIL() << "a text node was accepted";
    } catch (const CMessageError& error) {
        EXPECT_EQ(error.Text(), "\xbb\xf1\xc8\xa1\xc4\xa3\xbf\xe9\xc3\xfb\xb3\xc6\xca\xa7\xb0\xdc");
    }
}

TEST_F(OperationFactoryTest, EachModuleNameBuildsItsKind) {
    struct KindCase {
        const char* moduleName;
        const char* child;
        const char* nameTag;
        int weight;
    };
    const KindCase cases[] = {
        {"OSCheck", "", "OSCheck", 5},
        {"UserCheck", "", "OpUserCheck", 5},
        {"RUVCheck", "<Version>2.0.0.1</Version>", "RUVCheck", 5},
        {"FileDownload", "<URL>files/a.exe</URL>", "CFileDownload", 0},
        {"SetupRun", "<ExecName>a.exe</ExecName>", "CSetupRun", 25},
    };
    for (const KindCase& c : cases) {
        const std::string xml = std::string("<Operation ModuleName=\"") + c.moduleName +
                                "\" ModuleLabel=\"" + Utf8(u8"标签") +
                                "\" Type=\"t\" Timeout=\"9s\">" + c.child + "</Operation>";
        const std::unique_ptr<COperatorBase> operation = Create(xml);
        EXPECT_EQ(operation->name, c.nameTag);
        EXPECT_EQ(operation->GetProgressWeight(), c.weight) << c.moduleName;
        EXPECT_EQ(operation->label, "\xb1\xea\xc7\xa9") << c.moduleName;
        EXPECT_EQ(operation->timeoutSeconds, 9) << c.moduleName;
        EXPECT_EQ(operation->serverBaseUrl, kBase);
        EXPECT_EQ(operation->cacheDirectory, kCache);
    }
}

TEST_F(OperationFactoryTest, OptionalAttributesFollowTheirRules) {
    struct OptionCase {
        const char* attributes;
        bool cancel;
        bool block;
        int skip;
    };
    const OptionCase cases[] = {
        {"", false, false, 0},
        {R"(EnableCancel="true" Block="true" SuccessSkippedNum="2")", true, true, 2},
        {R"(EnableCancel="True" Block="1" SuccessSkippedNum="abc")", false, false, 0},
        {R"(EnableCancel="" Block="TRUE" SuccessSkippedNum="")", false, false, 0},
        {R"(SuccessSkippedNum=" 3x")", false, false, 3},
        {R"(SuccessSkippedNum="-1")", false, false, -1},
    };
    for (const OptionCase& c : cases) {
        const std::string xml =
            std::string(
                R"(<Operation ModuleName="UserCheck" ModuleLabel="L" Type="t" Timeout="120s" )") +
            c.attributes + "/>";
        const std::unique_ptr<COperatorBase> operation = Create(xml);
        EXPECT_EQ(operation->cancelEnabled, c.cancel) << c.attributes;
        EXPECT_EQ(operation->blocking, c.block) << c.attributes;
        EXPECT_EQ(operation->skipCountOnSuccess, c.skip) << c.attributes;
        EXPECT_EQ(operation->timeoutSeconds, 120);
    }
}

TEST_F(OperationFactoryTest, DownloadResolvesItsUrlByPlainConcatenation) {
    const auto download = [&](const std::string& children) {
        return CreateAs<COpFileDownload>(
            R"(<Operation ModuleName="FileDownload" ModuleLabel="L" Type="t" Timeout="5s">)" +
            children + "</Operation>");
    };
    EXPECT_EQ(download("<URL>files/a.exe</URL>")->url, std::string(kBase) + "files/a.exe");
    EXPECT_EQ(download("<URL>/files/a.exe</URL>")->url,
              "http://127.0.0.1:8080/RUVServer//files/a.exe");
    EXPECT_EQ(download("<URL>http://10.0.0.1/x.exe</URL>")->url, "http://10.0.0.1/x.exe");
    EXPECT_EQ(download("<URL>https://10.0.0.1/x.exe</URL>")->url, "https://10.0.0.1/x.exe");
    EXPECT_EQ(download("<URL>HTTPS://10.0.0.1/x.exe</URL>")->url,
              std::string(kBase) + "HTTPS://10.0.0.1/x.exe");
    EXPECT_EQ(download("<URL>HTTP://10.0.0.1/x.exe</URL>")->url,
              std::string(kBase) + "HTTP://10.0.0.1/x.exe");
    EXPECT_EQ(download("<URL>  </URL>")->url, std::string(kBase) + "  ");
    EXPECT_EQ(download("<URL>a<!-- note -->b</URL>")->url, std::string(kBase) + "ab");
}

TEST_F(OperationFactoryTest, DownloadReadsDescriptionAndSaveName) {
    const auto download = [&](const std::string& children) {
        return CreateAs<COpFileDownload>(
            R"(<Operation ModuleName="FileDownload" ModuleLabel="L" Type="t" Timeout="5s"><URL>u</URL>)" +
            children + "</Operation>");
    };
    EXPECT_EQ(download("")->saveName, "RUV_installer.EXE");
    EXPECT_EQ(download("<SaveName></SaveName>")->saveName, "RUV_installer.EXE");
    const auto named =
        download("<SaveName>Setup.exe</SaveName><Description>" + Utf8(u8"安装") + "</Description>");
    EXPECT_EQ(named->saveName, "Setup.exe");
    EXPECT_EQ(named->description, "\xb0\xb2\xd7\xb0");
}

TEST_F(OperationFactoryTest, SetupRunAndProductCheckReadTheirChildren) {
    const auto setup = CreateAs<COpSetupRun>(
        R"(<Operation ModuleName="SetupRun" ModuleLabel="L" Type="t" Timeout="5s">)"
        "<ExecName>RUVSetup.exe</ExecName><Description>d</Description></Operation>");
    EXPECT_EQ(setup->execName, "RUVSetup.exe");
    EXPECT_EQ(setup->description, "d");

    const auto check = CreateAs<COpRUVCheck>(
        R"(<Operation ModuleName="RUVCheck" ModuleLabel="L" Type="t" Timeout="5s">)"
        "<Version>2.0.0.1 </Version></Operation>");
    EXPECT_EQ(check->expectedVersion, "2.0.0.1 ");
}

TEST_F(OperationFactoryTest, DeclaredSizesAndHashesMustBeWellFormedAndInTrustedModeThere) {
    const std::string hash(64, 'a');
    const std::string upper(64, 'F');
    const auto download = [](const std::string& children) {
        return R"(<Operation ModuleName="FileDownload" ModuleLabel="L" Type="t" Timeout="5s">)"
               "<URL>u</URL>" +
               children + "</Operation>";
    };
    const auto setup = [](const std::string& children) {
        return R"(<Operation ModuleName="SetupRun" ModuleLabel="L" Type="t" Timeout="5s">)"
               "<ExecName>a.exe</ExecName>" +
               children + "</Operation>";
    };
    const std::string sha = "<Sha256>" + hash + "</Sha256>";
    const std::string failed = operation_messages::kModuleInitFailed;
    const std::string declared = "<Size>12</Size>" + sha;
    const auto mirror = [](const std::string& url) { return "<Mirror>" + url + "</Mirror>"; };
    const auto mirrors = [&](int count) {
        std::string children;
        for (int i = 0; i < count; ++i) children += mirror("http://m" + std::to_string(i) + "/f");
        return children;
    };
    const struct {
        std::string element;
        const char* untrusted;  // the outcome outside trusted mode
        std::string trusted;    // and in it
    } cases[] = {
        {download(""), "built", failed},
        {download("<Size>12</Size>"), "built", failed},
        {download(sha), "built", failed},
        {download("<Size>12</Size>" + sha), "built", "built"},
        {download("<Sha256>" + upper + "</Sha256><Size>0</Size>"), "built", "built"},
        {download("<Size/>" + sha), failed.c_str(), failed},
        {download("<Size>-1</Size>" + sha), failed.c_str(), failed},
        {download("<Size> 12</Size>" + sha), failed.c_str(), failed},
        {download("<Size>12</Size><Sha256>" + hash.substr(1) + "</Sha256>"), failed.c_str(),
         failed},
        {download("<Size>12</Size><Sha256/>"), failed.c_str(), failed},
        {download("<X><Size>12</Size>" + sha + "</X>"), "built", failed},
        // Mirrors: only with both declarations, at most 8, absolute http(s).
        {download(declared + mirror("http://m/f")), "built", "built"},
        {download(declared + mirrors(8)), "built", "built"},
        {download(declared + mirrors(9)), failed.c_str(), failed},
        {download("<Size>12</Size>" + mirror("http://m/f")), failed.c_str(), failed},
        {download(sha + mirror("http://m/f")), failed.c_str(), failed},
        {download(declared + mirror("https://m:8443/f") + mirror("ftp://m/f")), failed.c_str(),
         failed},
        {download(declared + mirror("files/f")), failed.c_str(), failed},
        {download(declared + mirror("//m/f")), failed.c_str(), failed},
        {download(declared + mirror("http:///f")), failed.c_str(), failed},
        {download(declared + "<Mirror/>"), failed.c_str(), failed},
        {setup(""), "built", failed},
        {setup(sha), "built", "built"},
        {setup("<Sha256>" + hash + "0</Sha256>"), failed.c_str(), failed},
        // Only downloads and setup runs declare anything.
        {R"(<Operation ModuleName="UserCheck" ModuleLabel="L" Type="t" Timeout="5s"/>)", "built",
         "built"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Outcome(c.element), c.untrusted) << c.element;
        EXPECT_EQ(Outcome(c.element, true), c.trusted) << c.element;
    }

    const auto download12 =
        CreateAs<COpFileDownload>(download(declared + mirror("https://b/f") + "<X>" +
                                           mirror("http://x/f") + "</X>" + mirror("http://a/f")));
    EXPECT_EQ(download12->declaration.size, 12u);
    EXPECT_EQ(download12->declaration.sha256, DeclaredSha256(hash));
    EXPECT_THAT(download12->mirrors, ElementsAre("https://b/f", "http://a/f"));
}

TEST_F(OperationFactoryTest, BlackListTakesNonEmptyDirectItemsOnce) {
    const auto check = CreateAs<COpOSCheck>(
        R"(<Operation ModuleName="OSCheck" ModuleLabel="L" Type="t" Timeout="5s">)"
        "<Item>outside</Item>"
        "<BlackList><Item>b</Item><Item></Item><Item>a</Item><Item>b</Item>"
        "<Other>c</Other><Group><Item>nested</Item></Group><!-- x --><Item> </Item></BlackList>"
        "<BlackList><Item>second list</Item></BlackList></Operation>");
    EXPECT_THAT(check->blackList, ElementsAre(" ", "a", "b"));
}

}  // namespace
