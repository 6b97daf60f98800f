#include "ruvi_server.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "client_address.h"
#include "core/base64.h"
#include "core/des_ecb.h"
#include "core/secure_stream.h"
#include "core/xml_document.h"
#include "p256_keys.h"
#include "signing_key.h"
#include "startup_error.h"
#include "test_plan_folder.h"

namespace {

using ::testing::ContainsRegex;
using ::testing::HasSubstr;
using ::testing::StartsWith;

constexpr char kDesKey[] = "Ruv!Key8";
constexpr std::size_t kFileSize = 300001;  // several read pieces, and not a round number

struct Reply {
    int status = -1;  // -1: no answer at all
    std::string body;
    httplib::Headers headers;
};

// A server on a free loopback port, serving from a thread of its own for
// the lifetime of the object.
class CServerUnderTest {
public:
    explicit CServerUnderTest(const ServerOptions& options)
        : accessLog_(std::tmpfile(), &std::fclose),
          server_(options, accessLog_.get()),
          serving_([this] { server_.Run(); }) {}
    ~CServerUnderTest() { Stop(); }

    void Stop() {
        server_.Stop();
        if (serving_.joinable()) serving_.join();
    }
    // Once stopped: a line is written when its answer has gone, which may be
    // after the client has it.
    std::string AccessLog() const {
        std::string text(static_cast<std::size_t>(std::ftell(accessLog_.get())), '\0');
        std::rewind(accessLog_.get());
        text.resize(std::fread(text.data(), 1, text.size(), accessLog_.get()));
        return text;
    }

    Reply Post(const std::string& path, const std::string& body,
               const httplib::Headers& headers = {}) const {
        return Collect(Client().Post(path, headers, body, "application/octet-stream"));
    }
    Reply Get(const std::string& path, const httplib::Headers& headers = {}) const {
        return Collect(Client().Get(path, headers));
    }
    Reply Head(const std::string& path, const httplib::Headers& headers = {}) const {
        return Collect(Client().Head(path, headers));
    }
    std::string Metrics() const { return server_.MetricsExposition(); }
    int Port() const { return server_.Port(); }

private:
    httplib::Client Client() const {
        httplib::Client client("127.0.0.1", server_.Port());
        client.set_url_encode(false);  // paths go out exactly as the tests write them
        client.set_connection_timeout(30);
        client.set_read_timeout(30);
        return client;
    }
    static Reply Collect(const httplib::Result& result) {
        return result ? Reply{result->status, result->body, result->headers} : Reply{};
    }

    std::unique_ptr<std::FILE, decltype(&std::fclose)> accessLog_;
    CRuviServer server_;
    std::thread serving_;
};

// A client on a bare socket, for requests no HTTP client library sends.
class CRawClient {
public:
    explicit CRawClient(int port) : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    }
    ~CRawClient() { ::close(fd_); }
    CRawClient(const CRawClient&) = delete;
    CRawClient& operator=(const CRawClient&) = delete;

    bool Send(std::string_view bytes) const {
        return ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
               static_cast<ssize_t>(bytes.size());
    }
    // What arrives before the server closes the connection; nullopt when it
    // is still open after limit.
    std::optional<std::string> ReceiveUntilClosed(std::chrono::milliseconds limit) const {
        const auto end = std::chrono::steady_clock::now() + limit;
        std::string received;
        while (true) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            pollfd entry{fd_, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&entry, 1, static_cast<int>(left.count())) <= 0) {
                return std::nullopt;
            }
            char piece[4096];
            const ssize_t got = ::recv(fd_, piece, sizeof piece, 0);
            if (got <= 0) return received;
            received.append(piece, static_cast<std::size_t>(got));
        }
    }
    // A client that takes its bytes slowly, or not at all.
    void ShrinkReceiveBuffer() const {
        const int bytes = 4096;
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
    }

private:
    int fd_;
};

// Waits (at most 30 s) until the server's counters hold every line.
bool MetricsReach(const CServerUnderTest& server, std::initializer_list<std::string> lines) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (true) {
        const std::string metrics = server.Metrics();
        if (std::all_of(lines.begin(), lines.end(), [&](const std::string& line) {
                return metrics.find(line) != std::string::npos;
            })) {
            return true;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            ADD_FAILURE() << metrics;
            return false;
        }
        std::this_thread::yield();
    }
}

std::string FileContent() {
    std::string content(kFileSize, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) {
        content[i] = static_cast<char>((i * 131 + i / 251) & 0xff);
    }
    return content;
}

