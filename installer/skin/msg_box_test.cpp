#include "skin/msg_box.h"

#include <gtest/gtest.h>

#include "framework/application.h"
#include "framework/device_context.h"
#include "modal_test_run.h"
#include "resources/resource_ids.h"
#include "skin/load_skin_image.h"
#include "skin_test_support.h"

namespace {

// GBK bytes of "无法连接服务器，是否设置代理服务器？".
constexpr char kPromptGbk[] =
    "\xce\xde\xb7\xa8\xc1\xac\xbd\xd3\xb7\xfe\xce\xf1\xc6\xf7\xa3\xac\xca\xc7\xb7\xf1\xc9\xe8"
    "\xd6\xc3\xb4\xfa\xc0\xed\xb7\xfe\xce\xf1\xc6\xf7\xa3\xbf";

// Routes the program's message boxes through CMsgBox, as the installer does.
class CSkinnedApplication : public CApplication {
public:
    int DoMessageBox(const std::string& prompt, UINT, UINT) override {
        CMsgBox box;
        box.messageText = prompt;
        return static_cast<int>(box.DoModal());
    }

protected:
    bool InitInstance() override { return false; }
};

RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

// A control's place relative to the dialog's top left corner.
RECT PlaceInDialog(HWND dialog, int id) {
    RECT rect = WindowRect(GetDlgItem(dialog, id));
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

COLORREF PixelOf(const CBitmap& picture, int x, int y) {
    CMemoryDC memory(nullptr);
    CSelectObject select(memory.Get(), picture.Get());
    return GetPixel(memory.Get(), x, y);
}

bool IsOwnerDrawn(HWND button) {
    return (GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW;
}

class MsgBoxTest : public ::testing::Test {
protected:
    // Runs a message box on its own thread; the test drives it.
    std::unique_ptr<CModalTestRun> Show(const std::string& text = "OK?") {
        return std::make_unique<CModalTestRun>([text] {
            CMsgBox box;
            box.messageText = text;
            return box.DoModal();
        });
    }

    CInstallPathOverride installPath{"RUV", DefaultSkinRoot()};
};

TEST_F(MsgBoxTest, IsA370By191BoxWithRoundedCornersInTheMiddleOfTheWorkArea) {
    auto run = Show();
    const HWND box = run->WaitForWindow();
    ASSERT_NE(box, nullptr);

    const RECT rect = WindowRect(box);
    EXPECT_EQ(rect.right - rect.left, 370);
    EXPECT_EQ(rect.bottom - rect.top, 191);
    RECT workArea{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    EXPECT_NEAR((rect.left + rect.right) / 2, (workArea.left + workArea.right) / 2, 1);
    EXPECT_NEAR((rect.top + rect.bottom) / 2, (workArea.top + workArea.bottom) / 2, 1);

    const CRgn region(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetWindowRgn(box, region.Get()), COMPLEXREGION);
    RECT bounds{};
    GetRgnBox(region.Get(), &bounds);
    EXPECT_EQ(bounds.left, 0);
    EXPECT_EQ(bounds.top, 0);
    EXPECT_GE(bounds.right, 369);
    EXPECT_LE(bounds.right, 370);
    EXPECT_GE(bounds.bottom, 190);
    EXPECT_LE(bounds.bottom, 191);
    for (const POINT corner : {POINT{0, 0}, POINT{368, 0}, POINT{0, 189}, POINT{368, 189}}) {
        EXPECT_FALSE(PtInRegion(region.Get(), corner.x, corner.y)) << corner.x << "," << corner.y;
    }
    for (const POINT edge : {POINT{185, 0}, POINT{0, 95}, POINT{368, 95}, POINT{185, 189},
                             POINT{5, 5}, POINT{185, 95}}) {
        EXPECT_TRUE(PtInRegion(region.Get(), edge.x, edge.y)) << edge.x << "," << edge.y;
    }

    const LONG_PTR style = GetWindowLongPtrW(box, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, 0);
    EXPECT_NE(style & WS_MINIMIZEBOX, 0);
}

TEST_F(MsgBoxTest, ShowsTheTextWithTheDialogFontAndLaysOutItsControls) {
    auto run = Show("无法连接服务器，是否设置代理服务器？");
    const HWND box = run->WaitForWindow();
    ASSERT_NE(box, nullptr);

    const HWND text = GetDlgItem(box, IDC_MSGBOX_TEXT);
    char gbk[128] = {};
    GetWindowTextA(text, gbk, sizeof(gbk));
    EXPECT_STREQ(gbk, kPromptGbk);

    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(text, WM_GETFONT, 0, 0)), sizeof(font), &font);
    EXPECT_EQ(font.lfHeight, 20);
    EXPECT_EQ(font.lfWeight, 900);
    EXPECT_STREQ(font.lfFaceName, L"微软雅黑");

    const RECT ok = PlaceInDialog(box, IDOK);
    EXPECT_EQ(ok.left, 66);
    EXPECT_EQ(ok.top, 120);
    EXPECT_EQ(ok.right - ok.left, 99);
    EXPECT_EQ(ok.bottom - ok.top, 30);
    const RECT cancel = PlaceInDialog(box, IDCANCEL);
    EXPECT_EQ(cancel.left, 203);
    EXPECT_EQ(cancel.top, 119);
    const RECT message = PlaceInDialog(box, IDC_MSGBOX_TEXT);
    EXPECT_EQ(message.left, 30);
    EXPECT_EQ(message.top, 50);
    EXPECT_EQ(message.right - message.left, 300);
}

TEST_F(MsgBoxTest, AnswersOkOrCancelWhateverButtonsTheCallerAskedFor) {
    CSkinnedApplication application;
    for (const int button : {IDOK, IDCANCEL}) {
        CModalTestRun run([] { return AppMessageBox(kPromptGbk, MB_YESNO | MB_ICONQUESTION); });
        const HWND box = run.WaitForWindow();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(GetDlgItem(box, IDYES), nullptr);
        EXPECT_EQ(GetDlgItem(box, IDNO), nullptr);
        SendMessageW(GetDlgItem(box, button), BM_CLICK, 0, 0);
        EXPECT_EQ(run.WaitForResult(), button);
    }
}

TEST_F(MsgBoxTest, EscapeDoesNothingAndEnterPressesOk) {
    auto run = Show();
    ASSERT_NE(run->WaitForWindow(), nullptr);
    // Keys are handled in order: had Escape closed the box, the answer would be 2.
    run->PressKey(VK_ESCAPE);
    run->PressKey(VK_RETURN);
    EXPECT_EQ(run->WaitForResult(), IDOK);
}

TEST_F(MsgBoxTest, DraggingTheBackgroundMovesTheBox) {
    auto run = Show();
    const HWND box = run->WaitForWindow();
    ASSERT_NE(box, nullptr);
    const RECT before = WindowRect(box);
    const LPARAM onBackground = MAKELPARAM(before.left + 20, before.top + 100);
    EXPECT_EQ(SendMessageW(box, WM_NCHITTEST, 0, onBackground), HTCAPTION);
    const LPARAM outside = MAKELPARAM(before.right + 5, before.bottom + 5);
    EXPECT_NE(SendMessageW(box, WM_NCHITTEST, 0, outside), HTCAPTION);

    // A real drag: press on the background, move, release.
    const auto mouse = [](DWORD flags, int x, int y) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
        input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
        SendInput(1, &input, sizeof(input));
    };
    const int x = before.left + 20;
    const int y = before.top + 100;
    mouse(0, x, y);
    mouse(MOUSEEVENTF_LEFTDOWN, x, y);
    // The move loop measures from where the pointer is when it starts, and
    // ends at the release whatever moves it has not taken yet: on a busy
    // machine each step waits for the loop.
    const DWORD boxThread = GetWindowThreadProcessId(box, nullptr);
    const auto inMoveLoop = [&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(boxThread, &info) && (info.flags & GUI_INMOVESIZE) != 0;
    };
    const auto movedBy = [&](int dx, int dy) {
        const RECT now = WindowRect(box);
        return now.left == before.left + dx && now.top == before.top + dy;
    };
    ASSERT_TRUE(WaitUntil(inMoveLoop)) << "no move loop";
    for (int step = 1; step <= 4; ++step) {
        mouse(0, x + 15 * step, y + 10 * step);
        ASSERT_TRUE(WaitUntil([&] { return movedBy(15 * step, 10 * step); }))
            << "step " << step << ": the box is at " << WindowRect(box).left << ","
            << WindowRect(box).top;
    }
    mouse(MOUSEEVENTF_LEFTUP, x + 60, y + 40);
    EXPECT_TRUE(WaitUntil([&] { return !inMoveLoop(); }));
    EXPECT_TRUE(movedBy(60, 40));
}

TEST_F(MsgBoxTest, PaintsItsPicturesAsTheSkinHasThem) {
    auto run = Show("无法连接服务器，是否设置代理服务器？");
    const HWND box = run->WaitForWindow();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(IsOwnerDrawn(GetDlgItem(box, IDOK)));
    EXPECT_TRUE(IsOwnerDrawn(GetDlgItem(box, IDCANCEL)));
    RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);

