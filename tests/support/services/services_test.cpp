// The services host's own parts, on the host: the scripted answers as a
// client sees them, the services it runs, and that nothing it started
// outlives it.

#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "../scripted_pattern.h"
#include "child_process.h"
#include "loopback.h"
#include "nginx_service.h"
#include "ruvi_server_service.h"
#include "scripted_answers.h"
#include "service_files.h"
#include "squid_service.h"

namespace {

constexpr auto kLimit = std::chrono::seconds(30);

// Whether any process's command line mentions text (a folder of ours).
bool AnyProcessMentions(const std::string& text) {
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string cmdline = ReadWholeFile(entry.path().string() + "/cmdline");
        if (cmdline.find(text) != std::string::npos) return true;
    }
    return false;
}

std::string Fact(const std::string& facts, const std::string& name) {
    const std::size_t start = facts.find(name + "=");
    if (start == std::string::npos) return {};
    const std::size_t value = start + name.size() + 1;
    return facts.substr(value, facts.find('\n', value) - value);
}

// A listener of its own with the routes given, for one test.
class LoopbackServer {
public:
    explicit LoopbackServer(const std::function<void(httplib::Server&)>& addRoutes) {
        addRoutes(server_);
        port_ = server_.bind_to_any_port("127.0.0.1");
        listener_ = std::thread([this] { server_.listen_after_bind(); });
    }
    ~LoopbackServer() {
        server_.stop();
        listener_.join();
    }

    int Port() const { return port_; }

private:
    httplib::Server server_;
    int port_ = 0;
    std::thread listener_;
};

// The scripted answers on a listener of their own.
class ScriptedServer : public LoopbackServer {
public:
    ScriptedServer() : LoopbackServer(AddScriptedAnswers) {}
};

class ScriptedAnswersTest : public ::testing::Test {
protected:
    ScriptedServer server;
    httplib::Client client{"127.0.0.1", server.Port()};
};

TEST_F(ScriptedAnswersTest, BytesAreThePatternFromTheFirstOn) {
    for (const std::size_t size : {0u, 1u, 251u, 70000u}) {
        const auto answer =
            client.Post("/scripted/bytes/" + std::to_string(size), "", "text/plain");
        ASSERT_TRUE(answer) << size;
        EXPECT_EQ(answer->status, 200);
        ASSERT_EQ(answer->body.size(), size);
        for (std::size_t i = 0; i < size; ++i) ASSERT_EQ(answer->body[i], ScriptedByte(i)) << i;
    }
}

TEST_F(ScriptedAnswersTest, StatusesComeAsAskedAndRedirectionsSayWhere) {
    const auto missing = client.Get("/scripted/status/404");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->status, 404);

    client.set_follow_location(false);
    const auto moved = client.Get("/scripted/status/302");
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->status, 302);
    EXPECT_EQ(moved->get_header_value("Location"), "/scripted/bytes/16");
}

TEST_F(ScriptedAnswersTest, ACutAnswerDeclaresMoreThanItSends) {
    const auto cut = client.Get("/scripted/cut/10000/3000");
    // httplib itself refuses a body shorter than declared.
    EXPECT_FALSE(cut);
}

TEST_F(ScriptedAnswersTest, EchoReturnsTheRequestAsReceived) {
    const auto echo = client.Post("/scripted/echo", httplib::Headers{{"X-Probe", "one"}},
                                  std::string("a\0b", 3), "application/octet-stream");
    ASSERT_TRUE(echo);
    EXPECT_EQ(echo->body.rfind("POST /scripted/echo\n", 0), 0u) << echo->body;
    EXPECT_NE(echo->body.find("\nX-Probe: one\n"), std::string::npos) << echo->body;
    EXPECT_EQ(echo->body.find("REMOTE_ADDR"), std::string::npos) << echo->body;
    EXPECT_EQ(echo->body.substr(echo->body.size() - 5), std::string("\n\na\0b", 5));
}