std::string Sealed(const std::string& plain) {
    ByteVector sealed;
    SecureEncrypt(sealed, ByteVector(plain.begin(), plain.end()));
    return std::string(sealed.begin(), sealed.end());
}

std::string DownloadRequest(const std::string& offset) {
    return Sealed("<Request><Offset>" + offset + "</Offset><BufferSize>0</BufferSize></Request>");
}

// A plan whose label is Chinese in UTF-8, to see that its bytes travel
// unchanged.
std::string ChinesePlan() {
    const char8_t label[] = u8"下载安装程序";
    return PlanWithOperations("<Operation ModuleName=\"FileDownload\" ModuleLabel=\"" +
                              std::string(label, label + sizeof label - 1) +
                              "\" Type=\"1\" Timeout=\"120s\"><URL>files/setup.exe</URL>"
                              "</Operation>");
}

class RuviServer : public ::testing::Test {
protected:
    RuviServer() : folder_(ChinesePlan()) {
        folder_.AddFile("setup.exe", FileContent());
        folder_.AddFile("v2/tool.bin", "tool");
    }

    ServerOptions Options(AnswerSealing sealing = AnswerSealing::Secure) const {
        ServerOptions options;
        options.planDirectory = folder_.Path();
        options.sealing = sealing;
        if (sealing == AnswerSealing::Des) options.desKey = kDesKey;
        return options;
    }

    CXmlRuntime xmlRuntime_;
    CTestPlanFolder folder_;
};

TEST_F(RuviServer, SecureAnswerOpensWithTheCoreToThePlanAsStored) {
    const CServerUnderTest server(Options());
    const Reply reply = server.Post("/RUVServer/ruvinstall", "");
    ASSERT_EQ(reply.status, 200);
    ByteVector plain;
    SecureDecrypt(ByteVector(reply.body.begin(), reply.body.end()), plain);
    EXPECT_EQ(std::string(plain.begin(), plain.end()), ChinesePlan());
}

TEST_F(RuviServer, DesAnswerDecryptsToThePlanPaddedWithWhiteSpaceTheParserAccepts) {
    const std::string plan = ChinesePlan();
    ASSERT_NE(plan.size() % 8, 0u) << "the padding would go untested";
    const CServerUnderTest server(Options(AnswerSealing::Des));
    const Reply reply = server.Post("/RUVServer/ruvinstall", "");
    ASSERT_EQ(reply.status, 200);
    ByteVector plain;
    DesEcbDecrypt(ByteVector(reply.body.begin(), reply.body.end()), plain, kDesKey);

    const std::string padded(plain.begin(), plain.end());
    EXPECT_EQ(padded.size() % 8, 0u);
    EXPECT_EQ(padded.substr(0, plan.size()), plan);
    EXPECT_EQ(padded.substr(plan.size()), std::string(padded.size() - plan.size(), ' '));
    CXmlDocument holder;
    EXPECT_EQ(ParseXmlBuffer("RUV Installer Response", holder, plain.data(), plain.size()), "");
}

TEST_F(RuviServer, SignsAnswersOverTheInstallersNonceALineFeedAndTheBodyAndNothingElse) {
    const std::string pem = NewP256PrivateKeyPem();
    const ByteVector point = PublicPointOfPem(pem);
    const std::filesystem::path key = folder_.Path() / "signing.pem";
    std::ofstream(key) << pem;
    ServerOptions options = Options();
    options.signingKey = key;
    const CServerUnderTest server(options);

    const std::string nonce = "0123456789abcdef0123456789abcdef";
    const Reply reply = server.Post("/RUVServer/ruvinstall", "", {{"X-Ruvi-Nonce", nonce}});
    ASSERT_EQ(reply.status, 200);
    ASSERT_EQ(reply.headers.count("X-Ruvi-Signature"), 1u);
    const auto signature = DecodeBase64(reply.headers.find("X-Ruvi-Signature")->second);
    ASSERT_TRUE(signature);
    const ByteVector body(reply.body.begin(), reply.body.end());
    EXPECT_TRUE(VerifyP256(point, SignedBytes(nonce, body), *signature));
    EXPECT_FALSE(VerifyP256(point, SignedBytes(nonce + "0", body), *signature));

    // Installers without a trust key send no nonce: their answer goes unsigned.
    const Reply unasked = server.Post("/RUVServer/ruvinstall", "");
    EXPECT_EQ(unasked.status, 200);
    EXPECT_EQ(unasked.headers.count("X-Ruvi-Signature"), 0u);

    const httplib::Headers refused[] = {
        {{"X-Ruvi-Nonce", "NOT hex, \"as sent\""}},
        {{"X-Ruvi-Nonce", "0123456789ABCDEF0123456789abcdef"}},
        {{"X-Ruvi-Nonce", nonce.substr(1)}},
        {{"X-Ruvi-Nonce", nonce + "0"}},
        {{"X-Ruvi-Nonce", nonce}, {"X-Ruvi-Nonce", nonce}},
    };
    for (const auto& headers : refused) {
        SCOPED_TRACE(headers.begin()->second);
        const Reply refusal = server.Post("/RUVServer/ruvinstall", "", headers);
        EXPECT_EQ(refusal.status, 400);
        EXPECT_EQ(refusal.body, "");
        EXPECT_EQ(refusal.headers.count("X-Ruvi-Signature"), 0u);
    }
    const CServerUnderTest unsignedServer(Options());
    EXPECT_EQ(unsignedServer.Post("/RUVServer/ruvinstall", "", {{"X-Ruvi-Nonce", nonce}})
                  .headers.count("X-Ruvi-Signature"),
              0u);
}