    // The screen shows the background 1:1 and the OK button's normal picture.
    const std::string folder = DefaultSkinRoot() + "skin\\MsgBox\\";
    const CBitmap background = LoadSkinImage(folder + "0.png");
    const CBitmap okPicture = LoadSkinImage(folder + "B1.png");
    ASSERT_TRUE(background);
    ASSERT_TRUE(okPicture);
    const COLORREF header = PixelOf(background, 200, 20);
    const COLORREF body = PixelOf(background, 20, 170);
    const COLORREF okFace = PixelOf(okPicture, 10, 15);

    EXPECT_TRUE(WaitUntil([&] {
        const CWindowPixels screen(box);
        return Near(screen.At(200, 20), header, 2) && Near(screen.At(20, 170), body, 2) &&
               Near(screen.At(66 + 10, 120 + 15), okFace, 2);
    }));
    SaveScreenshot("msg_box.png", box);
}

class MsgBoxSkinFailureTest : public ::testing::Test {
protected:
    CTempFolder root;
};

TEST_F(MsgBoxSkinFailureTest, MissingFifthPictureLeavesOnlyThatButtonStandard) {
    CopyDefaultSkin(root.Path(), {"MsgBox\\B1_Disable.png"});
    CInstallPathOverride installPath("RUV", root.Path());
    CModalTestRun run([] {
        CMsgBox box;
        return box.DoModal();
    });
    const HWND box = run.WaitForWindow();
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(IsOwnerDrawn(GetDlgItem(box, IDOK)));
    EXPECT_TRUE(IsOwnerDrawn(GetDlgItem(box, IDCANCEL)));
    SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(run.WaitForResult(), IDOK);
}

