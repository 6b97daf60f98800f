#include "skin/anti_flick_ctrl.h"

#include <gtest/gtest.h>

#include "framework/device_context.h"

namespace {

constexpr int kWidth = 40;
constexpr int kHeight = 12;
constexpr COLORREF kBackground = RGB(20, 40, 200);
constexpr COLORREF kControlFrame = RGB(220, 30, 30);
constexpr COLORREF kRepainted = RGB(10, 180, 60);

// A control whose frames the test hands over, as a painting subclass does.
class CTestFlickCtrl : public CAntiFlickCtrl {
public:
    using CAntiFlickCtrl::SetLastFrame;
};

// A stand-in for the screen under the control: a memory context holding a
// bitmap in the screen's format.
class CFakeScreen {
public:
    CFakeScreen(int width, int height)
        : screen_(nullptr),
          memory_(screen_.Get()),
          bitmap_(CreateCompatibleBitmap(screen_.Get(), width, height)),
          select_(memory_.Get(), bitmap_.Get()) {}

    HDC Get() const { return memory_.Get(); }
    void Fill(const RECT& area, COLORREF colour) {
        const CBrush brush(CreateSolidBrush(colour));
        FillRect(memory_.Get(), &area, brush.Get());
    }
    // What the control would have put on the screen: a copy of it now.
    CBitmap Copy(int width, int height) const {
        CBitmap copy(CreateCompatibleBitmap(screen_.Get(), width, height));
        CMemoryDC target(screen_.Get());
        CSelectObject select(target.Get(), copy.Get());
        BitBlt(target.Get(), 0, 0, width, height, memory_.Get(), 0, 0, SRCCOPY);
        return copy;
    }

private:
    CWindowDC screen_;
    CMemoryDC memory_;
    CBitmap bitmap_;
    CSelectObject select_;
};

class AntiFlickCtrlTest : public ::testing::Test {
protected:
    // The snapshot's pixel, as DrawBackground hands it to a frame.
    COLORREF SnapshotAt(int x, int y) {
        CBitmap frame(CreateCompatibleBitmap(screen.Get(), kWidth, kHeight));
        CMemoryDC memory(screen.Get());
        CSelectObject select(memory.Get(), frame.Get());
        control.DrawBackground(memory.Get(), kWidth, kHeight);
        return GetPixel(memory.Get(), x, y);
    }
    // The control paints its frame over the whole area and hands it over.
    void PaintControlFrame() {
        screen.Fill(RECT{0, 0, kWidth, kHeight}, kControlFrame);
        control.SetLastFrame(screen.Copy(kWidth, kHeight));
    }

    CFakeScreen screen{kWidth, kHeight};
    CTestFlickCtrl control;
};

TEST_F(AntiFlickCtrlTest, FirstCaptureTakesWhatTheScreenShows) {
    screen.Fill(RECT{0, 0, kWidth, kHeight}, kBackground);
    control.CaptureBackground(screen.Get(), kWidth, kHeight);
    EXPECT_EQ(SnapshotAt(0, 0), kBackground);
    EXPECT_EQ(SnapshotAt(kWidth - 1, kHeight - 1), kBackground);
}

TEST_F(AntiFlickCtrlTest, ScreenStillShowingTheLastFrameKeepsTheSnapshot) {
    screen.Fill(RECT{0, 0, kWidth, kHeight}, kBackground);
    control.CaptureBackground(screen.Get(), kWidth, kHeight);
    PaintControlFrame();

    control.CaptureBackground(screen.Get(), kWidth, kHeight);
    EXPECT_EQ(SnapshotAt(5, 5), kBackground);
    EXPECT_EQ(SnapshotAt(kWidth - 1, 0), kBackground);
}

TEST_F(AntiFlickCtrlTest, OnlyPixelsPaintedOverSinceTheLastFrameBecomeBackground) {
    screen.Fill(RECT{0, 0, kWidth, kHeight}, kBackground);
    control.CaptureBackground(screen.Get(), kWidth, kHeight);
    PaintControlFrame();
    // The dialog repaints part of the area under the control.
    screen.Fill(RECT{10, 2, 20, 6}, kRepainted);

    control.CaptureBackground(screen.Get(), kWidth, kHeight);
    EXPECT_EQ(SnapshotAt(10, 2), kRepainted);
    EXPECT_EQ(SnapshotAt(19, 5), kRepainted);
    EXPECT_EQ(SnapshotAt(9, 2), kBackground);
    EXPECT_EQ(SnapshotAt(20, 5), kBackground);
    EXPECT_EQ(SnapshotAt(15, 6), kBackground);
}

TEST_F(AntiFlickCtrlTest, LastFrameOfAnotherSizeLetsTheScreenReplaceTheSnapshot) {
    screen.Fill(RECT{0, 0, kWidth, kHeight}, kBackground);
    control.CaptureBackground(screen.Get(), kWidth, kHeight);
    screen.Fill(RECT{0, 0, kWidth, kHeight}, kControlFrame);
    control.SetLastFrame(screen.Copy(kWidth - 1, kHeight));

    control.CaptureBackground(screen.Get(), kWidth, kHeight);
    EXPECT_EQ(SnapshotAt(5, 5), kControlFrame);
}

}  // namespace
