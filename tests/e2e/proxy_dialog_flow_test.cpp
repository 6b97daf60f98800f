// The proxy settings dialog, reached the way a user reaches it: the server
// cannot be used, the prompt is answered with OK.
#include <gtest/gtest.h>

#include "installer_flow.h"
#include "operation_test_support.h"
#include "resources/resource_ids.h"

using ops_test::Utf8;
using ops_test::WaitUntil;

namespace {

const std::string kAddressPlaceholder = "\xb4\xfa\xc0\xed\xb7\xfe\xce\xf1\xc6\xf7\xb5\xd8\xd6\xb7";
const std::string kPasswordPlaceholder = "\xd3\xc3\xbb\xa7\xc3\xdc\xc2\xeb";
const std::string kAddressMissing = "\xb7\xfe\xce\xf1\x49\x50\xb2\xbb\xb5\xc3\xce\xaa\xbf\xd5";
const std::string kPortInvalid = "\xb6\xcb\xbf\xda\xba\xc5\xb4\xed\xce\xf3";
const std::string kConnected = "\xc1\xac\xbd\xd3\xb3\xc9\xb9\xa6\xa3\xa1";
const std::string k407 =
    "\xc1\xac\xbd\xd3\xca\xa7\xb0\xdc\xa3\xa1\xb4\xed\xce\xf3\xc2\xeb\xa3\xba\x34\x30\x37";

class ProxyDialogFlowTest : public InstallerFlowTest {
protected:
    // Starts the installer against no server and opens the dialog.
    HWND OpenDialog() {
        configuredUrl = ConfigureUnreachableServer();
        Start();
        const HWND box = MessageBox();
        if (box == nullptr || !control::Click(box, IDOK)) return nullptr;
        return ProxyDialog();
    }

    // Types text into an edit the way the dialog sees it: focus in, new
    // text, focus out.
    static void Enter(HWND dialog, int id, const std::string& text) {
        control::NotifyFocus(dialog, id, true);
        control::SetText(dialog, id, text);
        control::NotifyFocus(dialog, id, false);
    }

    // Presses Test and waits until the error line reads as expected.
    static bool TestShows(HWND dialog, const std::string& error) {
        control::SetText(dialog, IDC_PROXY_ERROR_LINE, "-");
        if (!control::Click(dialog, IDC_PROXY_TEST)) return false;
        return WaitUntil([&] { return control::Text(dialog, IDC_PROXY_ERROR_LINE) == error; });
    }

    static void SwitchProxyOn(HWND dialog) {
        if (!control::Checked(dialog, IDC_PROXY_ENABLE)) control::Click(dialog, IDC_PROXY_ENABLE);
        WaitUntil([&] { return control::Enabled(dialog, IDC_PROXY_PASSWORD); });
    }

