#include "net/probe_proxy.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <wininet.h>

#include <string>

#include "minimal_plan.h"
#include "net/internet_calls.h"
#include "net/internet_error.h"
#include "test_services.h"
#include "trusted_root.h"

namespace {

// A ruvi-server behind a squid.
class ProbeProxyTest : public ::testing::Test {
protected:
    SharedFolder PlanFolder() {
        SharedFolder folder = services.MakeSharedFolder();
        folder.WriteFile("plan.xml", kMinimalPlanXml);
        return folder;
    }

    int Probe(const char* address, const char* userName, const char* password) {
        return ProbeProxy(server.url, address, userName, password);
    }

    TestServices services;
    SharedFolder plan = PlanFolder();
    RuviServer server = services.StartRuviServer(plan.unixPath);
    SquidProxy proxy = services.StartSquid("ruvi", "s3cret");
};

TEST_F(ProbeProxyTest, AnAccountedProxyGivesTheServersOk) {
    EXPECT_EQ(Probe(proxy.Address().c_str(), "ruvi", "s3cret"), 200);

    // It was the proxy that fetched the server's page, at the server's own
    // port, with that account. The probe closes as soon as it has the
    // status, so squid may log the fetch as aborted (TCP_MISS_ABORTED/200);
    // the status is what counts.
    const std::string log = proxy.WaitForLogLine("GET " + server.url + " ruvi ");
    EXPECT_NE(log.find("/200 "), std::string::npos) << log;
}

TEST_F(ProbeProxyTest, AWrongPasswordGivesTheProxysRefusal) {
    EXPECT_EQ(Probe(proxy.Address().c_str(), "ruvi", "wrong"), 407);
}

TEST_F(ProbeProxyTest, NoAddressOrTextsLongerThanTheirRoomAreRefusedUnsent) {
    // Sent, these would be a wrong account (407) or an unknown proxy host
    // (a platform failure); refused, they give no status at all.
    EXPECT_EQ(Probe(proxy.Address().c_str(), std::string(63, 'u').c_str(), "s3cret"), 407);
    EXPECT_EQ(Probe(proxy.Address().c_str(), std::string(64, 'u').c_str(), "s3cret"), 0);
    EXPECT_EQ(Probe(proxy.Address().c_str(), "ruvi", std::string(64, 'p').c_str()), 0);
    const std::string longAddress = std::string(239, 'h') + ":3128";
    EXPECT_EQ(Probe(longAddress.c_str(), "ruvi", "s3cret"), 0);
    // No proxy at all would be a direct GET, which the server answers.
    EXPECT_EQ(Probe("", "ruvi", "s3cret"), 0);
}

TEST_F(ProbeProxyTest, AnHttpsServerIsReachedThroughTheProxysTunnel) {
    const TlsCertificate certificate = services.MakeTlsCertificate();
    const RuviServer tlsServer =
        services.StartRuviServer(plan.unixPath, RuviServerSettings().Tls(certificate));
    const ScopedTrustedRoot trusted(certificate.caCertDerPath);
    EXPECT_EQ(ProbeProxy(tlsServer.url, proxy.Address().c_str(), "ruvi", "s3cret"), 200);
    const std::string authority = "localhost:" + std::to_string(tlsServer.port);
    const std::string log = proxy.WaitForLogLine("CONNECT " + authority + " ruvi ");
    EXPECT_NE(log.find("TCP_TUNNEL/200"), std::string::npos) << log;
}

TEST(ProxyProbeUrl, IsTheConfiguredServerOrElseTheBuildsDefaultAtTheHttpPort) {
    EXPECT_EQ(ProxyProbeUrl("http://10.1.2.3:8080/RUVServer/"), "http://10.1.2.3:8080/RUVServer/");

    const auto fallback = CrackServerUrl(ProxyProbeUrl(""));
    const auto builtIn = CrackServerUrl(kDefaultServerBaseUrl);
    ASSERT_TRUE(fallback && builtIn);
    EXPECT_EQ(fallback->host, builtIn->host);
    EXPECT_EQ(fallback->object, builtIn->object);
    EXPECT_EQ(fallback->port, INTERNET_DEFAULT_HTTP_PORT);
}

TEST(ProbeProxy, AProxyThatIsNotThereThrowsThePlatformsFailure) {
    const std::string address = "127.0.0.1:" + std::to_string(UnusedLoopbackPort());
    try {
        ProbeProxy(ProxyProbeUrl(""), address.c_str(), "ruvi", "s3cret");
        FAIL() << "a probe through a closed port gave a status";
    } catch (const CInternetError& failure) {
        EXPECT_EQ(failure.Code(), static_cast<DWORD>(ERROR_INTERNET_CANNOT_CONNECT));
    }
}

}  // namespace
