#include "core/dom_err_handler.h"

#include <gtest/gtest.h>

#include "core/xml_document.h"
#include "core/xml_local_text.h"

namespace {

class DomErrHandlerTest : public ::testing::Test {
protected:
    // A report as the parser would give it, with a message in the local code page.
    static xercesc::SAXParseException Report(const char* message, XMLFileLoc line,
                                             XMLFileLoc column) {
        const XmlString text = LocalToXml(message).value();
        const XMLCh noId[] = {0};
        return xercesc::SAXParseException(text.c_str(), noId, noId, line, column);
    }

    CXmlRuntime runtime;
    CDOMErrHandler handler;
};

TEST_F(DomErrHandlerTest, EachKindCollectsItsOwnLines) {
    handler.fatalError(Report("unclosed", 3, 7));
    handler.warning(Report("w1", 1, 2));
    handler.error(Report("e1", 10, 20));
    handler.warning(Report("w2", 4, 5));

    EXPECT_EQ(handler.GetWarnings(), "[WARN] line:1 col:2 w1\n[WARN] line:4 col:5 w2\n");
    EXPECT_EQ(handler.GetErrors(), "[ERROR] line:10 col:20 e1\n");
    EXPECT_EQ(handler.GetFatalErrors(), "[FATAL] line:3 col:7 unclosed\n");
}

TEST_F(DomErrHandlerTest, MessagesAreWrittenInTheLocalCodePage) {
    handler.error(Report("格式错误", 12345678901ULL, 1));
    EXPECT_EQ(handler.GetErrors(),
              "[ERROR] line:12345678901 col:1 \xb8\xf1\xca\xbd\xb4\xed\xce\xf3\n");
}

TEST_F(DomErrHandlerTest, ResetErrorsKeepsTheCollectedTextAndCollectingGoesOn) {
    handler.warning(Report("before", 1, 1));
    handler.resetErrors();
    handler.warning(Report("after", 2, 1));
    EXPECT_EQ(handler.GetWarnings(), "[WARN] line:1 col:1 before\n[WARN] line:2 col:1 after\n");
}

}  // namespace
