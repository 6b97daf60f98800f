#include "framework/dialog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <stdexcept>
#include <string>

#include "framework/application.h"
#include "framework/data_exchange.h"
#include "framework_test_ids.h"
#include "modal_test_run.h"

namespace {

// Counts the draw requests that the dialog hands back to the control.
class CDrawnButton : public CSubclassedWindow {
public:
    std::atomic<int> draws{0};

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kReflectedDrawItem) {
            ++draws;
            return TRUE;
        }
        return CSubclassedWindow::WindowProc(message, wParam, lParam);
    }
};

class CTestDialog : public CDialog {
public:
    CTestDialog() : CDialog(IDD_FRAMEWORK_TEST, nullptr) {}

    std::string name;
    int checked = 0;
    CWindow nameEdit;
    CDrawnButton drawn;
    bool swallowEnter = false;
    std::function<void(CTestDialog&)> afterInit;

protected:
    void DoDataExchange(CDataExchange& exchange) override {
        DdxControl(exchange, IDC_TEST_NAME, nameEdit);
        DdxControl(exchange, IDC_TEST_DRAWN, drawn);
        DdxText(exchange, IDC_TEST_NAME, name);
        DdxCheck(exchange, IDC_TEST_CHECK, checked);
    }
    BOOL OnInitDialog() override {
        const BOOL result = CDialog::OnInitDialog();
        if (afterInit) afterInit(*this);
        return result;
    }
    bool PreTranslateMessage(MSG& message) override {
        return swallowEnter && message.message == WM_KEYDOWN && message.wParam == VK_RETURN;
    }
};

class CTestApplication : public CApplication {
protected:
    bool InitInstance() override { return false; }
};

std::wstring TextOf(HWND window) {
    wchar_t buffer[256] = {};
    GetWindowTextW(window, buffer, 256);
    return buffer;
}

POINT CentreOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