TEST(SquidService, AsksForItsAccountAndSendsEverythingToItsOrigin) {
    ScriptedServer origin;
    auto squid = std::make_unique<SquidService>(SquidOptions{"ruvi", "s3cret", origin.Port()});
    const int port = std::stoi(Fact(squid->Facts(), "port"));
    const std::string accessLog = Fact(squid->Facts(), "accessLogUnix");
    EXPECT_EQ(Fact(squid->Facts(), "accessLog"), WindowsPathOf(accessLog));

    // The URL names no port of ours; the origin still answers.
    httplib::Client client("127.0.0.1", 80);
    client.set_proxy("127.0.0.1", port);
    const auto refused = client.Get("/scripted/bytes/10");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 407);
    client.set_proxy_basic_auth("ruvi", "s3cret");
    const auto answered = client.Get("/scripted/bytes/10");
    ASSERT_TRUE(answered);
    EXPECT_EQ(answered->status, 200);
    EXPECT_EQ(answered->body.size(), 10u);
    EXPECT_TRUE(WaitUntil(kLimit, [&] {
        return ReadWholeFile(accessLog).find("/scripted/bytes/10 ruvi") != std::string::npos;
    }));

    const std::string folder = std::filesystem::path(accessLog).parent_path();
    squid.reset();
    EXPECT_FALSE(AcceptsConnections(port));
    EXPECT_FALSE(AnyProcessMentions(folder));
    EXPECT_FALSE(std::filesystem::exists(folder));
}

#ifdef RUVI_SERVER_PROGRAM
TEST(RuviServerService, AnnouncesTheServersUrlOrWhyItDidNotStart) {
    TempFolder plan("ruvi-plan");
    std::ofstream(plan.Path() + "/plan.xml")
        << "<R><VersionLimit>1.0.0.1</VersionLimit><OperationList>"
           "<Operation ModuleName=\"UserCheck\"/></OperationList></R>";
    RuviServerOptions options;
    options.program = RUVI_SERVER_PROGRAM;
    options.planFolder = plan.Path();
    auto server = std::make_unique<RuviServerService>(options);
    const std::string url = Fact(server->Facts(), "url");
    ASSERT_EQ(url.rfind("http://127.0.0.1:", 0), 0u) << url;
    ASSERT_EQ(url.substr(url.size() - 11), "/RUVServer/") << url;
    const int port = std::stoi(url.substr(17));
    EXPECT_EQ(httplib::Client("127.0.0.1", port).Get("/RUVServer/")->status, 200);
    EXPECT_EQ(ReadWholeFile(Fact(server->Facts(), "accessLogUnix")).rfind("listening on ", 0), 0u);
    server->Kill();
    EXPECT_FALSE(AcceptsConnections(port));
    server.reset();

    options.planFolder = plan.Path() + "/missing";
    EXPECT_THROW(RuviServerService{options}, std::runtime_error);
}
#endif

TEST(NginxService, PutsTheShippedConfigurationInFrontOfTheInstancesOverPlainHttp) {
    // Two instances that say which one answered.
    const auto instance = [](const std::string& name) {
        return [name](httplib::Server& server) {
            server.Post("/RUVServer/who", [name](const auto&, auto& response) {
                response.set_content(name, "text/plain");
            });
        };
    };
    const LoopbackServer first(instance("first"));
    const LoopbackServer second(instance("second"));
    // Directly, and through relays that slow the instances down.
    for (const long long rateLimit : {0LL, 1LL << 20}) {
        auto nginx = std::make_unique<NginxService>(
            NginxOptions{RUVI_SHIPPED_NGINX_CONF, {first.Port(), second.Port()}, rateLimit, ""});
        const std::string facts = nginx->Facts();
        const int port = std::stoi(Fact(facts, "port"));
        EXPECT_EQ(Fact(facts, "url"), "http://127.0.0.1:" + std::to_string(port) + "/RUVServer/");

        httplib::Client client("127.0.0.1", port);
        std::set<std::string> answered;
        for (int i = 0; i < 4; ++i) {
            const auto answer = client.Post("/RUVServer/who", "", "text/plain");
            ASSERT_TRUE(answer) << rateLimit;
            answered.insert(answer->body);
        }
        EXPECT_EQ(answered, (std::set<std::string>{"first", "second"})) << rateLimit;
        EXPECT_EQ(client.Get("/elsewhere")->status, 404);

        const std::string folder =
            std::filesystem::path(Fact(facts, "accessLogUnix")).parent_path();
        nginx.reset();
        EXPECT_FALSE(AcceptsConnections(port));
        EXPECT_FALSE(AnyProcessMentions(folder));
    }
}