TEST_F(MsgBoxSkinFailureTest, MissingBackgroundStillRunsOnAPlainSurface) {
    CopyDefaultSkin(root.Path(), {"MsgBox\\0.png"});
    CInstallPathOverride installPath("RUV", root.Path());
    CModalTestRun run([] {
        CMsgBox box;
        box.messageText = kPromptGbk;
        return box.DoModal();
    });
    const HWND box = run.WaitForWindow();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(IsOwnerDrawn(GetDlgItem(box, IDCANCEL)));
    EXPECT_TRUE(WaitUntil(
        [&] { return Near(CWindowPixels(box).At(200, 20), GetSysColor(COLOR_BTNFACE), 2); }));
    SendMessageW(GetDlgItem(box, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_EQ(run.WaitForResult(), IDCANCEL);
}

TEST_F(MsgBoxSkinFailureTest, WithoutAnInstallFolderTheSkinIsLookedForInTheCurrentFolder) {
    CopyDefaultSkin(root.Path(), {});
    CInstallPathOverride installPath("RUV", std::nullopt);
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryA(root.Path().c_str());
    CModalTestRun run([] {
        CMsgBox box;
        return box.DoModal();
    });
    const HWND box = run.WaitForWindow();
    SetCurrentDirectoryW(previous);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(IsOwnerDrawn(GetDlgItem(box, IDOK)));
    EXPECT_TRUE(IsOwnerDrawn(GetDlgItem(box, IDCANCEL)));
}

}  // namespace
