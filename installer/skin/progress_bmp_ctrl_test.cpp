#include "skin/progress_bmp_ctrl.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>
#include <vector>

#include "modal_test_run.h"
#include "platform/text_conversion.h"
#include "platform/unique_window.h"
#include "skin_test_support.h"

namespace {

constexpr int kBarWidth = 200;
constexpr int kBarHeight = 20;  // thickness 20: the line runs from x 10 to x 190 on row 10
constexpr int kRow = 10;
constexpr COLORREF kParent = RGB(250, 0, 250);
constexpr COLORREF kDefaultFill = RGB(0, 100, 55);
constexpr COLORREF kTrackPicture = RGB(0, 160, 0);
constexpr COLORREF kFirstFrame = RGB(210, 0, 0);
constexpr COLORREF kSecondFrame = RGB(0, 0, 210);
constexpr UINT_PTR kAnimationTimer = 12345;

// A top-level window painted in one colour, standing in for the dialog
// behind the bar.
class CHostWindow {
public:
    CHostWindow(int width, int height, COLORREF colour) : brush_(CreateSolidBrush(colour)) {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = HostProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"RuviTestHost";
        RegisterClassW(&windowClass);  // fails harmlessly from the second host on
        window_.Reset(CreateWindowExW(0, L"RuviTestHost", L"", WS_POPUP, 40, 40, width, height,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
        SetWindowLongPtrW(window_.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(brush_.Get()));
        ShowWindow(window_.Get(), SW_SHOWNOACTIVATE);
    }

    // A static control at (x, y), as a dialog template would hold it.
    HWND AddStatic(int x, int y, int width, int height) {
        return CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_BITMAP, x, y, width,
                               height, window_.Get(), nullptr, nullptr, nullptr);
    }
    void Repaint() {
        RedrawWindow(window_.Get(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    HWND Get() const { return window_.Get(); }

private:
    static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != WM_ERASEBKGND) return DefWindowProcW(window, message, wParam, lParam);
        RECT client{};
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client,
                 reinterpret_cast<HBRUSH>(GetWindowLongPtrW(window, GWLP_USERDATA)));
        return 1;
    }

    CBrush brush_;
    UniqueWindow window_;
};

std::unique_ptr<Gdiplus::Bitmap> SolidImage(COLORREF colour) {
    auto image = std::make_unique<Gdiplus::Bitmap>(8, 4, PixelFormat24bppRGB);
    Gdiplus::Graphics graphics(image.get());
    graphics.Clear(Gdiplus::Color(255, GetRValue(colour), GetGValue(colour), GetBValue(colour)));
    return image;
}

// Counts the WM_PAINT messages that reach a window, before its own handling.
class CPaintCounter {
public:
    explicit CPaintCounter(HWND window) : window_(window) {
        SetWindowSubclass(window_, Count, 0, reinterpret_cast<DWORD_PTR>(this));
    }
    ~CPaintCounter() { RemoveWindowSubclass(window_, Count, 0); }
    CPaintCounter(const CPaintCounter&) = delete;
    CPaintCounter& operator=(const CPaintCounter&) = delete;

    int paints = 0;

private:
    static LRESULT CALLBACK Count(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR self) {
        if (message == WM_PAINT) ++reinterpret_cast<CPaintCounter*>(self)->paints;
        return DefSubclassProc(window, message, wParam, lParam);
    }

    HWND window_;
};

void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

class ProgressBmpCtrlTest : public ::testing::Test {
protected:
    ProgressBmpCtrlTest() {
        bar.SubclassWindow(host.AddStatic(20, 20, kBarWidth, kBarHeight));
        bar.SetShowText(false);
    }

    CWindowPixels Screen() {
        host.Repaint();
        return CWindowPixels(bar.hwnd);
    }