TEST_F(RuviServer, DownloadAnswersTheFileFromTheRequestedOffsetToItsEnd) {
    const std::string content = FileContent();
    const CServerUnderTest server(Options());
    const struct {
        std::string offset;
        std::size_t from;
    } cases[] = {
        {"0", 0},
        {"123457", 123457},
        {"300000", 300000},         // the last byte
        {"300001", kFileSize},      // at the end: nothing
        {"4000000000", kFileSize},  // past the end, beyond 32 bits: nothing
        {" 2048\n", 2048},          // white space around the number
    };
    for (const auto& c : cases) {
        const Reply reply = server.Post("/RUVServer/files/setup.exe", DownloadRequest(c.offset));
        EXPECT_EQ(reply.status, 200) << c.offset;
        EXPECT_TRUE(reply.body == content.substr(c.from))
            << "offset " << c.offset << ": " << reply.body.size() << " bytes";
    }
    EXPECT_EQ(server.Post("/RUVServer/files/v2/tool.bin", DownloadRequest("1")).body, "ool");

    // Past 4 GiB, in a sparse file of 5 GiB whose last bytes are known.
    const std::filesystem::path huge = folder_.Path() / "files" / "huge.bin";
    std::ofstream(huge, std::ios::binary).close();
    std::filesystem::resize_file(huge, (5ULL << 30) - 4);
    std::ofstream(huge, std::ios::binary | std::ios::app) << "tail";
    EXPECT_EQ(server.Post("/RUVServer/files/huge.bin", DownloadRequest("5368709114")).body,
              std::string("\0\0tail", 6));
}

TEST_F(RuviServer, DownloadRequestsThatDoNotReadGet400AndNoBytes) {
    const CServerUnderTest server(Options());
    const std::string refused[] = {
        "",
        "not sealed at all",
        "<Request><Offset>0</Offset><BufferSize>0</BufferSize></Request>",
        DownloadRequest("0").substr(0, 40),  // cut before its end block
        Sealed("hello"),
        Sealed("<Request><Offset>0</Offset>"),
        Sealed("<Request><BufferSize>0</BufferSize></Request>"),
        Sealed("<Request><Inner><Offset>0</Offset></Inner></Request>"),
        DownloadRequest("-1"),
        DownloadRequest("+5"),
        DownloadRequest("abc"),
        DownloadRequest("12abc"),
        DownloadRequest("1 2"),
        DownloadRequest(""),
        DownloadRequest("0x10"),
        DownloadRequest("99999999999999999999999"),
    };
    for (const std::string& body : refused) {
        const Reply reply = server.Post("/RUVServer/files/setup.exe", body);
        EXPECT_EQ(reply.status, 400) << body;
        EXPECT_EQ(reply.body, "") << body;
    }
}

