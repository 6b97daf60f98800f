#include "net/http_client.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/secure_stream.h"
#include "minimal_plan.h"
#include "net/internet_error.h"
#include "net/response_sink.h"
#include "scripted_pattern.h"
#include "test_progress_window.h"
#include "test_services.h"
#include "trusted_root.h"

namespace {

// The client's failure texts, as the GBK bytes they must be.
const std::string kServerInternalErrorGbk =
    "\xb7\xfe\xce\xf1\xc6\xf7\xc4\xda\xb2\xbf\xb4\xed\xce\xf3";  // 服务器内部错误
const std::string kServerUrlUnparsableGbk =
    "\xbd\xe2\xce\xf6\xb7\xfe\xce\xf1\xc6\xf7"
    "URL\xca\xa7\xb0\xdc";  // 解析服务器URL失败
const std::string kNoTextPrefixGbk =
    "\xcd\xf8\xc2\xe7\xcd\xa8\xd1\xb6\xb4\xed\xce\xf3\xa3\xac\xb4\xed\xce\xf3\xc2\xeb\xa3"
    "\xba";  // 网络通讯错误，错误码：

std::string Text(const ByteVector& bytes) { return std::string(bytes.begin(), bytes.end()); }

ByteVector Bytes(const std::string& text) { return ByteVector(text.begin(), text.end()); }

// The text Post failed with; "(no failure)" when it succeeded.
std::string FailureOf(const std::function<void()>& post) {
    try {
        post();
    } catch (const CMessageError& failure) {
        return failure.Text();
    }
    return "(no failure)";
}

bool HoldsPattern(const ByteVector& body, std::size_t size) {
    if (body.size() != size) return false;
    for (std::size_t i = 0; i < size; ++i) {
        if (body[i] != ScriptedByte(i)) return false;
    }
    return true;
}

// Checks a body against the scripted pattern as it arrives, holding none of
// it; refuses the piece after the first takenPieces when that is given.
class PatternSink final : public IResponseSink {
public:
    explicit PatternSink(int takenPieces = -1) : takenPieces_(takenPieces) {}

    bool Write(const char* bytes, std::size_t size) override {
        if (pieces == takenPieces_) return false;
        ++pieces;
        for (std::size_t i = 0; i < size; ++i)
            intact = intact && bytes[i] == ScriptedByte(received + i);
        received += size;
        return true;
    }

    int pieces = 0;  // taken
    std::uint64_t received = 0;
    bool intact = true;

private:
    int takenPieces_;
};

class HttpClientTest : public ::testing::Test {
protected:
    void Post(const std::string& answer, const ByteVector& body = {},
              IProgressSink* window = nullptr) {
        client.Post(services.ScriptedUrl(answer), window, body);
    }

    std::string FailureOfPost(const std::string& url) {
        return FailureOf([&] { client.Post(url, nullptr, {}); });
    }

