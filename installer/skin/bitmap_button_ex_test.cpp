#include "skin/bitmap_button_ex.h"

#include <gtest/gtest.h>

#include <optional>

#include "framework/device_context.h"
#include "platform/unique_window.h"

namespace {

constexpr int kButtonWidth = 40;
constexpr int kButtonHeight = 20;
constexpr COLORREF kNormal = RGB(200, 0, 0);
constexpr COLORREF kOver = RGB(0, 200, 0);
constexpr COLORREF kDown = RGB(0, 0, 200);
constexpr COLORREF kFocus = RGB(200, 200, 0);
constexpr COLORREF kDisabled = RGB(90, 90, 90);
constexpr COLORREF kUntouched = RGB(1, 2, 3);
constexpr COLORREF kCaption = RGB(255, 255, 255);

CBitmap SolidPicture(COLORREF colour, int width = 4, int height = 4) {
    const CWindowDC screen(nullptr);
    CBitmap picture(CreateCompatibleBitmap(screen.Get(), width, height));
    {
        CMemoryDC memory(screen.Get());
        CSelectObject select(memory.Get(), picture.Get());
        const CBrush brush(CreateSolidBrush(colour));
        const RECT all{0, 0, width, height};
        FillRect(memory.Get(), &all, brush.Get());
    }
    return picture;
}

// A button window of its own (never shown) with the control bound to it, and
// a memory surface of the button's size that DrawItem paints on.
class BitmapButtonExTest : public ::testing::Test {
protected:
    BitmapButtonExTest() {
        window_.Reset(CreateWindowExW(0, L"BUTTON", L"", WS_POPUP | BS_PUSHBUTTON, 0, 0,
                                      kButtonWidth, kButtonHeight, nullptr, nullptr, nullptr,
                                      nullptr));
        button.SubclassWindow(window_.Get());
        const CWindowDC screen(nullptr);
        surface_ = CBitmap(CreateCompatibleBitmap(screen.Get(), kButtonWidth, kButtonHeight));
        select_.emplace(memory_.Get(), surface_.Get());
    }

    void GiveAllPictures() {
        button.SetImages(SolidPicture(kNormal), SolidPicture(kOver), SolidPicture(kDown),
                         SolidPicture(kFocus), SolidPicture(kDisabled));
    }
    // Draws the item on a surface filled with kUntouched.
    bool Draw(UINT action, UINT state) {
        const RECT all{0, 0, kButtonWidth, kButtonHeight};
        const CBrush brush(CreateSolidBrush(kUntouched));
        FillRect(memory_.Get(), &all, brush.Get());
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_BUTTON;
        item.itemAction = action;
        item.itemState = state;
        item.hwndItem = window_.Get();
        item.hDC = memory_.Get();
        item.rcItem = all;
        return button.DrawItem(item);
    }
    COLORREF At(int x, int y) { return GetPixel(memory_.Get(), x, y); }
    int CountPixels(COLORREF colour) {
        int count = 0;
        for (int y = 0; y < kButtonHeight; ++y) {
            for (int x = 0; x < kButtonWidth; ++x) count += At(x, y) == colour ? 1 : 0;
        }
        return count;
    }

    CBitmapButtonEx button;
    CMemoryDC memory_{nullptr};

private:
    UniqueWindow window_;
    CBitmap surface_;
    std::optional<CSelectObject> select_;
};

struct PictureCase {
    UINT action;
    UINT state;
    COLORREF expected;
};

TEST_F(BitmapButtonExTest, PictureFollowsTheDrawActionAndStateNeverOverOrFocus) {
    GiveAllPictures();
    const PictureCase cases[] = {
        {ODA_SELECT, ODS_SELECTED, kDown},
        {ODA_SELECT, 0, kNormal},
        {ODA_SELECT, ODS_SELECTED | ODS_DISABLED, kDown},
        {ODA_SELECT, ODS_DISABLED, kNormal},
        {ODA_DRAWENTIRE, ODS_DISABLED, kDisabled},
        {ODA_DRAWENTIRE, 0, kNormal},
        {ODA_DRAWENTIRE, ODS_SELECTED, kNormal},
        {ODA_DRAWENTIRE, ODS_FOCUS, kNormal},
        {ODA_DRAWENTIRE, ODS_HOTLIGHT, kNormal},
        {ODA_FOCUS, ODS_FOCUS, kNormal},
        {ODA_FOCUS, ODS_FOCUS | ODS_DISABLED, kDisabled},
    };
    for (const PictureCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "action " << c.action << ", state " << c.state);
        ASSERT_TRUE(Draw(c.action, c.state));
        EXPECT_EQ(At(kButtonWidth / 2, kButtonHeight / 2), c.expected);
    }
}

TEST_F(BitmapButtonExTest, PictureIsStretchedOverTheWholeButton) {
    GiveAllPictures();
    ASSERT_TRUE(Draw(ODA_DRAWENTIRE, 0));
    EXPECT_EQ(CountPixels(kNormal), kButtonWidth * kButtonHeight);
}

TEST_F(BitmapButtonExTest, CaptionIsDrawnOverThePictureInTheContextsColour) {
    GiveAllPictures();
    ASSERT_TRUE(Draw(ODA_DRAWENTIRE, 0));
    EXPECT_EQ(CountPixels(kCaption), 0);

    SetWindowTextW(button.hwnd, L"OK");
    SetTextColor(memory_.Get(), kCaption);
    ASSERT_TRUE(Draw(ODA_DRAWENTIRE, 0));
    EXPECT_GT(CountPixels(kCaption), 0);
    EXPECT_EQ(CountPixels(kCaption) + CountPixels(kNormal), kButtonWidth * kButtonHeight);
    EXPECT_EQ(At(0, 0), kNormal);  // the caption stays in the middle
}

TEST_F(BitmapButtonExTest, ButtonWithoutAllFivePicturesDrawsNothing) {
    button.SetImages(SolidPicture(kNormal), SolidPicture(kOver), SolidPicture(kDown),
                     SolidPicture(kFocus), CBitmap());
    EXPECT_FALSE(Draw(ODA_DRAWENTIRE, 0));
    EXPECT_EQ(CountPixels(kUntouched), kButtonWidth * kButtonHeight);
}

}  // namespace
