#include "skin/dlg_ex.h"

#include <gtest/gtest.h>

#include <atomic>

#include "modal_test_run.h"
#include "resources/resource_ids.h"
#include "skin_test_support.h"

namespace {

// The message box's template, skinned by a table of its own: its bitmap
// static shows the half-transparent test picture. No background picture:
// the plain dialog surface lies beneath.
class CPictureDialog : public CDlgEx {
public:
    explicit CPictureDialog(bool pictureStartsHidden = false)
        : CDlgEx(IDD_MSGBOX, nullptr), pictureStartsHidden_(pictureStartsHidden) {
        InitSkin("", 20, RGB(0, 0, 0), 0, 0, 200, 120);
    }

    // Set on the dialog's thread once every picture is in place.
    std::atomic<bool> complete{false};
    bool shownWhenComplete = false;
    bool pictureWhenComplete = false;

    static constexpr SkinnedControl kControls[] = {
        {IDC_MSGBOX_PICTURE, {40, 30, 28, 28}, "half_transparent"},
    };

protected:
    void LayoutControls() override {
        if (pictureStartsHidden_) ShowWindow(GetDlgItem(hwnd, IDC_MSGBOX_PICTURE), SW_HIDE);
        LayoutFromTable(SkinFixtureFolder(), kControls);
    }
    void OnPicturesComplete() override {
        shownWhenComplete = IsWindowVisible(hwnd);
        pictureWhenComplete =
            SendDlgItemMessageW(hwnd, IDC_MSGBOX_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0) != 0;
        complete = true;
    }

private:
    bool pictureStartsHidden_;
};

TEST(DlgExPicture, HalfTransparentPictureCoversWhatIsBeneathEachTimeTheDialogRuns) {
    CPictureDialog dialog;
    for (int run = 0; run < 2; ++run) {
        CModalTestRun modal([&] { return dialog.DoModal(); });
        const HWND window = modal.WaitForWindow();
        ASSERT_NE(window, nullptr);
        // Source copy: the picture's own colour, not a blend with the surface.
        WaitUntil([&] { return Near(CWindowPixels(window).At(54, 44), RGB(255, 0, 0), 2); });
        EXPECT_TRUE(IsNear(CWindowPixels(window).At(54, 44), RGB(255, 0, 0), 2)) << run;
        SendMessageW(GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
        EXPECT_EQ(modal.WaitForResult(), IDCANCEL);
    }
}

TEST(DlgExPicture, APictureDecodedAheadIsShownInsteadOfDecodedAgain) {
    CPicturePrefetch ahead(
        PicturesAhead{{CDlgEx::StartingPicture(SkinFixtureFolder(), CPictureDialog::kControls[0])}, {}});
    CPictureDialog dialog;
    dialog.UsePicturesDecodedAhead(&ahead);
    CModalTestRun modal([&] { return dialog.DoModal(); });
    const HWND window = modal.WaitForWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(
        WaitUntil([&] { return Near(CWindowPixels(window).At(54, 44), RGB(255, 0, 0), 2); }));
    EXPECT_FALSE(ahead.Take(SkinFixtureFolder() + "half_transparent.png")) << "taken by the dialog";
    SendMessageW(GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_EQ(modal.WaitForResult(), IDCANCEL);
}

TEST(DlgExPicture, AControlThatStartsHiddenHasItsPictureOnceTheShownWindowIsComplete) {
    CPictureDialog dialog(true);
    CModalTestRun modal([&] { return dialog.DoModal(); });
    const HWND window = modal.WaitForWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return dialog.complete.load(); }));
    EXPECT_TRUE(dialog.shownWhenComplete);
    EXPECT_TRUE(dialog.pictureWhenComplete);
    ShowWindow(GetDlgItem(window, IDC_MSGBOX_PICTURE), SW_SHOW);
    EXPECT_TRUE(
        WaitUntil([&] { return Near(CWindowPixels(window).At(54, 44), RGB(255, 0, 0), 2); }));
    SendMessageW(GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_EQ(modal.WaitForResult(), IDCANCEL);
}

}  // namespace