TEST(DialogDataExchange, FillsTheControlsAndTakesTheirValuesBackOnOk) {
    CTestDialog dialog;
    dialog.name = "代理服务器地址";
    dialog.checked = BST_CHECKED;
    CModalTestRun run([&] { return dialog.DoModal(); });
    const HWND window = run.WaitForWindow();
    ASSERT_NE(window, nullptr);

    const HWND edit = GetDlgItem(window, IDC_TEST_NAME);
    const HWND check = GetDlgItem(window, IDC_TEST_CHECK);
    EXPECT_EQ(TextOf(edit), L"代理服务器地址");
    EXPECT_EQ(SendMessageW(check, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(dialog.nameEdit.hwnd, edit);

    SetWindowTextW(edit, L"用户名 x");
    SendMessageW(check, BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageW(GetDlgItem(window, IDOK), BM_CLICK, 0, 0);

    EXPECT_EQ(run.WaitForResult(), IDOK);
    EXPECT_EQ(dialog.name, "\xd3\xc3\xbb\xa7\xc3\xfb x");  // GBK
    EXPECT_EQ(dialog.checked, BST_UNCHECKED);
}

TEST(DialogDataExchange, CancelLeavesTheMembersAsTheyWere) {
    CTestDialog dialog;
    dialog.name = "8080";
    CModalTestRun run([&] { return dialog.DoModal(); });
    const HWND window = run.WaitForWindow();
    ASSERT_NE(window, nullptr);
    SetWindowTextW(GetDlgItem(window, IDC_TEST_NAME), L"9090");
    SendMessageW(GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);

    EXPECT_EQ(run.WaitForResult(), IDCANCEL);
    EXPECT_EQ(dialog.name, "8080");
}

TEST(DialogControls, OwnerDrawnControlPaintsItselfAndIsReleasedWithItsWindow) {
    CTestDialog dialog;
    CModalTestRun run([&] { return dialog.DoModal(); });
    const HWND window = run.WaitForWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(dialog.drawn.hwnd, GetDlgItem(window, IDC_TEST_DRAWN));
    EXPECT_TRUE(WaitUntil([&] { return dialog.drawn.draws > 0; }));

    SendMessageW(GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_EQ(run.WaitForResult(), IDCANCEL);
    EXPECT_EQ(dialog.drawn.hwnd, nullptr);
    EXPECT_EQ(dialog.hwnd, nullptr);
}

TEST(DialogControls, EachRunOfTheSameDialogBindsItsOwnControls) {
    CTestDialog dialog;
    for (int run = 0; run < 2; ++run) {
        CModalTestRun modal([&] { return dialog.DoModal(); });
        const HWND window = modal.WaitForWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(dialog.nameEdit.hwnd, GetDlgItem(window, IDC_TEST_NAME)) << run;
        EXPECT_EQ(dialog.drawn.hwnd, GetDlgItem(window, IDC_TEST_DRAWN)) << run;
        SendMessageW(GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
        EXPECT_EQ(modal.WaitForResult(), IDCANCEL);
        EXPECT_EQ(dialog.nameEdit.hwnd, nullptr);
    }
}

TEST(DialogKeyboard, EnterPressesTheDefaultButton) {
    CTestDialog dialog;
    CModalTestRun run([&] { return dialog.DoModal(); });
    ASSERT_NE(run.WaitForWindow(), nullptr);
    run.PressKey(VK_RETURN);
    EXPECT_EQ(run.WaitForResult(), IDOK);
}

TEST(DialogKeyboard, PreTranslationSeesKeysBeforeTheDialogManager) {
    CTestDialog dialog;
    dialog.swallowEnter = true;
    CModalTestRun run([&] { return dialog.DoModal(); });
    ASSERT_NE(run.WaitForWindow(), nullptr);
    // Keys arrive in order: had Enter got through, the result would be IDOK.
    run.PressKey(VK_RETURN);
    run.PressKey(VK_ESCAPE);
    EXPECT_EQ(run.WaitForResult(), IDCANCEL);
}

TEST(DialogFailure, ExceptionFromAHandlerEndsTheDialogAndLeavesDoModal) {
    CTestDialog dialog;
    dialog.afterInit = [](CTestDialog&) { throw std::runtime_error("init failed"); };
    CModalTestRun run([&]() -> INT_PTR {
        try {
            dialog.DoModal();
        } catch (const std::runtime_error& error) {
            return std::string(error.what()) == "init failed" ? 77 : 0;
        }
        return 0;
    });
    EXPECT_EQ(run.WaitForResult(), 77);
    EXPECT_EQ(dialog.hwnd, nullptr);
}

TEST(DialogPlacement, ApplicationMainWindowOwnsADialogWithoutParentWhileItRuns) {
    CTestApplication application;
    CWindow mainWindow;
    std::atomic<bool> enabledAfterwards{false};
    CTestDialog dialog;
    CModalTestRun run([&]() -> INT_PTR {
        mainWindow.Attach(CreateWindowExW(0, L"STATIC", L"main", WS_POPUP | WS_VISIBLE, 40, 60, 500,
                                          400, nullptr, nullptr, nullptr, nullptr));
        application.SetMainWindow(&mainWindow);
        const INT_PTR result = dialog.DoModal();
        enabledAfterwards = IsWindowEnabled(mainWindow.hwnd) != FALSE;
        application.SetMainWindow(nullptr);
        DestroyWindow(mainWindow.hwnd);
        return result;
    });
    WaitUntil([&] { return dialog.hwnd != nullptr && IsWindowVisible(dialog.hwnd); });
    const HWND window = dialog.hwnd;
    ASSERT_NE(window, nullptr);

    EXPECT_EQ(GetWindow(window, GW_OWNER), mainWindow.hwnd);
    EXPECT_FALSE(IsWindowEnabled(mainWindow.hwnd));

    SendMessageW(GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_EQ(run.WaitForResult(), IDCANCEL);
    EXPECT_TRUE(enabledAfterwards);
}

TEST(DialogPlacement, CentringUsesTheWorkArea) {
    CTestDialog dialog;
    dialog.afterInit = [](CTestDialog& self) { self.CenterWindow(); };
    CModalTestRun run([&] { return dialog.DoModal(); });
    const HWND window = run.WaitForWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);

    RECT workArea{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    const POINT centre = CentreOf(window);
    EXPECT_NEAR(centre.x, (workArea.left + workArea.right) / 2, 1);
    EXPECT_NEAR(centre.y, (workArea.top + workArea.bottom) / 2, 1);
}

}  // namespace
