#include "core/xml_document.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

using ::testing::EndsWith;
using ::testing::StartsWith;

namespace {

class XmlDocumentTest : public ::testing::Test {
protected:
    std::string Parse(std::string_view text) {
        return ParseXmlBuffer("test document", holder, text.data(), text.size());
    }

    // Text of the root's first child of that name; "<absent>" when not found.
    std::string ChildText(const char* name) {
        std::string text;
        const xercesc::DOMNode* child = FindChildElement(name, holder.root);
        if (child == nullptr || !GetElementText(text, child)) return "<absent>";
        return text;
    }

    CXmlRuntime runtime;
    CXmlDocument holder;
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    for (auto end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

TEST_F(XmlDocumentTest, WellFormedDocumentSetsRootAndDocument) {
    ASSERT_EQ(Parse("<?xml version=\"1.0\"?>\n<Answer><A>1</A></Answer>"), "");
    ASSERT_NE(holder.root, nullptr);
    ASSERT_NE(holder.document, nullptr);
    EXPECT_EQ(holder.root, holder.document->getDocumentElement());
    EXPECT_EQ(ChildText("A"), "1");
}

TEST_F(XmlDocumentTest, UnclosedElementFailsWithOneFatalLine) {
    const std::string result = Parse("<r>\n<a>\n<b>x</b>\n</r>");
    ASSERT_THAT(result, StartsWith("[FATAL] line:4 col:"));
    EXPECT_THAT(result, EndsWith("\n"));
    EXPECT_EQ(Lines(result).size(), 1u);
}

TEST_F(XmlDocumentTest, EmptyAndGarbageBuffersFail) {
    EXPECT_THAT(Parse(""), StartsWith("[FATAL] line:"));
    EXPECT_THAT(Parse("\x01\x02\xff not xml"), StartsWith("[FATAL] line:"));
}

// A duplicate attribute declaration is only a warning; undeclared attributes
// are validity errors because the document names a grammar.
TEST_F(XmlDocumentTest, WarningsAloneDoNotFailTheParse) {
    EXPECT_EQ(Parse("<!DOCTYPE r [<!ELEMENT r (#PCDATA)>"
                    "<!ATTLIST r a CDATA #IMPLIED>"
                    "<!ATTLIST r a CDATA #IMPLIED>]>\n"
                    "<r a=\"1\">text</r>"),
              "");
    EXPECT_EQ(ChildText("missing"), "<absent>");
}

TEST_F(XmlDocumentTest, ErrorsAreReportedAfterWarningsOneLineEach) {
    const std::string result = Parse(
        "<!DOCTYPE r [<!ELEMENT r (#PCDATA)>"
        "<!ATTLIST r a CDATA #IMPLIED>"
        "<!ATTLIST r a CDATA #IMPLIED>]>\n"
        "<r b=\"1\" c=\"2\">text</r>");
    const std::vector<std::string> lines = Lines(result);
    ASSERT_EQ(lines.size(), 3u) << result;
    EXPECT_THAT(lines[0], StartsWith("[WARN] line:1 col:"));
    EXPECT_THAT(lines[1], StartsWith("[ERROR] line:2 col:"));
    EXPECT_THAT(lines[2], StartsWith("[ERROR] line:2 col:"));
    EXPECT_THAT(result, EndsWith("\n"));
}

TEST_F(XmlDocumentTest, TextLeavesInTheLocalCodePage) {
    // 中文 as UTF-8 in the document, and its GBK bytes out.
    ASSERT_EQ(Parse("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                    "<r><T k=\"\xe5\xae\x89\xe8\xa3\x85\">\xe4\xb8\xad\xe6\x96\x87</T></r>"),
              "");
    EXPECT_EQ(ChildText("T"), "\xd6\xd0\xce\xc4");
    std::string attribute;
    ASSERT_TRUE(GetAttributeText(attribute, FindChildElement("T", holder.root), "k"));
    EXPECT_EQ(attribute, "\xb0\xb2\xd7\xb0");  // 安装
}

TEST_F(XmlDocumentTest, DocumentDeclaredAsGbkIsDecoded) {
    ASSERT_EQ(Parse("<?xml version=\"1.0\" encoding=\"GBK\"?><r><T>\xd6\xd0\xce\xc4</T></r>"), "");
    EXPECT_EQ(ChildText("T"), "中文");
}

TEST_F(XmlDocumentTest, NamesGoInThroughTheLocalCodePage) {
    ASSERT_EQ(Parse("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                    "<r><\xe6\x9c\x8d\xe5\x8a\xa1>x</\xe6\x9c\x8d\xe5\x8a\xa1></r>"),
              "");
    EXPECT_EQ(ChildText("服务"), "x");
}

TEST_F(XmlDocumentTest, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    // Thai letters have no GBK code. (Beyond the BMP the builds differ: Wine
    // substitutes each half of a surrogate pair, the host the whole character.)
    ASSERT_EQ(Parse("<r><T>a&#x0E01;b&#x0E02;&#x0E03;c</T></r>"), "");
    EXPECT_EQ(ChildText("T"), "a?b??c");
}

TEST_F(XmlDocumentTest, FindChildElementMatchesFirstDirectChildByExactName) {
    ASSERT_EQ(Parse("<r><x><Server>deep</Server></x><server>lower</server>"
                    "<Server>first</Server><Server>second</Server></r>"),
              "");
    EXPECT_EQ(ChildText("Server"), "first");
    EXPECT_EQ(ChildText("Serv"), "<absent>");
    EXPECT_EQ(ChildText("SERVER"), "<absent>");
    EXPECT_EQ(FindChildElement("Server", FindChildElement("Server", holder.root)), nullptr);
    EXPECT_EQ(FindChildElement("Server", nullptr), nullptr);
    EXPECT_EQ(FindChildElement(nullptr, holder.root), nullptr);
}

TEST_F(XmlDocumentTest, FindChildElementDoesNotSearchGrandchildren) {
    ASSERT_EQ(Parse("<r><Config><Server>deep</Server></Config></r>"), "");
    EXPECT_EQ(FindChildElement("Server", holder.root), nullptr);
    EXPECT_NE(FindChildElement("Server", FindChildElement("Config", holder.root)), nullptr);
}

TEST_F(XmlDocumentTest, GetAttributeTextReadsAbsentAsEmpty) {
    ASSERT_EQ(Parse("<r><E Type=\"DES\" esc=\"a&amp;b&#x41;\" empty=\"\">text</E></r>"), "");
    const xercesc::DOMNode* element = FindChildElement("E", holder.root);
    std::string out = "previous";
    ASSERT_TRUE(GetAttributeText(out, element, "Type"));
    EXPECT_EQ(out, "DES");
    ASSERT_TRUE(GetAttributeText(out, element, "esc"));
    EXPECT_EQ(out, "a&bA");
    out = "previous";
    ASSERT_TRUE(GetAttributeText(out, element, "type"));
    EXPECT_EQ(out, "");
    out = "previous";
    ASSERT_TRUE(GetAttributeText(out, element, "empty"));
    EXPECT_EQ(out, "");
    out = "previous";
    ASSERT_TRUE(GetAttributeText(out, FindChildElement("E", holder.root), nullptr));
    EXPECT_EQ(out, "");
}

TEST_F(XmlDocumentTest, GetAttributeTextOfAnElementWithoutAttributesIsEmpty) {
    ASSERT_EQ(Parse("<r><E/></r>"), "");
    std::string out = "previous";
    ASSERT_TRUE(GetAttributeText(out, FindChildElement("E", holder.root), "Type"));
    EXPECT_EQ(out, "");
}

TEST_F(XmlDocumentTest, ReadersRefuseNodesThatAreNotElements) {
    ASSERT_EQ(Parse("<r>text<!--c--></r>"), "");
    std::string out = "untouched";
    EXPECT_FALSE(GetAttributeText(out, nullptr, "Type"));
    EXPECT_FALSE(GetElementText(out, nullptr));
    EXPECT_FALSE(GetAttributeText(out, holder.root->getFirstChild(), "Type"));
    EXPECT_FALSE(GetElementText(out, holder.root->getFirstChild()));
    EXPECT_FALSE(GetElementText(out, holder.root->getLastChild()));
    EXPECT_FALSE(GetElementText(out, holder.document));
    EXPECT_EQ(out, "untouched");
}

TEST_F(XmlDocumentTest, ElementTextJoinsDirectTextChildrenOnly) {
    ASSERT_EQ(Parse("<r>"
                    "<Comment>ab<!-- split -->cd</Comment>"
                    "<Cdata><![CDATA[hidden]]></Cdata>"
                    "<Mixed>x<![CDATA[hidden]]>y<n>nested</n>z</Mixed>"
                    "<Spaces>\n  12345678\n</Spaces>"
                    "<Empty/>"
                    "<Refs>&lt;&#x4E2D;&gt;</Refs>"
                    "</r>"),
              "");
    EXPECT_EQ(ChildText("Comment"), "abcd");
    EXPECT_EQ(ChildText("Cdata"), "");
    EXPECT_EQ(ChildText("Mixed"), "xyz");
    EXPECT_EQ(ChildText("Spaces"), "\n  12345678\n");
    EXPECT_EQ(ChildText("Empty"), "");
    EXPECT_EQ(ChildText("Refs"), "<\xd6\xd0>");
}

TEST_F(XmlDocumentTest, ElementTextReplacesWhatOutHeld) {
    ASSERT_EQ(Parse("<r><Cdata><![CDATA[hidden]]></Cdata></r>"), "");
    std::string out = "previous";
    ASSERT_TRUE(GetElementText(out, FindChildElement("Cdata", holder.root)));
    EXPECT_EQ(out, "");
}

TEST_F(XmlDocumentTest, RootOfAnyNameAndNamespacedDocumentsParse) {
    ASSERT_EQ(Parse("<p:Anything xmlns:p=\"urn:x\"><p:Server>a</p:Server><Server>b</Server>"
                    "</p:Anything>"),
              "");
    EXPECT_EQ(ChildText("Server"), "b");
    EXPECT_EQ(ChildText("p:Server"), "a");
}

TEST(XmlRuntimeTest, GuardsNest) {
    CXmlRuntime outer;
    { CXmlRuntime inner; }
    CXmlDocument holder;
    const std::string text = "<r/>";
    EXPECT_EQ(ParseXmlBuffer("nested", holder, text.data(), text.size()), "");
}

}  // namespace