    CGdiplusSession gdiplus;
    CHostWindow host{kBarWidth + 40, kBarHeight + 40, kParent};
    CProgressBmpCtrl bar;
};

TEST_F(ProgressBmpCtrlTest, PositionIsClampedToTheRangeWhichItselfIsStoredAsGiven) {
    bar.SetRange(0, 100);
    bar.SetPos(150);
    EXPECT_EQ(bar.GetPos(), 100);
    bar.SetPos(-5);
    EXPECT_EQ(bar.GetPos(), 0);
    bar.SetRange(10, 20);
    EXPECT_EQ(bar.GetPos(), 0);
    EXPECT_EQ(bar.GetMinimum(), 10);
    EXPECT_EQ(bar.GetMaximum(), 20);
}

TEST_F(ProgressBmpCtrlTest, AnswersTheProgressBarsPositionQuery) {
    bar.SetPos(37);
    EXPECT_EQ(SendMessageW(bar.hwnd, PBM_GETPOS, 0, 0), 37);
}

TEST_F(ProgressBmpCtrlTest, FillLengthFollowsThePositionWithinTheRange) {
    const COLORREF track = GetSysColor(COLOR_BTNFACE);
    bar.SetPos(0);
    CWindowPixels empty = Screen();
    EXPECT_TRUE(IsNear(empty.At(12, kRow), track));
    EXPECT_TRUE(IsNear(empty.At(100, kRow), track));

    bar.SetPos(50);  // ends at 10 + 50 * 180 / 100 = 100
    CWindowPixels half = Screen();
    EXPECT_TRUE(IsNear(half.At(12, kRow), kDefaultFill));
    EXPECT_TRUE(IsNear(half.At(97, kRow), kDefaultFill));
    EXPECT_TRUE(IsNear(half.At(103, kRow), track));

    bar.SetPos(100);
    CWindowPixels full = Screen();
    EXPECT_TRUE(IsNear(full.At(187, kRow), kDefaultFill));
    EXPECT_TRUE(IsNear(full.At(193, kRow), kParent));  // the right margin shows the dialog
    EXPECT_TRUE(IsNear(full.At(7, kRow), kParent));    // so does the left one
}

TEST_F(ProgressBmpCtrlTest, RangeWithoutSpanFillsTheWholeTrack) {
    bar.SetRange(5, 5);
    bar.SetPos(5);
    CWindowPixels pixels = Screen();
    EXPECT_TRUE(IsNear(pixels.At(12, kRow), kDefaultFill));
    EXPECT_TRUE(IsNear(pixels.At(187, kRow), kDefaultFill));
}

TEST_F(ProgressBmpCtrlTest, PicturesTextureTrackAndFill) {
    const auto track = SolidImage(kTrackPicture);
    const auto frame = SolidImage(kFirstFrame);
    bar.SetTrackImage(*track);
    bar.AddFrame(*frame);
    bar.SetPos(50);
    CWindowPixels pixels = Screen();
    EXPECT_TRUE(IsNear(pixels.At(50, kRow), kFirstFrame));
    EXPECT_TRUE(IsNear(pixels.At(150, kRow), kTrackPicture));
    EXPECT_TRUE(IsNear(pixels.At(150, 0), kTrackPicture));  // stretched to the full thickness
    EXPECT_TRUE(IsNear(pixels.At(150, kBarHeight - 1), kTrackPicture));
}

TEST_F(ProgressBmpCtrlTest, TimerTicksStepThroughTheFramesAndWrap) {
    bar.AddFrame(*SolidImage(kFirstFrame));
    bar.AddFrame(*SolidImage(kSecondFrame));
    bar.SetPos(100);
    EXPECT_TRUE(IsNear(Screen().At(50, kRow), kFirstFrame));
    bar.StartAnimation();

    // The test sends the ticks itself (its queue is not pumped here, so the
    // real timer does not interfere); each tick repaints at once.
    const COLORREF expected[] = {kSecondFrame, kFirstFrame, kSecondFrame};
    for (const COLORREF colour : expected) {
        SendMessageW(bar.hwnd, WM_TIMER, kAnimationTimer, 0);
        EXPECT_TRUE(IsNear(CWindowPixels(bar.hwnd).At(50, kRow), colour));
    }
    // Another timer's tick repaints but does not step.
    SendMessageW(bar.hwnd, WM_TIMER, kAnimationTimer + 1, 0);
    EXPECT_TRUE(IsNear(CWindowPixels(bar.hwnd).At(50, kRow), kSecondFrame));
}

TEST_F(ProgressBmpCtrlTest, PalettePicturesTextureTrackAndFillInTheirColours) {
    std::wstring path;
    ASSERT_TRUE(AnsiToWide(SkinFixtureFolder() + "palette.png", path));
    Gdiplus::Bitmap palette(path.c_str());
    ASSERT_TRUE(Gdiplus::IsIndexedPixelFormat(palette.GetPixelFormat()));
    bar.SetTrackImage(palette);
    bar.AddFrame(palette);
    bar.SetPos(50);
    CWindowPixels pixels = Screen();
    EXPECT_TRUE(IsNear(pixels.At(50, kRow), RGB(37, 113, 201)));
    EXPECT_TRUE(IsNear(pixels.At(150, kBarHeight - 1), RGB(37, 113, 201)));
}

TEST_F(ProgressBmpCtrlTest, HiddenBarsTimerDoesNotPaint) {
    bar.AddFrame(*SolidImage(kFirstFrame));
    bar.StartAnimation();
    CPaintCounter counter(bar.hwnd);
    ShowWindow(bar.hwnd, SW_HIDE);
    SendMessageW(bar.hwnd, WM_TIMER, kAnimationTimer, 0);
    EXPECT_EQ(counter.paints, 0);

    ShowWindow(bar.hwnd, SW_SHOW);
    SendMessageW(bar.hwnd, WM_TIMER, kAnimationTimer, 0);
    EXPECT_EQ(counter.paints, 1);
}

TEST_F(ProgressBmpCtrlTest, AnimationRunsOnTheControlsOwnTimer) {
    bar.AddFrame(*SolidImage(kFirstFrame));
    bar.AddFrame(*SolidImage(kSecondFrame));
    bar.SetPos(100);
    bar.StartAnimation();
    EXPECT_TRUE(WaitUntil([&] {
        PumpMessages();
        return Near(CWindowPixels(bar.hwnd).At(50, kRow), kSecondFrame);
    }));
}

TEST_F(ProgressBmpCtrlTest, PositionSetFromAWorkerThreadReachesTheScreen) {
    bar.SetPos(0);
    Screen();
    std::thread worker([&] { bar.SetPos(80); });  // ends at 10 + 144 = 154
    worker.join();
    EXPECT_TRUE(WaitUntil([&] {
        PumpMessages();
        return Near(CWindowPixels(bar.hwnd).At(150, kRow), kDefaultFill);
    }));
}

TEST_F(ProgressBmpCtrlTest, RoundedEndsLeaveTheCornersToTheDialogBehind) {
    bar.SetRoundedEnds(true);
    bar.SetPos(100);
    CWindowPixels pixels = Screen();
    EXPECT_TRUE(IsNear(pixels.At(0, 0), kParent));
    EXPECT_TRUE(IsNear(pixels.At(kBarWidth - 1, kBarHeight - 1), kParent));
    EXPECT_TRUE(IsNear(pixels.At(2, kRow), kDefaultFill));  // the round cap reaches out
    EXPECT_TRUE(IsNear(pixels.At(kBarWidth - 3, kRow), kDefaultFill));
}

// The value text, compared between bars that must show the same text.
class ProgressTextTest : public ProgressBmpCtrlTest {
protected:
    std::vector<COLORREF> Frame(int minimum, int maximum, int position, bool asPercent = true) {
        bar.SetShowText(true);
        bar.SetTextAsPercent(asPercent);
        if (!pictures_) {
            // Dark pictures, so that only the text is light.
            pictures_ = true;
            bar.SetTrackImage(*SolidImage(RGB(60, 60, 60)));
            bar.AddFrame(*SolidImage(RGB(0, 0, 120)));
        }
        bar.SetRange(minimum, maximum);
        bar.SetPos(position);
        CWindowPixels pixels = Screen();
        std::vector<COLORREF> frame;
        for (int y = 0; y < kBarHeight; ++y) {
            for (int x = 0; x < kBarWidth; ++x) frame.push_back(pixels.At(x, y));
        }
        return frame;
    }
    // The columns holding white text pixels: first and last.
    static std::pair<int, int> TextColumns(const std::vector<COLORREF>& frame) {
        int first = kBarWidth;
        int last = -1;
        for (int y = 0; y < kBarHeight; ++y) {
            for (int x = 0; x < kBarWidth; ++x) {
                if (!Near(frame[static_cast<std::size_t>(y * kBarWidth + x)], RGB(255, 255, 255),
                          40)) {
                    continue;
                }
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
        return {first, last};
    }

private:
    bool pictures_ = false;
};

TEST_F(ProgressTextTest, PercentIsTakenOfTheRange) {
    EXPECT_EQ(Frame(0, 100, 0), Frame(10, 20, 10));     // "0%", no fill
    EXPECT_EQ(Frame(0, 100, 50), Frame(0, 200, 100));   // "50%", half
    EXPECT_EQ(Frame(0, 100, 100), Frame(7, 7, 7));      // "100%", full
    EXPECT_EQ(Frame(0, 100, 100), Frame(-40, -60, 0));  // maximum below minimum: "100%"
}

TEST_F(ProgressTextTest, TextIsCentredAndWidensWithItsDigits) {
    const auto [zeroFirst, zeroLast] = TextColumns(Frame(0, 100, 0));
    const auto [fullFirst, fullLast] = TextColumns(Frame(0, 100, 100));
    ASSERT_GE(zeroLast, zeroFirst);
    ASSERT_GE(fullLast, fullFirst);
    EXPECT_GT(fullLast - fullFirst, zeroLast - zeroFirst);  // "100%" is wider than "0%"
    EXPECT_NEAR((zeroFirst + zeroLast) / 2, kBarWidth / 2, 3);
    EXPECT_NEAR((fullFirst + fullLast) / 2, kBarWidth / 2, 3);
}

TEST_F(ProgressTextTest, WithoutPercentTheTextIsThePosition) {
    const auto raw = TextColumns(Frame(0, 100, 50, false));     // "50"
    const auto percent = TextColumns(Frame(0, 100, 50, true));  // "50%"
    EXPECT_LT(raw.second - raw.first, percent.second - percent.first);
    EXPECT_EQ(TextColumns(Frame(0, 1000, 50, false)), raw);  // still "50"
}

// The installer window's bar with the default skin's pictures, for people
// to look at: <build>/artifacts/progress_bars.png.
TEST(ProgressBmpCtrlLook, DefaultSkinsBarAtSeveralPositions) {
    CGdiplusSession gdiplus;
    CHostWindow host(420, 200, RGB(255, 255, 255));
    std::wstring folder;
    ASSERT_TRUE(AnsiToWide(DefaultSkinRoot() + "skin\\RUVI\\", folder));
    Gdiplus::Bitmap front((folder + L"front_000.png").c_str());
    Gdiplus::Bitmap back((folder + L"back_000.png").c_str());
    ASSERT_EQ(front.GetLastStatus(), Gdiplus::Ok);
    ASSERT_EQ(back.GetLastStatus(), Gdiplus::Ok);

    const int positions[] = {0, 37, 75, 100};
    std::vector<std::unique_ptr<CProgressBmpCtrl>> bars;
    for (int i = 0; i < 4; ++i) {
        auto bar = std::make_unique<CProgressBmpCtrl>();
        bar->SubclassWindow(host.AddStatic(24, 20 + 40 * i, 360, 19));
        bar->SetRange(0, 100);
        bar->SetPos(positions[i]);
        bar->SetRoundedEnds(true);
        bar->SetShowText(true);
        bar->SetTextAsPercent(true);
        bar->AddFrame(front);
        bar->SetTrackImage(back);
        bars.push_back(std::move(bar));
    }
    host.Repaint();
    SaveScreenshot("progress_bars.png", host.Get());

    // 37%: filled to 9 + 37 * 341 / 100 = 135 with the frame, then the track.
    CWindowPixels pixels(bars[1]->hwnd);
    const COLORREF filled = pixels.At(60, 9);
    const COLORREF track = pixels.At(300, 9);
    EXPECT_GT(GetBValue(filled), GetRValue(filled) + 80);
    EXPECT_LT(std::abs(GetBValue(track) - GetRValue(track)), 40);
    EXPECT_TRUE(IsNear(pixels.At(0, 0), RGB(255, 255, 255)));
}

}  // namespace
