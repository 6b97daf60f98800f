#include "window/set_proxy_svr_dlg.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework/device_context.h"
#include "modal_test_run.h"
#include "resources/resource_ids.h"
#include "skin_test_support.h"

namespace {

constexpr COLORREF kNormalText = RGB(64, 64, 64);
constexpr COLORREF kPlaceholderText = RGB(192, 192, 192);

struct Entered {
    bool useProxy = false;
    std::string address, port, userName, password;
};

class SetProxySvrDlgTest : public ::testing::Test {
protected:
    // Runs the dialog on its own thread; what it hands back after IDOK goes
    // to entered.
    void Show(bool useProxy, std::string address, std::string port, std::string userName = "",
              std::string password = "") {
        run = std::make_unique<CModalTestRun>([=, this] {
            CSetProxySvrDlg dialog(nullptr, "http://127.0.0.1:1/RUVServer/", useProxy, address,
                                   port, userName, password);
            const INT_PTR result = dialog.DoModal();
            entered = {dialog.UseProxy(), dialog.ProxyAddress(), dialog.ProxyPort(),
                       dialog.UserName(), dialog.Password()};
            return result;
        });
        window = run->WaitForWindow();
        ASSERT_NE(window, nullptr);
    }

    void Click(int id) { PostMessageW(GetDlgItem(window, id), BM_CLICK, 0, 0); }

    void Notify(int id, UINT code) {
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, code),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
    }

    // The colours the dialog gives a control when the control asks.
    struct Colours {
        COLORREF text;
        COLORREF background;
        int mode;
    };
    Colours ColoursOf(int id, UINT message) {
        CMemoryDC dc(nullptr);
        SetTextColor(dc.Get(), RGB(1, 2, 3));
        SetBkMode(dc.Get(), TRANSPARENT);
        SendMessageW(window, message, reinterpret_cast<WPARAM>(dc.Get()),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
        return {GetTextColor(dc.Get()), GetBkColor(dc.Get()), GetBkMode(dc.Get())};
    }

    CInstallPathOverride productPath{"RUV", DefaultSkinRoot()};
    std::unique_ptr<CModalTestRun> run;
    HWND window = nullptr;
    Entered entered;
};

TEST_F(SetProxySvrDlgTest, EachButtonEndsTheDialogWithItsOwnResult) {
    Show(false, "", "");
    Click(IDC_PROXY_SECOND_ACTION);
    EXPECT_EQ(run->WaitForResult(), CSetProxySvrDlg::kSecondActionResult);

    Show(false, "", "");
    Click(IDC_CLOSE);
    EXPECT_EQ(run->WaitForResult(), IDCANCEL);

    // With the proxy off, OK closes at once; hints read as empty fields.
    Show(false, "", "8080");
    Click(IDOK);
    EXPECT_EQ(run->WaitForResult(), IDOK);
    EXPECT_FALSE(entered.useProxy);
    EXPECT_EQ(entered.address, "");
    EXPECT_EQ(entered.port, "8080");
    EXPECT_EQ(entered.userName, "");
    EXPECT_EQ(entered.password, "");
}

TEST_F(SetProxySvrDlgTest, HintsAreLightGreyTypedTextDarkGreyAndErrorsRedOnWhite) {
    Show(true, "", "3128", "", "pw");
    EXPECT_EQ(ColoursOf(IDC_PROXY_ADDRESS, WM_CTLCOLOREDIT).text, kPlaceholderText);
    EXPECT_EQ(ColoursOf(IDC_PROXY_PORT, WM_CTLCOLOREDIT).text, kNormalText);
    EXPECT_EQ(ColoursOf(IDC_PROXY_USER, WM_CTLCOLOREDIT).text, kPlaceholderText);
    // A given password starts masked, in the normal colour.
    EXPECT_EQ(ColoursOf(IDC_PROXY_PASSWORD, WM_CTLCOLOREDIT).text, kNormalText);
    EXPECT_EQ(SendDlgItemMessageW(window, IDC_PROXY_PASSWORD, EM_GETPASSWORDCHAR, 0, 0), L'*');

    // Focus in: the hint goes and the colour is the normal one.
    Notify(IDC_PROXY_ADDRESS, EN_SETFOCUS);
    EXPECT_EQ(ColoursOf(IDC_PROXY_ADDRESS, WM_CTLCOLOREDIT).text, kNormalText);
    EXPECT_EQ(GetWindowTextLengthW(GetDlgItem(window, IDC_PROXY_ADDRESS)), 0);
    // Focus out with nothing typed: the hint is back, light grey.
    Notify(IDC_PROXY_ADDRESS, EN_KILLFOCUS);
    EXPECT_EQ(ColoursOf(IDC_PROXY_ADDRESS, WM_CTLCOLOREDIT).text, kPlaceholderText);

    const Colours error = ColoursOf(IDC_PROXY_ERROR_LINE, WM_CTLCOLORSTATIC);
    EXPECT_EQ(error.text, RGB(255, 0, 0));
    EXPECT_EQ(error.background, RGB(255, 255, 255));
    EXPECT_EQ(error.mode, OPAQUE);
    Click(IDC_CLOSE);
    EXPECT_EQ(run->WaitForResult(), IDCANCEL);
}

TEST_F(SetProxySvrDlgTest, ClickingIntoTheErrorLineHandsTheFocusToOk) {
    Show(true, "127.0.0.1", "3128");
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_PROXY_ERROR_LINE, EN_SETFOCUS),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_PROXY_ERROR_LINE)));
    EXPECT_TRUE(WaitUntil([&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        return GetGUIThreadInfo(run->ThreadId(), &info) &&
               info.hwndFocus == GetDlgItem(window, IDOK);
    }));
    Click(IDC_CLOSE);
    EXPECT_EQ(run->WaitForResult(), IDCANCEL);
}

TEST_F(SetProxySvrDlgTest, TheCheckBoxSwitchesTheFieldsAndTheTestButton) {
    Show(false, "", "");
    for (const int id :
         {IDC_PROXY_ADDRESS, IDC_PROXY_PORT, IDC_PROXY_USER, IDC_PROXY_PASSWORD, IDC_PROXY_TEST}) {
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, id))) << id;
    }
    Click(IDC_PROXY_ENABLE);
    // The dialog enables them one after the other on its own thread.
    EXPECT_TRUE(WaitUntil([&] {
        for (const int id : {IDC_PROXY_ADDRESS, IDC_PROXY_PORT, IDC_PROXY_USER, IDC_PROXY_PASSWORD,
                             IDC_PROXY_TEST}) {
            if (!IsWindowEnabled(GetDlgItem(window, id))) return false;
        }
        return true;
    }));
    Click(IDC_CLOSE);
    EXPECT_EQ(run->WaitForResult(), IDCANCEL);
}

}  // namespace
