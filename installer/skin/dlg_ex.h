#pragma once

#include <windows.h>

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/gdi_object.h"
#include "skin/bitmap_button_ex.h"
#include "skin/picture_prefetch.h"

// A control's text colour is the dialog's own.
inline constexpr COLORREF kDialogTextColour = CLR_INVALID;

// One control of a skinned dialog: where it stands, in pixels from the
// window's top left corner, and how the skin paints it.
struct SkinnedControl {
    int id;
    struct {
        int x, y, width, height;
    } place;
    // Below the skin folder, without ".png": a button's five state pictures
    // (the name followed by "", "_Over", "_Down", "_Focus", "_Disable") or a
    // bitmap static's picture. None: the control is only placed.
    const char* picture = nullptr;
    COLORREF textColour = kDialogTextColour;
    // A button that borrows its disabled picture from another button's set.
    const char* disabledPicture = nullptr;
};

// The base of the installer's skinned dialogs: a borderless window painted
// from a picture, limited to a rounded rectangle, with one font for all its
// controls and one text colour, static texts transparent over the picture,
// dragged by its client area, and deaf to the Escape key.
class CDlgEx : public CDialog {
public:
    CDlgEx(UINT templateId, HWND parent);

    // Called by each dialog from its constructor, before the window exists:
    // the background picture (silently none when it does not load), the
    // dialog font's height in logical units, the text colour, and the
    // window's rectangle in the coordinates of window positioning.
    void InitSkin(const std::string& imagePath, int fontHeight, COLORREF textColour, int left,
                  int top, int right, int bottom);

    // Pictures decoded ahead, taken instead of decoding them again; before
    // InitSkin, and living as long as the dialog. None: every picture is
    // decoded when it is needed.
    void UsePicturesDecodedAhead(CPicturePrefetch* ahead) { picturesAhead_ = ahead; }

    // The picture a control of a table shows in the state it usually starts
    // in (a button's normal one), below pictureFolder: one a dialog may have
    // decoded ahead. The control must have a picture.
    static std::string StartingPicture(const std::string& pictureFolder,
                                       const SkinnedControl& control);

protected:
    // Moves the child controls to their skin positions and loads their
    // pictures. Runs during initialisation, after the controls are bound and
    // before the window is sized and given its font and region.
    virtual void LayoutControls();

    // What UsePicturesDecodedAhead gave, or null.
    CPicturePrefetch* PicturesDecodedAhead() const { return picturesAhead_; }

    // What a dialog's LayoutControls does with its table: every child named
    // there is placed, then a button gets its five pictures (all five, or it
    // stays a standard push button) and a bitmap static its picture, all
    // below pictureFolder ("skin\" of an install folder). Children the table
    // does not name keep their place. The table also gives text colours.
    // Decoding a picture costs more than anything else in bringing a window
    // up, so only what the first paint shows is decoded before the window
    // is shown: the pictures of controls that start hidden, and a shown
    // button's pictures of the states it is not in, wait until the window
    // has been shown and painted; nothing shows them before. Until then a
    // button's other pictures are only looked for: one that is missing
    // leaves the button standard from the start, one that is there but
    // cannot be decoded turns it back into a standard button then.
    void LayoutFromTable(const std::string& pictureFolder,
                         std::span<const SkinnedControl> controls);

    // Called once after the window has been shown, once every control has
    // its pictures.
    virtual void OnPicturesComplete() {}

    // The colours of a control (kind: CTLCOLOR_EDIT, CTLCOLOR_STATIC...).
    // Returns the brush behind the control: always the hollow one, so that
    // the picture shows through.
    virtual HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind);

    BOOL OnInitDialog() override;
    std::optional<LRESULT> HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool PreTranslateMessage(MSG& message) override;

private:
    void ApplyFont();
    void ApplyRoundedRegion();
    void OnPaint();
    std::optional<LRESULT> OnNcHitTest(LPARAM point);
    const SkinnedControl* FindControl(int id) const;
    void SkinControl(HWND control, const SkinnedControl& entry);
    void SkinButtonForFirstPaint(HWND button, const SkinnedControl& control);
    void SkinButton(HWND button, const SkinnedControl& control);
    void UnskinButton(HWND button);
    CBitmapButtonEx* SkinnedButton(HWND button) const;
    std::string ButtonPicture(const SkinnedControl& control, std::size_t state) const;
    void ShowPicture(HWND picture, const std::string& path);
    CBitmap LoadPicture(const std::string& path);
    void CompletePictures();

    // Posted when the window is first shown. Subclasses keep their own
    // messages below it.
    static constexpr UINT kCompletePicturesMessage = WM_APP + 0x100;

    CPicturePrefetch* picturesAhead_ = nullptr;
    RECT skinRect_{0, 0, 500, 500};
    CBitmap background_;
    CFont font_;
    COLORREF textColour_ = 0;
    std::span<const SkinnedControl> controls_;
    std::string pictureFolder_;
    // Skinned controls that start hidden, and shown buttons that have only
    // their first-paint picture, until they get all their pictures.
    std::vector<HWND> waitingForPictures_;
    // From OnInitDialog until the window is first shown.
    bool picturesPending_ = false;
    std::vector<std::unique_ptr<CBitmapButtonEx>> skinnedButtons_;
    // A static control shows a picture but does not own it.
    std::vector<CBitmap> shownPictures_;
};