// Only the head is sent: an answer that comes proves the server did not wait
// for the body, and the connection ends with it, as the body would follow.
TEST_F(RuviServer, BodiesTheServerWillNotTakeAreRefusedBeforeAnyOfItIsRead) {
    const CServerUnderTest server(Options());
    const struct {
        std::string head;
        int status;
    } cases[] = {
        {"POST /RUVServer/ruvinstall HTTP/1.1\r\nTransfer-Encoding: chunked\r\n", 411},
        {"POST /RUVServer//RUVS?method=report HTTP/1.1\r\nTransfer-Encoding: chunked\r\n", 411},
        {"POST /RUVServer/ruvinstall HTTP/1.1\r\n", 411},
        {"POST /RUVServer/files/setup.exe HTTP/1.1\r\nContent-Length: 65537\r\n", 413},
        {"POST /RUVServer//RUVS?method=report HTTP/1.1\r\nContent-Length: 4097\r\n", 413},
        {"POST /RUVServer/ruvinstall HTTP/1.1\r\nContent-Length: 99999999999999999999\r\n", 400},
        {"POST /RUVServer/ruvinstall HTTP/1.1\r\nContent-Length: 5\r\nContent-Length: 5\r\n", 400},
        {"POST /RUVServer/ruvinstall HTTP/1.1\r\nContent-Length: +5\r\n", 400},
        {"POST /RUVServer/ruvinstall HTTP/1.1\r\nContent-Length: 70000\r\n"
         "Expect: 100-continue\r\n",
         413},
        {"PUT /RUVServer/ruvinstall HTTP/1.1\r\nTransfer-Encoding: chunked\r\n", 405},
        {"GET /RUVServer/ HTTP/1.1\r\nContent-Length: 5\r\n", 400},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.head);
        const CRawClient client(server.Port());
        ASSERT_TRUE(client.Send(c.head + "Host: x\r\n\r\n"));
        const auto answer = client.ReceiveUntilClosed(std::chrono::seconds(5));
        ASSERT_TRUE(answer) << "the server waited for the body";
        EXPECT_THAT(*answer, StartsWith("HTTP/1.1 " + std::to_string(c.status) + " "));
        EXPECT_THAT(*answer, HasSubstr("\r\nConnection: close\r\n"));
    }
}

// Ranges would multiply what one download request sends and counts, and a
// download names its offset in its body: on a POST they mean nothing.
TEST_F(RuviServer, RangesOnPostsAreIgnored) {
    const std::string content = FileContent();
    const CServerUnderTest server(Options());
    std::string overlapping = "bytes=0-299999";
    for (int i = 0; i < 600; ++i) overlapping += ",0-299999";
    const httplib::Headers ranged[] = {
        {{"Range", overlapping}},   {{"Range", "bytes=10-19"}, {"If-Range", "\"x\""}},
        {{"rAnGe", "bytes=10-19"}}, {{"Range", "bytes=5-1"}},  // would be 416
        {{"Range", "pages=1"}},
    };
    for (const auto& headers : ranged) {
        SCOPED_TRACE(headers.begin()->second.substr(0, 20));
        const Reply reply =
            server.Post("/RUVServer/files/setup.exe", DownloadRequest("2048"), headers);
        EXPECT_EQ(reply.status, 200);
        EXPECT_TRUE(reply.body == content.substr(2048)) << reply.body.size() << " bytes";
        EXPECT_EQ(reply.headers.count("Content-Range"), 0u);
    }
    MetricsReach(server,
                 {"ruvi_downloads_started_total 5\n", "ruvi_downloads_completed_total 5\n",
                  "ruvi_sent_bytes_total " + std::to_string(5 * (kFileSize - 2048)) + "\n"});
}

// Each line comes well within any time-out between reads; the request as a
// whole does not come within its deadline.
TEST_F(RuviServer, AClientTricklingItsHeadIsCutOffAtTheDeadlineWhileOthersAreServed) {
    const std::string content = FileContent();
    CServerUnderTest server(Options());
    const auto deadline = ServerOptions().limits.requestDeadline;
    const auto lineInterval = std::chrono::seconds(3);
    const CRawClient slow(server.Port());
    const auto start = std::chrono::steady_clock::now();
    // How long until the server cut it off; nullopt when it went on taking
    // lines well past the deadline.
    auto trickle = std::async(std::launch::async, [&]() -> std::optional<std::chrono::nanoseconds> {
        bool sent = slow.Send("POST /RUVServer/ruvinstall HTTP/1.1\r\n");
        for (int line = 1; sent && line <= deadline / lineInterval + 2; ++line) {
            if (slow.ReceiveUntilClosed(lineInterval))
                return std::chrono::steady_clock::now() - start;
            sent = slow.Send("X-Line-" + std::to_string(line) + ": y\r\n");
        }
        return std::nullopt;
    });
    for (int i = 0; i < 20; ++i) {
        const Reply reply = server.Post("/RUVServer/files/setup.exe", DownloadRequest("0"));
        EXPECT_EQ(reply.status, 200);
        EXPECT_TRUE(reply.body == content);
    }
    const auto cutAfter = trickle.get();
    ASSERT_TRUE(cutAfter) << "the trickling client still holds its worker";
    EXPECT_GE(*cutAfter, deadline);
    server.Stop();
    EXPECT_THAT(server.AccessLog(),
                ContainsRegex("\"path\":\"/RUVServer/ruvinstall\",\"status\":400,"));
}