    TestServices services;
    HttpClient client;
};

TEST_F(HttpClientTest, PostsTheBodyWithTheFixedHeaderBlock) {
    const std::string body("name=RUVI\0\xff\r\n\xb0\xb2\xd7\xb0", 15);
    Post("echo", Bytes(body));

    const std::string echo = Text(client.response);
    EXPECT_EQ(echo.rfind("POST /scripted/echo\n", 0), 0u) << echo;
    EXPECT_NE(echo.find("\nAccept: text/*\n"), std::string::npos) << echo;
    EXPECT_NE(echo.find("\nUser-Agent: Ruvex Installer\n"), std::string::npos) << echo;
    EXPECT_NE(echo.find("\nContent-Length: 15\n"), std::string::npos) << echo;
    EXPECT_EQ(echo.substr(echo.size() - body.size() - 2), "\n\n" + body);
}

TEST_F(HttpClientTest, AnEmptyBodyGoesOutAsAPostWithoutContent) {
    Post("echo");

    const std::string echo = Text(client.response);
    EXPECT_EQ(echo.rfind("POST /scripted/echo\n", 0), 0u) << echo;
    EXPECT_EQ(echo.find("Content-Length: ") == std::string::npos ||
                  echo.find("\nContent-Length: 0\n") != std::string::npos,
              true)
        << echo;
    EXPECT_EQ(echo.substr(echo.size() - 2), "\n\n") << echo;
}

TEST_F(HttpClientTest, ResponseHoldsExactlyTheLatestBody) {
    Post("bytes/5000");
    EXPECT_TRUE(HoldsPattern(client.response, 5000));

    Post("bytes/0");
    EXPECT_TRUE(client.response.empty());
}

TEST_F(HttpClientTest, EveryStatusButOkFailsAsServerInternalError) {
    // Redirections included: they are not followed.
    for (const int status : {404, 302, 301, 307, 500, 201, 204}) {
        EXPECT_EQ(FailureOfPost(services.ScriptedUrl("status/" + std::to_string(status))),
                  kServerInternalErrorGbk)
            << status;
    }
}

TEST_F(HttpClientTest, AUrlThatCannotBeSplitFailsBeforeAnyRequest) {
    for (const char* url : {"not a url", "127.0.0.1/RUVServer/ruvinstall", ""}) {
        EXPECT_EQ(FailureOfPost(url), kServerUrlUnparsableGbk) << url;
    }
}

TEST_F(HttpClientTest, AServerThatIsNotThereGivesThePlatformsOwnText) {
    const std::string url = "http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + "/x";
    try {
        client.Post(url, nullptr, {});
        FAIL() << "the POST to a closed port succeeded";
    } catch (const CInternetError& failure) {
        EXPECT_EQ(failure.Code(), static_cast<DWORD>(ERROR_INTERNET_CANNOT_CONNECT));
        EXPECT_EQ(failure.Text(), InternetErrorText(ERROR_INTERNET_CANNOT_CONNECT));
        // Wine and Windows have a text of their own for this code.
        EXPECT_EQ(failure.Text().find(kNoTextPrefixGbk), std::string::npos) << failure.Text();
    }
}

TEST_F(HttpClientTest, ASinkTakesTheBodyAsItArrivesWhileResponseStaysEmpty) {
    Post("bytes/5000");
    PatternSink sink;
    client.Post(services.ScriptedUrl("bytes/3000000"), nullptr, {}, sink);
    EXPECT_EQ(sink.received, 3000000u);
    EXPECT_TRUE(sink.intact);
    EXPECT_TRUE(client.response.empty());
}

TEST_F(HttpClientTest, NoAnswerIsCopiedIntoTheUsersInternetCache) {
    const std::string streamed = services.ScriptedUrl("bytes/3000000");
    const std::string held = services.ScriptedUrl("bytes/5000");
    PatternSink sink;
    client.Post(streamed, nullptr, {}, sink);
    client.Post(held, nullptr, {});
    for (const std::string& url : {streamed, held}) {
        DWORD size = 0;
        EXPECT_FALSE(GetUrlCacheEntryInfoA(url.c_str(), nullptr, &size)) << url;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND)) << url;
    }
}

TEST_F(HttpClientTest, AnAnswerCutOffInTheMiddleOfTheBodyFailsAfterTheSinkTookWhatCame) {
    PatternSink sink;
    try {
        client.Post(services.ScriptedUrl("cut/100000/30000"), nullptr, {}, sink);
        FAIL() << "a body of 30000 of 100000 bytes was taken as whole";
    } catch (const CInternetError& failure) {
        EXPECT_FALSE(failure.Text().empty());
    }
    EXPECT_EQ(sink.received, 30000u);
    EXPECT_TRUE(sink.intact);
}

TEST_F(HttpClientTest, APieceTheSinkRefusesEndsTheTransferAsCancelled) {
    PatternSink sink(1);
    try {
        client.Post(services.ScriptedUrl("bytes/5000000"), nullptr, {}, sink);
        FAIL() << "a refused piece went unnoticed";
    } catch (const CInternetError& failure) {
        EXPECT_EQ(failure.Code(), static_cast<DWORD>(ERROR_INTERNET_OPERATION_CANCELLED));
    }
    EXPECT_EQ(sink.pieces, 1);
    EXPECT_GT(sink.received, 0u);
    EXPECT_LT(sink.received, 5000000u);
}

// Collects a body in memory, as a GET's chooser names it.
class BodyCollector final : public IResponseSink {
public:
    bool Write(const char* bytes, std::size_t size) override {
        body.append(bytes, size);
        return true;
    }

    std::string body;
};

// The services host's HTTP layer cuts any answer to a Range itself, so the
// request is seen where it is recorded, and the heads are asked for without
// one.
TEST_F(HttpClientTest, AGetSendsNoBodyTheFixedHeadersAndARangeOnlyPastTheStart) {
    const CannedAnswer canned = services.ServeCanned(200, "0123456789");
    for (const std::uint64_t start : {std::uint64_t{0}, std::uint64_t{4831838208}}) {
        FailureOf([&] {
            client.Get(canned.url + "file.bin", nullptr, start,
                       [](const AnswerHead&) -> IResponseSink* { return nullptr; });
        });
        const std::string request = canned.LastRequest();
        EXPECT_EQ(request.rfind("GET ", 0), 0u) << request;
        EXPECT_NE(request.find("\nAccept: text/*\n"), std::string::npos) << request;
        EXPECT_NE(request.find("\nUser-Agent: Ruvex Installer\n"), std::string::npos) << request;
        EXPECT_EQ(request.find("Content-Length"), std::string::npos) << request;
        EXPECT_TRUE(request.ends_with("\n\n")) << request;
        EXPECT_EQ(request.find("\nRange: bytes=4831838208-\n") != std::string::npos, start > 0)
            << request;
    }
}

