#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "core/xml_document.h"
#include "test_temp_file.h"

#ifndef _WIN32
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <thread>
#endif

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

namespace {

// A grammar that makes the documents below valid, were it ever loaded.
constexpr std::string_view kValidatingDtd = "<!ELEMENT r (#PCDATA)>";
constexpr std::string_view kValidatingSchema =
    "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" targetNamespace=\"urn:r\">"
    "<xs:element name=\"r\" type=\"xs:string\"/></xs:schema>";
constexpr std::string_view kValidatingNoNamespaceSchema =
    "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\">"
    "<xs:element name=\"r\" type=\"xs:string\"/></xs:schema>";

class XmlHostileInputTest : public ::testing::Test {
protected:
    std::string Parse(const std::string& text) {
        return ParseXmlBuffer("hostile document", holder, text.data(), text.size());
    }

    CXmlRuntime runtime;
    CXmlDocument holder;
};

TEST_F(XmlHostileInputTest, DocumentsWithoutOutsideReferencesStillValidateAgainstTheirDtd) {
    EXPECT_EQ(Parse("<!DOCTYPE r [" + std::string(kValidatingDtd) + "]><r>text</r>"), "");
}

TEST_F(XmlHostileInputTest, ExternalDtdIsNotReadAndTheDocumentFails) {
    const TestTempFile dtd(kValidatingDtd, ".dtd");
    EXPECT_THAT(Parse("<!DOCTYPE r SYSTEM \"" + dtd.FileUrl() + "\"><r>text</r>"),
                StartsWith("[FATAL] line:1"));
    EXPECT_EQ(holder.root, nullptr);
}

TEST_F(XmlHostileInputTest, ExternalDtdByRelativeNameFails) {
    EXPECT_THAT(Parse("<!DOCTYPE r SYSTEM \"r.dtd\"><r>text</r>"), StartsWith("[FATAL] line:1"));
}

TEST_F(XmlHostileInputTest, ExternalEntityIsNotReadAndTheDocumentFails) {
    const TestTempFile secret("SECRET-CONTENT", ".txt");
    const std::string result =
        Parse("<!DOCTYPE r [" + std::string(kValidatingDtd) + "<!ENTITY s SYSTEM \"" +
              secret.FileUrl() + "\">]>\n<r>&s;</r>");
    EXPECT_THAT(result, StartsWith("[FATAL] line:"));
    EXPECT_THAT(result, Not(HasSubstr("SECRET-CONTENT")));
}

TEST_F(XmlHostileInputTest, ExternalParameterEntityIsNotReadAndTheDocumentFails) {
    const TestTempFile dtd(kValidatingDtd, ".dtd");
    EXPECT_THAT(Parse("<!DOCTYPE r [<!ENTITY % p SYSTEM \"" + dtd.FileUrl() +
                      "\"> %p;]>\n"
                      "<r>text</r>"),
                StartsWith("[FATAL] line:"));
}

TEST_F(XmlHostileInputTest, SchemaLocationsAreNotReadAndTheDocumentFails) {
    const TestTempFile schema(kValidatingSchema, ".xsd");
    const TestTempFile noNamespaceSchema(kValidatingNoNamespaceSchema, ".xsd");
    const std::string xsi = "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" ";
    EXPECT_THAT(Parse("<r " + xsi + "xsi:noNamespaceSchemaLocation=\"" +
                      noNamespaceSchema.FileUrl() + "\">text</r>"),
                StartsWith("[FATAL] line:1"));
    EXPECT_THAT(Parse("<r xmlns=\"urn:r\" " + xsi + "xsi:schemaLocation=\"urn:r " +
                      schema.FileUrl() + "\">text</r>"),
                StartsWith("[FATAL] line:1"));
}

TEST_F(XmlHostileInputTest, EntityExpansionIsBounded) {
    std::string laughs = "<!DOCTYPE r [<!ELEMENT r (#PCDATA)><!ENTITY l0 \"lol\">";
    for (int level = 1; level <= 9; ++level) {
        const std::string previous = "&l" + std::to_string(level - 1) + ";";
        std::string value;
        for (int i = 0; i < 10; ++i) value += previous;
        laughs += "<!ENTITY l" + std::to_string(level) + " \"" + value + "\">";
    }
    laughs += "]>\n<r>&l9;</r>";
    EXPECT_THAT(Parse(laughs), StartsWith("[FATAL] line:"));
}

TEST_F(XmlHostileInputTest, AFewInternalEntitiesStillExpand) {
    ASSERT_EQ(Parse("<!DOCTYPE r [<!ELEMENT r (#PCDATA)><!ENTITY e \"v\">]><r>&e;&e;</r>"), "");
}

#ifndef _WIN32
// Counts connections on a loopback port, answering each with a DTD that would
// make the document valid. Only the host's XML library can reach a network.
class DtdServer {
public:
    DtdServer() {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            listen(listener_, 4) != 0 ||
            getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            throw std::runtime_error("cannot listen on loopback");
        }
        port_ = ntohs(address.sin_port);
        if (pipe(wake_) != 0) throw std::runtime_error("cannot create a pipe");
        thread_ = std::thread([this] { Serve(); });
    }
    ~DtdServer() {
        const char stop = 's';
        (void)!write(wake_[1], &stop, 1);
        thread_.join();
        close(listener_);
        close(wake_[0]);
        close(wake_[1]);
    }
    DtdServer(const DtdServer&) = delete;
    DtdServer& operator=(const DtdServer&) = delete;

    int Port() const { return port_; }
    int Connections() const { return connections_; }

private:
    void Serve() {
        for (;;) {
            pollfd fds[2] = {{listener_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
            if (poll(fds, 2, -1) < 0 || (fds[1].revents & POLLIN) != 0) return;
            const int client = accept(listener_, nullptr, nullptr);
            if (client < 0) continue;
            ++connections_;
            char request[4096];
            (void)!read(client, request, sizeof request);
            const std::string answer =
                "HTTP/1.0 200 OK\r\nContent-Type: application/xml-dtd\r\n\r\n" +
                std::string(kValidatingDtd);
            (void)!write(client, answer.data(), answer.size());
            close(client);
        }
    }

    int listener_ = -1;
    int wake_[2] = {-1, -1};
    int port_ = 0;
    std::atomic<int> connections_{0};
    std::thread thread_;
};

TEST_F(XmlHostileInputTest, ExternalDtdIsNotFetched) {
    DtdServer server;
    const std::string url = "http://127.0.0.1:" + std::to_string(server.Port()) + "/r.dtd";
    EXPECT_THAT(Parse("<!DOCTYPE r SYSTEM \"" + url + "\"><r>text</r>"),
                StartsWith("[FATAL] line:1"));
    EXPECT_EQ(server.Connections(), 0);
}
#endif

}  // namespace