TEST_F(RuviServer, AnAnswerTheClientStopsTakingIsGivenUpAfterTheSendTimeout) {
    const std::filesystem::path huge = folder_.Path() / "files" / "huge.bin";
    std::ofstream(huge, std::ios::binary).close();
    std::filesystem::resize_file(huge, 256 << 20);
    ServerOptions options = Options();
    options.limits.sendTimeout = std::chrono::seconds(1);
    const CServerUnderTest server(options);
    const CRawClient client(server.Port());
    client.ShrinkReceiveBuffer();
    const std::string body = DownloadRequest("0");
    ASSERT_TRUE(
        client.Send("POST /RUVServer/files/huge.bin HTTP/1.1\r\nHost: x\r\n"
                    "Content-Length: " +
                    std::to_string(body.size()) + "\r\n\r\n" + body));
    // Counted once its answer has ended, cut short.
    EXPECT_TRUE(MetricsReach(
        server, {"ruvi_requests_total{status=\"200\"} 1\n", "ruvi_downloads_completed_total 0\n"}));
}

TEST(ClientAddress, OnlyATrustedProxyIsBelievedAboutTheClientBehindIt) {
    const CTrustedProxies proxies({"127.0.0.1", "2001:db8::1"});
    const struct {
        std::string peer;
        std::vector<std::string> forwardedFor;
        std::string client, proxy;
    } cases[] = {
        {"127.0.0.1", {"203.0.113.7"}, "203.0.113.7", "127.0.0.1"},
        {"127.0.0.1", {"198.51.100.1, 203.0.113.7 "}, "203.0.113.7", "127.0.0.1"},
        {"127.0.0.1", {"198.51.100.1", "203.0.113.7"}, "203.0.113.7", "127.0.0.1"},
        {"::ffff:127.0.0.1", {"2001:db8::7"}, "2001:db8::7", "::ffff:127.0.0.1"},
        {"2001:db8::1", {"203.0.113.7"}, "203.0.113.7", "2001:db8::1"},
        {"127.0.0.1", {}, "127.0.0.1", ""},
        {"127.0.0.1", {"203.0.113.7, unknown"}, "127.0.0.1", ""},
        {"127.0.0.1", {"203.0.113.7:5000"}, "127.0.0.1", ""},
        {"127.0.0.2", {"203.0.113.7"}, "127.0.0.2", ""},
        {"10.0.0.1", {"203.0.113.7"}, "10.0.0.1", ""},
    };
    for (const auto& c : cases) {
        httplib::Request request;
        for (const std::string& value : c.forwardedFor)
            request.set_header("X-Forwarded-For", value);
        const CClientAddress address = proxies.ClientOf(c.peer, request);
        EXPECT_EQ(address.client, c.client) << c.peer;
        EXPECT_EQ(address.proxy, c.proxy) << c.peer;
    }
}

TEST_F(RuviServer, PathsOutsideFilesAndMissingFilesAre404WithoutBytesToPostAndGet) {
    folder_.AddFile("../secret.bin", "secret");
    const CServerUnderTest server(Options());
    const std::string refused[] = {
        "/RUVServer/files/../secret.bin",
        "/RUVServer/files/../plan.xml",
        "/RUVServer/files/%2e%2e/plan.xml",
        "/RUVServer/files/v2/..%2f..%2fplan.xml",
        "/RUVServer/files/%2fetc%2fpasswd",
        "/RUVServer/files//etc/passwd",
        "/RUVServer/files/",
        "/RUVServer/files/v2",
        "/RUVServer/files/missing.exe",
        "/RUVServer/plan.xml",
        "/RUVServer/secret.bin",
        "/RUVServer//files/setup.exe",
        "/files/setup.exe",
        "/RUVServer/FILES/setup.exe",
    };
    for (const std::string& path : refused) {
        for (const Reply& reply : {server.Post(path, DownloadRequest("0")), server.Get(path)}) {
            EXPECT_EQ(reply.status, 404) << path;
            EXPECT_EQ(reply.body, "") << path;
        }
    }
}