// A services host of its own, for one test.
class ServicesHost {
public:
    explicit ServicesHost(std::vector<std::string> argv) {
        argv.insert(argv.begin(), RUVI_TEST_SERVICES_PROGRAM);
        const std::string announcement = output_.Path() + "/stdout";
        host_ = std::make_unique<ChildProcess>(argv, announcement, output_.Path() + "/stderr");
        int port = 0;
        EXPECT_TRUE(WaitUntil(kLimit, [&] {
            const std::string text = ReadWholeFile(announcement);
            if (text.find('\n') == std::string::npos) return false;
            port = std::stoi(text.substr(text.rfind(':') + 1));
            return true;
        }));
        client_ = std::make_unique<httplib::Client>("127.0.0.1", port);
        client_->set_read_timeout(60);
    }

    // The facts of a control request that must succeed.
    std::string Call(const std::string& request) {
        const auto answer = client_->Post(request, "", "text/plain");
        EXPECT_TRUE(answer) << request;
        EXPECT_EQ(answer ? answer->status : -1, 200) << (answer ? answer->body : request);
        return answer ? answer->body : "";
    }
    void Stop() { host_->Stop(); }

private:
    TempFolder output_{"ruvi-services-test"};
    std::unique_ptr<ChildProcess> host_;
    std::unique_ptr<httplib::Client> client_;
};

#ifdef RUVI_SERVER_PROGRAM
TEST(ServicesHost, StartsASigningServerOverHttpsWithKeysAndCertificatesItMade) {
    ServicesHost host({"--ruvi-server", RUVI_SERVER_PROGRAM});
    const std::string key = host.Call("/signing-key");
    const std::string tls = host.Call("/tls-certificate");
    const std::string plan = Fact(host.Call("/temp-folder"), "unixPath");
    std::ofstream(plan + "/plan.xml")
        << "<R><VersionLimit>1.0.0.1</VersionLimit><OperationList>"
           "<Operation ModuleName=\"UserCheck\"/></OperationList></R>";
    EXPECT_EQ(Fact(key, "trustKey").rfind("MFkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDQgAE", 0), 0u) << key;
    EXPECT_EQ(Fact(key, "trustKey").size(), 124u);
    EXPECT_EQ(Fact(key, "privateKey"), WindowsPathOf(Fact(key, "privateKeyUnix")));
    EXPECT_EQ(Fact(tls, "caCertDer"), WindowsPathOf(Fact(tls, "caCertDerUnix")));
    EXPECT_EQ(ReadWholeFile(Fact(tls, "caCertDerUnix")).substr(0, 1), "\x30");  // a DER SEQUENCE

    const std::string server =
        host.Call("/ruvi-server?plan=" + plan + "&signingKey=" + Fact(key, "privateKeyUnix") +
                  "&tlsCert=" + Fact(tls, "certUnix") + "&tlsKey=" + Fact(tls, "keyUnix"));
    const std::string url = Fact(server, "url");
    ASSERT_EQ(url.rfind("https://localhost:", 0), 0u) << server;
    httplib::SSLClient client("localhost", std::stoi(url.substr(18)));
    client.set_ca_cert_path(Fact(tls, "caCertUnix").c_str());
    const auto answer =
        client.Post("/RUVServer/ruvinstall", {{"X-Ruvi-Nonce", "0123456789abcdef0123456789abcdef"}},
                    "", "application/octet-stream");
    ASSERT_TRUE(answer) << httplib::to_string(answer.error());
    EXPECT_EQ(answer->status, 200);
    EXPECT_TRUE(answer->has_header("X-Ruvi-Signature"));
}
#endif

TEST(ServicesHost, StopsEverythingItStartedWhenItIsStopped) {
    ServicesHost host({});
    const std::string squid = host.Call("/squid?user=ruvi&password=s3cret");
    const std::string squidFolder =
        std::filesystem::path(Fact(squid, "accessLogUnix")).parent_path();
    const std::string sharedFolder = Fact(host.Call("/temp-folder"), "unixPath");
    ASSERT_TRUE(AnyProcessMentions(squidFolder));
    ASSERT_TRUE(std::filesystem::is_directory(sharedFolder));

    host.Stop();
    EXPECT_FALSE(AnyProcessMentions(squidFolder));
    EXPECT_FALSE(std::filesystem::exists(squidFolder));
    EXPECT_FALSE(std::filesystem::exists(sharedFolder));
}

}  // namespace
