#include "server_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "startup_error.h"

namespace {

ServerOptions Parse(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "ruvi-server");
    return ParseServerOptions(static_cast<int>(arguments.size()), arguments.data());
}

TEST(ServerOptions, DefaultsServeSecureOnAFreeLoopbackPortUnderRUVServer) {
    const ServerOptions options = Parse({"plan"});
    EXPECT_EQ(options.planDirectory, "plan");
    EXPECT_EQ(options.host, "127.0.0.1");
    EXPECT_EQ(options.port, 0);
    EXPECT_EQ(options.basePath, "/RUVServer/");
    EXPECT_EQ(options.sealing, AnswerSealing::Secure);
    EXPECT_TRUE(options.signingKey.empty());
    EXPECT_FALSE(options.Tls());
    EXPECT_EQ(options.ReportDirectory(), "plan");
    EXPECT_TRUE(options.trustedProxies.empty());
}

TEST(ServerOptions, ReadsEveryOptionInAnyOrder) {
    const ServerOptions options = Parse(
        {"--mode",       "des",           "--listen",        "127.0.0.1:8080", "--tls-key",
         "k.pem",        "plan",          "--trusted-proxy", "127.0.0.1",      "--des-key",
         "k3y!k3y!",     "--signing-key", "s.pem",           "--base",         "/Other/",
         "--report-dir", "/var/log/ruvi", "--tls-cert",      "c.pem",          "--trusted-proxy",
         "::1"});
    EXPECT_EQ(options.port, 8080);
    EXPECT_EQ(options.signingKey, "s.pem");
    EXPECT_EQ(options.tlsCertificate, "c.pem");
    EXPECT_EQ(options.tlsKey, "k.pem");
    EXPECT_TRUE(options.Tls());
    EXPECT_EQ(options.basePath, "/Other/");
    EXPECT_EQ(options.sealing, AnswerSealing::Des);
    EXPECT_EQ(options.desKey, "k3y!k3y!");
    EXPECT_EQ(options.ReportDirectory(), "/var/log/ruvi");
    EXPECT_EQ(options.trustedProxies, (std::vector<std::string>{"127.0.0.1", "::1"}));
}

TEST(ServerOptions, HelpIsAskedForWhateverElseTheLineHolds) {
    EXPECT_TRUE(Parse({"--help"}).helpAsked);
    EXPECT_TRUE(Parse({"plan", "--mode", "aes", "-h"}).helpAsked);
    EXPECT_FALSE(Parse({"plan"}).helpAsked);
}

TEST(ServerOptions, BaseGetsItsLeadingAndTrailingSlash) {
    EXPECT_EQ(Parse({"plan", "--base", "RUV"}).basePath, "/RUV/");
    EXPECT_EQ(Parse({"plan", "--base", "/"}).basePath, "/");
}

TEST(ServerOptions, RefusesCommandLinesThatCannotServe) {
    const std::vector<std::vector<const char*>> refused = {
        {},
        {"plan", "other"},
        {"plan", "--listen"},
        {"plan", "--listen", "8080"},
        {"plan", "--listen", "127.0.0.1:65536"},
        {"plan", "--listen", "127.0.0.1:-1"},
        {"plan", "--listen", "127.0.0.1:80x"},
        {"plan", "--mode", "aes"},
        {"plan", "--mode", "des"},
        {"plan", "--mode", "des", "--des-key", "1234567"},
        {"plan", "--mode", "des", "--des-key", "123456789"},
        {"plan", "--des-key", "12345678"},
        {"plan", "--base", "/a?b/"},
        {"plan", "--verbose"},
        {"plan", "--tls-cert", "c.pem"},
        {"plan", "--tls-key", "k.pem"},
        {"plan", "--signing-key"},
        {"plan", "--trusted-proxy", "nginx.local"},
        {"plan", "--trusted-proxy", "127.0.0.0/8"},
        {"plan", "--report-dir"},
    };
    for (const auto& arguments : refused) {
        std::string line;
        for (const char* argument : arguments) line += std::string(argument) + ' ';
        EXPECT_THROW(Parse(arguments), CUsageError) << line;
    }
}

}  // namespace