// As a static server or CDN serves a file, so that a plan may name the
// server as a mirror of its own downloads.
TEST_F(RuviServer, FilesAreMirroredToGetsWholeOrOneRangeAtATime) {
    const std::string content = FileContent();
    const CServerUnderTest server(Options());
    const std::string total = "/" + std::to_string(kFileSize);
    const struct {
        httplib::Headers headers;
        int status;
        std::size_t from, length;
        std::string contentRange;  // "": none
    } cases[] = {
        {{}, 200, 0, kFileSize, ""},
        {{{"Range", "bytes=1024-"}}, 206, 1024, kFileSize - 1024, "bytes 1024-300000" + total},
        {{{"Range", "bytes=0-0"}}, 206, 0, 1, "bytes 0-0" + total},
        {{{"Range", "bytes=299990-4000000000"}}, 206, 299990, 11, "bytes 299990-300000" + total},
        {{{"Range", "bytes=-100"}}, 206, kFileSize - 100, 100, "bytes 299901-300000" + total},
        {{{"Range", "Bytes=5-9"}}, 206, 5, 5, "bytes 5-9" + total},
        {{{"Range", "bytes=300001-"}}, 416, 0, 0, "bytes *" + total},
        {{{"Range", "bytes=99999999999999999999-"}}, 416, 0, 0, "bytes *" + total},
        {{{"Range", "bytes=-0"}}, 416, 0, 0, "bytes *" + total},
        {{{"Range", "bytes=0-1,5-9"}}, 200, 0, kFileSize, ""},
        {{{"Range", "bytes=9-5"}}, 200, 0, kFileSize, ""},
        {{{"Range", "pages=1-2"}}, 200, 0, kFileSize, ""},
        {{{"Range", "bytes=5-9"}, {"If-Range", "\"v1\""}}, 200, 0, kFileSize, ""},
    };
    std::size_t downloads = 0;
    for (const auto& c : cases) {
        const std::string range = c.headers.empty() ? "none" : c.headers.begin()->second;
        SCOPED_TRACE(range);
        const Reply reply = server.Get("/RUVServer/files/setup.exe", c.headers);
        EXPECT_EQ(reply.status, c.status);
        EXPECT_TRUE(reply.body == content.substr(c.from, c.length)) << reply.body.size();
        const auto contentRange = reply.headers.find("Content-Range");
        EXPECT_EQ(contentRange == reply.headers.end() ? "" : contentRange->second, c.contentRange);
        const Reply head = server.Head("/RUVServer/files/setup.exe", c.headers);
        EXPECT_EQ(head.status, c.status);
        EXPECT_EQ(head.body, "");
        if (c.status != 416) {
            EXPECT_EQ(head.headers.find("Content-Length")->second, std::to_string(c.length));
            ++downloads;
        }
    }
    EXPECT_EQ(server.Get("/RUVServer/files/v2/tool.bin", {{"Range", "bytes=1-"}}).body, "ool");
    // HEADs are no downloads.
    const std::string count = std::to_string(downloads + 1) + "\n";
    MetricsReach(server, {"ruvi_mirror_downloads_started_total " + count,
                          "ruvi_mirror_downloads_completed_total " + count,
                          "ruvi_downloads_started_total 0\n"});
}

TEST_F(RuviServer, ReportsAreLoggedOneLineEachWithTheirBodyEscapedToUtf8) {
    {
        const CServerUnderTest server(Options());
        const char8_t report[] = u8"无法启动Ruvex，操作系统信息【OS_END】";
        EXPECT_EQ(server
                      .Post("/RUVServer//RUVS?method=report",
                            std::string(report, report + sizeof report - 1))
                      .status,
                  200);
        EXPECT_EQ(server
                      .Post("/RUVServer/RUVS?method=report",
                            "forged\n2000-01-01T00:00:00Z\tx\\n\x01\xd6\xd0\xe4\xb8")
                      .status,
                  200);
        EXPECT_EQ(server.Post("/RUVServer//RUVS?method=report", std::string(4096, 'r')).status,
                  200);
        EXPECT_EQ(server.Post("/RUVServer//RUVS?method=other", "x").status, 404);
        EXPECT_EQ(server.Post("/RUVServer//RUVS", "x").status, 404);
    }
    const std::string log = folder_.ReadFile("reports.log");
    // "无法启动" in UTF-8, byte for byte, on the first line; GBK and a cut
    // sequence as escapes.
    EXPECT_THAT(log, ::testing::MatchesRegex(
                         "[0-9T:Z-]+\t127\\.0\\.0\\.1\t\xe6\x97\xa0\xe6\xb3\x95\xe5\x90\xaf\xe5\x8a"
                         "\xa8Ruvex.*\n"
                         "[0-9T:Z-]+\t127\\.0\\.0\\.1\tforged\\\\n2000-01-01T00:00:"
                         "00Z\\\\tx\\\\\\\\n\\\\x01\\\\xd6\\\\xd0\\\\xe4\\\\xb8\n"
                         "[0-9T:Z-]+\t127\\.0\\.0\\.1\tr{4096}\n"));
}