TEST_F(HttpClientTest, AGetHandsTheHeadToItsChooserAndARefusedAnswerIsNotRead) {
    const CannedAnswer partial =
        services.ServeCanned(206, "56789", "Content-Range: bytes 5-9/10\r\n");
    const struct {
        std::string url;
        int status;
        std::optional<std::string> contentRange;
        std::optional<std::uint64_t> contentLength;
    } cases[] = {
        {partial.url + "file.bin", 206, "bytes 5-9/10", 5},
        {services.ScriptedUrl("bytes/300"), 200, std::nullopt, 300},
        // Redirections come back as they are, not followed.
        {services.ScriptedUrl("status/302"), 302, std::nullopt, std::nullopt},
        {services.ScriptedUrl("status/416"), 416, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        AnswerHead seen;
        EXPECT_EQ(FailureOf([&] {
                      client.Get(c.url, nullptr, 0, [&](const AnswerHead& head) -> IResponseSink* {
                          seen = head;
                          return nullptr;
                      });
                  }),
                  kServerInternalErrorGbk)
            << c.url;
        EXPECT_EQ(seen.status, c.status) << c.url;
        EXPECT_EQ(client.lastStatus, c.status) << c.url;
        EXPECT_EQ(seen.contentRange, c.contentRange) << c.url;
        if (c.contentLength) {
            EXPECT_EQ(seen.contentLength, c.contentLength) << c.url;
        }
    }
    // Taken, the body goes to the sink named.
    BodyCollector collector;
    client.Get(partial.url + "file.bin", nullptr, 0, [&](const AnswerHead&) { return &collector; });
    EXPECT_EQ(collector.body, "56789");
}

TEST(InternetErrorText, NamesTheCodeWhenThePlatformHasNoText) {
    EXPECT_EQ(InternetErrorText(12152), kNoTextPrefixGbk + "12152");
}

class HttpClientProgressTest : public HttpClientTest {
protected:
    void SetUp() override {
        window.ProgressBar().SetPos(10);
        window.TakeRepaintRequests();
    }

    TestProgressWindow window;
};

TEST_F(HttpClientProgressTest, TheBarStepsOnceForEachMultipleOf400000BytesTheBodyGoesPast) {
    // Bytes are counted, not reads: one large read may go past several.
    const struct {
        std::size_t size;
        int steps;
    } cases[] = {{400000, 0}, {400001, 1}, {1000000, 2}, {5000000, 12}};
    for (const auto& c : cases) {
        SetUp();
        PatternSink sink;
        client.Post(services.ScriptedUrl("bytes/" + std::to_string(c.size)), window.Sink(), {},
                    sink);
        EXPECT_EQ(sink.received, c.size);
        EXPECT_EQ(window.ProgressBar().GetPos(), 10 + c.steps) << c.size;
        const auto repaints = window.TakeRepaintRequests();
        EXPECT_EQ(repaints.invalidated, c.steps > 0) << c.size;
        EXPECT_EQ(repaints.postedPaints, c.steps) << c.size;
    }
    // A body taken into memory steps the bar the same way.
    SetUp();
    Post("bytes/1000000", {}, window.Sink());
    EXPECT_TRUE(HoldsPattern(client.response, 1000000));
    EXPECT_EQ(window.ProgressBar().GetPos(), 12);
}

TEST_F(HttpClientProgressTest, StepsStayWithinTheBarsRangeAndAFullBarIsNotRepainted) {
    window.ProgressBar().SetPos(100);
    window.TakeRepaintRequests();
    Post("bytes/1000000", {}, window.Sink());
    EXPECT_EQ(window.ProgressBar().GetPos(), 100);
    EXPECT_EQ(window.TakeRepaintRequests().postedPaints, 0);

    // A minimum raised above the position: the next step lands on it.
    window.ProgressBar().SetRange(0, 100);
    window.ProgressBar().SetPos(5);
    window.ProgressBar().SetRange(20, 100);
    Post("bytes/500000", {}, window.Sink());
    EXPECT_EQ(window.ProgressBar().GetPos(), 20);
}

class HttpClientProxyTest : public HttpClientTest {
protected:
    void UseProxy(const std::string& user, const std::string& password) {
        client.useProxy = true;
        client.proxySettings = {"127.0.0.1", std::to_string(proxy.port), user, password};
    }

    SquidProxy proxy = services.StartSquid("ruvi", "s3cret");
};

TEST_F(HttpClientProxyTest, APostWithTheProxysAccountReachesTheServerThroughIt) {
    UseProxy("ruvi", "s3cret");
    Post("echo", Bytes("through the proxy"));

    const std::string echo = Text(client.response);
    EXPECT_EQ(echo.rfind("POST /scripted/echo\n", 0), 0u) << echo;
    EXPECT_NE(echo.find("\nUser-Agent: Ruvex Installer\n"), std::string::npos) << echo;
    EXPECT_EQ(echo.substr(echo.size() - 17), "through the proxy");
    EXPECT_NE(proxy.WaitForLogLine("POST " + services.ScriptedUrl("echo") + " ruvi"), "");
}

TEST_F(HttpClientProxyTest, AWrongPasswordFailsWithTheProxysRefusal) {
    UseProxy("ruvi", "wrong");
    EXPECT_EQ(FailureOf([&] { Post("echo"); }), kServerInternalErrorGbk);
    EXPECT_NE(proxy.WaitForLogLine("TCP_DENIED/407"), "");
}

TEST_F(HttpClientProxyTest, ProxyTextsLongerThanTheirRoomAreRefusedUnsent) {
    // Sent, a user name of 63 bytes is simply a wrong account; one of 64
    // never leaves the client.
    UseProxy(std::string(63, 'u'), "s3cret");
    EXPECT_EQ(FailureOf([&] { Post("echo"); }), kServerInternalErrorGbk);

    const std::string refused = kNoTextPrefixGbk + std::to_string(ERROR_INTERNET_BAD_OPTION_LENGTH);
    UseProxy(std::string(64, 'u'), "s3cret");
    EXPECT_EQ(FailureOf([&] { Post("echo"); }), refused);
    UseProxy("ruvi", std::string(64, 'p'));
    EXPECT_EQ(FailureOf([&] { Post("echo"); }), refused);

    client.proxySettings = {std::string(322, 'h'), "65535", "ruvi", "s3cret"};
    EXPECT_EQ(FailureOf([&] { Post("echo"); }), refused);
}

TEST_F(HttpClientTest, TheServersAnswerToTheInitialRequestIsTheSealedPlanSignedOverTheNonce) {
    SharedFolder plan = services.MakeSharedFolder();
    plan.WriteFile("plan.xml", kMinimalPlanXml);
    const SigningKey key = services.MakeSigningKey();
    RuviServerSettings settings;
    settings.signingKey = key.privateKeyUnixPath;
    const RuviServer server = services.StartRuviServer(plan.unixPath, settings);

    const std::string nonce = "00112233445566778899aabbccddeeff";
    client.extraHeaders = "X-Ruvi-Nonce: " + nonce + "\r\n";
    client.keptHeaderName = "X-Ruvi-Signature";
    client.Post(server.url + "ruvinstall", nullptr, {});
    ByteVector document;
    SecureDecrypt(client.response, document);
    EXPECT_EQ(Text(document), kMinimalPlanXml);
    // Whether it is the key's signature over the nonce is the exchange's to
    // check (its tests run the same server).
    EXPECT_FALSE(client.responseHeader.value_or("").empty());

    // An answer without the header keeps nothing.
    Post("echo");
    EXPECT_NE(Text(client.response).find("\nX-Ruvi-Nonce: " + nonce + "\n"), std::string::npos);
    EXPECT_FALSE(client.responseHeader.has_value());
}

// A ruvi-server over TLS, with a certificate of a test CA.
class HttpClientTlsTest : public HttpClientTest {
protected:
    SharedFolder plan = [this] {
        SharedFolder folder = services.MakeSharedFolder();
        folder.WriteFile("plan.xml", kMinimalPlanXml);
        return folder;
    }();
    TlsCertificate certificate = services.MakeTlsCertificate();
    RuviServer server =
        services.StartRuviServer(plan.unixPath, RuviServerSettings().Tls(certificate));
};

TEST_F(HttpClientTlsTest, AServerWhoseCertificateTheSystemTrustsAnswersOverTls) {
    ASSERT_EQ(server.url.rfind("https://localhost:", 0), 0u) << server.url;
    const ScopedTrustedRoot trusted(certificate.caCertDerPath);
    client.Post(server.url + "ruvinstall", nullptr, {});
    ByteVector document;
    SecureDecrypt(client.response, document);
    EXPECT_EQ(Text(document), kMinimalPlanXml);
}

TEST_F(HttpClientTlsTest, AnUntrustedCertificateIsANetworkFailure) {
    try {
        client.Post(server.url + "ruvinstall", nullptr, {});
        FAIL() << "a server of an unknown CA was taken";
    } catch (const CInternetError& failure) {
        // Wine reports 12057 (a text of the client's own), Windows 12045.
        EXPECT_TRUE(failure.Code() == ERROR_INTERNET_SEC_CERT_REV_FAILED ||
                    failure.Code() == ERROR_INTERNET_INVALID_CA)
            << failure.Code();
        EXPECT_EQ(failure.Text(), InternetErrorText(failure.Code()));
    }
}

}  // namespace