    std::string configuredUrl;  // the server RUVI.config names
};

TEST_F(ProxyDialogFlowTest, FieldsShowHintsLoseTheirBlanksAndMaskThePassword) {
    const HWND dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    SwitchProxyOn(dialog);

    control::NotifyFocus(dialog, IDC_PROXY_ADDRESS, true);
    EXPECT_EQ(control::Text(dialog, IDC_PROXY_ADDRESS), "");
    control::SetText(dialog, IDC_PROXY_ADDRESS, " 127.0. 0.1 ");
    control::NotifyFocus(dialog, IDC_PROXY_ADDRESS, false);
    EXPECT_EQ(control::Text(dialog, IDC_PROXY_ADDRESS), "127.0.0.1");

    Enter(dialog, IDC_PROXY_PASSWORD, "secret");
    EXPECT_EQ(control::PasswordChar(dialog, IDC_PROXY_PASSWORD), L'*');
    Enter(dialog, IDC_PROXY_PASSWORD, "  ");
    EXPECT_EQ(control::Text(dialog, IDC_PROXY_PASSWORD), kPasswordPlaceholder);
    EXPECT_EQ(control::PasswordChar(dialog, IDC_PROXY_PASSWORD), L'\0');

    Enter(dialog, IDC_PROXY_ADDRESS, "");
    EXPECT_EQ(control::Text(dialog, IDC_PROXY_ADDRESS), kAddressPlaceholder);
    EXPECT_TRUE(TestShows(dialog, kAddressMissing));
}

TEST_F(ProxyDialogFlowTest, PortsOutsideOneTo65535AreRefusedAndTrailingLettersIgnored) {
    const HWND dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    SwitchProxyOn(dialog);
    Enter(dialog, IDC_PROXY_ADDRESS, "127.0.0.1");

    for (const char* port : {"0", "65536", "abc"}) {
        Enter(dialog, IDC_PROXY_PORT, port);
        EXPECT_TRUE(TestShows(dialog, kPortInvalid)) << port;
    }
    // Accepted as 1: the test goes out and fails for another reason.
    Enter(dialog, IDC_PROXY_PORT, "1x");
    control::SetText(dialog, IDC_PROXY_ERROR_LINE, "-");
    ASSERT_TRUE(control::Click(dialog, IDC_PROXY_TEST));
    ASSERT_TRUE(WaitUntil([&] {
        const std::string error = control::Text(dialog, IDC_PROXY_ERROR_LINE);
        return error != "-" && !error.empty();
    }));
    EXPECT_NE(control::Text(dialog, IDC_PROXY_ERROR_LINE), kPortInvalid);
    Screenshot("refused", dialog);
}

TEST_F(ProxyDialogFlowTest, WithTheProxyOffOkClosesAtOnceAndTheEditsAreDisabled) {
    const HWND dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_FALSE(control::Checked(dialog, IDC_PROXY_ENABLE));
    for (const int id :
         {IDC_PROXY_ADDRESS, IDC_PROXY_PORT, IDC_PROXY_USER, IDC_PROXY_PASSWORD, IDC_PROXY_TEST}) {
        EXPECT_FALSE(control::Enabled(dialog, id)) << id;
    }
    ASSERT_TRUE(control::Click(dialog, IDOK));
    // Back to a new attempt, which fails again.
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    ASSERT_NE(MessageBox(), nullptr);
}

TEST_F(ProxyDialogFlowTest, ARealProxyCarriesTheNextExchangeAndTheLogNamesTheFailureButNoSecret) {
    plan.Write(
        PlanDocument(UserCheck("Admin") + SetupRun("Setup", "missing.exe", "Block=\"true\"")));
    server.emplace(services.StartRuviServer(plan.Shared().unixPath));
    const SquidProxy proxy = services.StartSquid("proxyaccount", "s3cret", server->port);
    const HWND dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    SwitchProxyOn(dialog);
    const std::string address = proxy.Address();
    Enter(dialog, IDC_PROXY_ADDRESS, address.substr(0, address.find(':')));
    Enter(dialog, IDC_PROXY_PORT, address.substr(address.find(':') + 1));
    Enter(dialog, IDC_PROXY_USER, "proxyaccount");

    // A wrong password: the proxy's 407, and OK does not close the dialog.
    Enter(dialog, IDC_PROXY_PASSWORD, "wrong");
    EXPECT_TRUE(TestShows(dialog, k407));
    control::SetText(dialog, IDC_PROXY_ERROR_LINE, "-");
    ASSERT_TRUE(control::Click(dialog, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return control::Text(dialog, IDC_PROXY_ERROR_LINE) == k407; }));
    EXPECT_TRUE(IsWindowVisible(dialog));
    Screenshot("407", dialog);

    Enter(dialog, IDC_PROXY_PASSWORD, "s3cret");
    EXPECT_TRUE(TestShows(dialog, std::string(61, ' ')));
    EXPECT_EQ(control::Text(dialog, IDC_PROXY_SUCCESS_LINE), kConnected);
    EXPECT_TRUE(control::Enabled(dialog, IDC_PROXY_SUCCESS_LINE));
    // The test asked for the configured server's page, not the build's.
    EXPECT_NE(proxy.WaitForLogLine("GET " + configuredUrl + " proxyaccount "), "");

    // OK: the next exchange goes through the proxy, which hands it (as it
    // handed the test) to the server that RUVI.config does not name, and the
    // window opens.
    ASSERT_TRUE(control::Click(dialog, IDOK));
    const HWND window = MainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_NE(proxy.WaitForLogLine("ruvinstall"), "");

    // The setup run fails and blocks; Exit ends the program, and its log
    // tells which operation failed and why, and the proxy's address only.
    ASSERT_TRUE(WaitForRunEnd(window));
    ASSERT_TRUE(control::Click(window, IDC_EXIT));
    ASSERT_TRUE(installer->WaitForExit());
    const std::string log = InstallLog();
    SaveArtefact("install.log", log);
    EXPECT_NE(log.find("operation-end label=\"Setup\" kind=\"CSetupRun\" code=501 message=\"" +
                       Utf8(u8"找不到可以运行的程序") + "\""),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("proxy source=\"dialog\" enabled=yes host=\"" +
                       address.substr(0, address.find(':')) + "\" port=\"" +
                       address.substr(address.find(':') + 1) + "\""),
              std::string::npos)
        << log;
    EXPECT_NE(log.find(" close during-run=no"), std::string::npos) << log;
    for (const char* secret : {"s3cret", "wrong", "proxyaccount"}) {
        EXPECT_EQ(log.find(secret), std::string::npos) << secret << "\n" << log;
    }
}

}  // namespace