// Behind a trusted proxy each installer counts as itself; without one the
// proxy would count as one client for all of them.
TEST_F(RuviServer, TenReportsAMinuteFromOneClientAreTakenAndNoMore) {
    ServerOptions options = Options();
    options.trustedProxies = {"127.0.0.1"};
    options.reportDirectory = folder_.Path() / "reports";
    std::filesystem::create_directory(options.reportDirectory);
    CServerUnderTest server(options);
    const httplib::Headers first = {{"X-Forwarded-For", "203.0.113.7"}};
    for (int i = 0; i < 10; ++i) {
        ASSERT_EQ(server.Post("/RUVServer//RUVS?method=report", "r", first).status, 200) << i;
    }
    EXPECT_EQ(server.Post("/RUVServer//RUVS?method=report", "r", first).status, 429);
    EXPECT_EQ(
        server.Post("/RUVServer//RUVS?method=report", "r", {{"X-Forwarded-For", "203.0.113.8"}})
            .status,
        200);
    EXPECT_EQ(server.Post("/RUVServer//RUVS?method=report", "r").status, 200);
    server.Stop();

    const std::string log = folder_.ReadFile("reports/reports.log");
    EXPECT_THAT(log, ::testing::MatchesRegex("([0-9T:Z-]+\t203\\.0\\.113\\.7\tr\n){10}"
                                             "[0-9T:Z-]+\t203\\.0\\.113\\.8\tr\n"
                                             "[0-9T:Z-]+\t127\\.0\\.0\\.1\tr\n"));
    EXPECT_FALSE(std::filesystem::exists(folder_.Path() / "reports.log"));
    EXPECT_THAT(server.AccessLog(),
                HasSubstr("\"client\":\"203.0.113.7\",\"proxy\":\"127.0.0.1\",\"method\":\"POST\","
                          "\"path\":\"/RUVServer//RUVS?method=report\",\"status\":429,"));
}

TEST_F(RuviServer, ProxyTestPageIsTheBaseAndNothingElse) {
    const CServerUnderTest server(Options());
    EXPECT_EQ(server.Get("/RUVServer/").status, 200);
    EXPECT_EQ(server.Get("/RUVServer/ruvinstall").status, 404);
    EXPECT_EQ(server.Get("/").status, 404);
    EXPECT_EQ(server.Post("/RUVServer/", "").status, 404);
}

TEST_F(RuviServer, ServesManyClientsAtOnce) {
    const std::string content = FileContent();
    const CServerUnderTest server(Options());
    std::vector<std::future<bool>> clients;
    for (int i = 0; i < 24; ++i) {
        clients.push_back(std::async(std::launch::async, [&, i] {
            const std::size_t from = static_cast<std::size_t>(i) * 10007;
            const Reply answer = server.Post("/RUVServer/ruvinstall", "");
            const Reply file =
                server.Post("/RUVServer/files/setup.exe", DownloadRequest(std::to_string(from)));
            return answer.status == 200 && file.status == 200 && file.body == content.substr(from);
        }));
    }
    for (auto& client : clients) EXPECT_TRUE(client.get());
}

