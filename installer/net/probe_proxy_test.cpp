#include "net/probe_proxy.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <wininet.h>

#include <string>

#include "minimal_plan.h"
#include "net/internet_error.h"
#include "test_services.h"

namespace {

// A ruvi-server behind a squid that sends it everything: the probe's URL is
// fixed at build time and names no port of ours.
class ProbeProxyTest : public ::testing::Test {
protected:
    SharedFolder PlanFolder() {
        SharedFolder folder = services.MakeSharedFolder();
        folder.WriteFile("plan.xml", kMinimalPlanXml);
        return folder;
    }

    TestServices services;
    SharedFolder plan = PlanFolder();
    RuviServer server = services.StartRuviServer(plan.unixPath);
    SquidProxy proxy = services.StartSquid("ruvi", "s3cret", server.port);
};

TEST_F(ProbeProxyTest, AnAccountedProxyGivesTheServersOk) {
    EXPECT_EQ(ProbeProxy(proxy.Address().c_str(), "ruvi", "s3cret"), 200);

    // It was the proxy that fetched the default page, with that account.
    const std::string log =
        proxy.WaitForLogLine("GET " + std::string(kDefaultServerBaseUrl) + " ruvi ");
    EXPECT_NE(log.find("TCP_MISS/200"), std::string::npos) << log;
}

TEST_F(ProbeProxyTest, AWrongPasswordGivesTheProxysRefusal) {
    EXPECT_EQ(ProbeProxy(proxy.Address().c_str(), "ruvi", "wrong"), 407);
}

TEST_F(ProbeProxyTest, NoAddressOrTextsLongerThanTheirRoomAreRefusedUnsent) {
    // Sent, these would be a wrong account (407) or an unknown proxy host
    // (a platform failure); refused, they give no status at all.
    EXPECT_EQ(ProbeProxy(proxy.Address().c_str(), std::string(63, 'u').c_str(), "s3cret"), 407);
    EXPECT_EQ(ProbeProxy(proxy.Address().c_str(), std::string(64, 'u').c_str(), "s3cret"), 0);
    EXPECT_EQ(ProbeProxy(proxy.Address().c_str(), "ruvi", std::string(64, 'p').c_str()), 0);
    const std::string longAddress = std::string(239, 'h') + ":3128";
    EXPECT_EQ(ProbeProxy(longAddress.c_str(), "ruvi", "s3cret"), 0);
    // No proxy at all would be a direct GET, to a port where nothing listens.
    EXPECT_EQ(ProbeProxy("", "ruvi", "s3cret"), 0);
}

TEST(ProbeProxy, AProxyThatIsNotThereThrowsThePlatformsFailure) {
    const std::string address = "127.0.0.1:" + std::to_string(UnusedLoopbackPort());
    try {
        ProbeProxy(address.c_str(), "ruvi", "s3cret");
        FAIL() << "a probe through a closed port gave a status";
    } catch (const CInternetError& failure) {
        EXPECT_EQ(failure.Code(), static_cast<DWORD>(ERROR_INTERNET_CANNOT_CONNECT));
    }
}

}  // namespace
