#include "skin/dlg_ex.h"

#include <gtest/gtest.h>

#include "modal_test_run.h"
#include "resources/resource_ids.h"
#include "skin_test_support.h"

namespace {

// The message box's template, skinned by a table of its own: its bitmap
// static shows the half-transparent test picture. No background picture:
// the plain dialog surface lies beneath.
class CPictureDialog : public CDlgEx {
public:
    CPictureDialog() : CDlgEx(IDD_MSGBOX, nullptr) {
        InitSkin("", 20, RGB(0, 0, 0), 0, 0, 200, 120);
    }

protected:
    void LayoutControls() override { LayoutFromTable(SkinFixtureFolder(), kControls); }

private:
    static constexpr SkinnedControl kControls[] = {
        {IDC_MSGBOX_PICTURE, {40, 30, 28, 28}, "half_transparent"},
    };
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

}  // namespace