TEST_F(RuviServer, MetricsAndTheAccessLogCountWhatWasServed) {
    CServerUnderTest server(Options());
    EXPECT_EQ(server.Post("/RUVServer/ruvinstall", "").status, 200);
    EXPECT_EQ(server.Post("/RUVServer/files/setup.exe", DownloadRequest("0")).body.size(),
              kFileSize);
    EXPECT_EQ(server.Post("/RUVServer/files/setup.exe", DownloadRequest("300000")).body.size(), 1u);
    EXPECT_EQ(server.Post("/RUVServer/files/v2/tool.bin", DownloadRequest("9")).status, 200);
    EXPECT_EQ(server.Post("/RUVServer//RUVS?method=report", "r").status, 200);
    EXPECT_EQ(server.Post("/RUVServer/files/missing", DownloadRequest("0")).status, 404);
    const Reply health = server.Get("/healthz");
    EXPECT_EQ(health.status, 200);
    EXPECT_EQ(health.body, "ok");

    // A request is counted once its answer has gone, which may be just after
    // the client has it: wait until every one is in.
    const std::string answerSize =
        std::to_string(server.Post("/RUVServer/ruvinstall", "").body.size());
    const std::string expected[] = {
        "# TYPE ruvi_answers_served_total counter\nruvi_answers_served_total 2\n",
        "\nruvi_downloads_started_total 3\n",
        "\nruvi_downloads_completed_total 3\n",
        "\nruvi_sent_bytes_total " +
            std::to_string(2 * std::stoul(answerSize) + kFileSize + 1 + 2) + "\n",
        "\nruvi_reports_received_total 1\n",
        "# TYPE ruvi_requests_total counter\nruvi_requests_total{status=\"200\"} 7\n"
        "ruvi_requests_total{status=\"404\"} 1\n",
    };
    const auto counted = [&](const std::string& text) {
        return std::all_of(std::begin(expected), std::end(expected), [&](const std::string& line) {
            return text.find(line) != std::string::npos;
        });
    };
    std::string metrics = server.Metrics();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!counted(metrics) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
        metrics = server.Metrics();
    }
    EXPECT_TRUE(counted(metrics)) << metrics;
    const Reply exposition = server.Get("/metrics");
    EXPECT_EQ(exposition.status, 200);
    EXPECT_EQ(exposition.body, metrics);  // it counts itself once it has gone

    server.Stop();
    const struct {
        std::string method, path;  // path as a regular expression
        int status;
        std::string bytes, offset;
    } lines[] = {
        {"POST", "/RUVServer/ruvinstall", 200, answerSize, ""},
        {"POST", "/RUVServer/files/setup\\.exe", 200, "300001", "0"},
        {"POST", "/RUVServer/files/setup\\.exe", 200, "1", "300000"},
        {"POST", "/RUVServer/files/v2/tool\\.bin", 200, "0", "9"},
        {"POST", "/RUVServer//RUVS\\?method=report", 200, "0", ""},
        {"POST", "/RUVServer/files/missing", 404, "0", ""},
        {"GET", "/healthz", 200, "2", ""},
    };
    // Requests come on connections of their own, so their lines may be
    // written in any order.
    const std::string log = server.AccessLog();
    for (const auto& line : lines) {
        const std::string pattern =
            "\\{\"time\":\"[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9:]{8}\\.[0-9]{3}Z\","
            "\"client\":\"127\\.0\\.0\\.1\",\"method\":\"" +
            line.method + "\",\"path\":\"" + line.path +
            "\",\"status\":" + std::to_string(line.status) + ",\"bytes\":" + line.bytes +
            ",\"milliseconds\":[0-9]+" + (line.offset.empty() ? "" : ",\"offset\":" + line.offset) +
            "\\}";
        EXPECT_THAT(log, ::testing::ContainsRegex("(^|\n)" + pattern + "\n")) << line.path;
    }
}

TEST_F(RuviServer, BaseOptionMovesEveryAddress) {
    ServerOptions options = Options();
    options.basePath = "/";
    const CServerUnderTest server(options);
    EXPECT_EQ(server.Post("/ruvinstall", "").status, 200);
    EXPECT_EQ(server.Post("/files/v2/tool.bin", DownloadRequest("0")).body, "tool");
    EXPECT_EQ(server.Get("/files/v2/tool.bin").body, "tool");
    EXPECT_EQ(server.Post("//RUVS?method=report", "r").status, 200);
    EXPECT_EQ(server.Post("/RUVServer/ruvinstall", "").status, 404);
}

TEST_F(RuviServer, StopBeforeRunEndsRunAtOnce) {
    CRuviServer server(Options());
    server.Stop();
    auto run = std::async(std::launch::async, [&] { return server.Run(); });
    if (run.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
        server.Stop();  // lets the test end; the early Stop was lost
        FAIL() << "Run did not see the Stop that came before it";
    }
    EXPECT_TRUE(run.get());
}

TEST_F(RuviServer, RefusesToStartOnAPortAnotherServerHolds) {
    const CRuviServer first(Options());
    ServerOptions options = Options();
    options.port = first.Port();
    try {
        CRuviServer second(options);
        ADD_FAILURE() << "a second server shares port " << first.Port();
    } catch (const CStartupError& error) {
        EXPECT_THAT(error.what(), HasSubstr("cannot listen on 127.0.0.1:"));
    }
}

}  // namespace
