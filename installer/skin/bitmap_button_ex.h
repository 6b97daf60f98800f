#pragma once

#include <windows.h>

#include <array>

#include "framework/gdi_object.h"
#include "framework/window.h"

// A push button painted from five state pictures (normal, over, down, focus,
// disabled). Bound to a template button; it paints itself once its owner has
// given it the pictures and made it owner-drawn. Presses and releases keep
// the system's button handling.
class CBitmapButtonEx : public CSubclassedWindow {
public:
    // Takes the five pictures, in this order. The owner then switches the
    // button to owner-drawn (CDlgEx::LayoutFromTable does both).
    void SetImages(CBitmap normal, CBitmap over, CBitmap down, CBitmap focus, CBitmap disabled);

    // Before its window is first shown a button can be seen in one state
    // only, the one it starts in: until SetImages, it paints this picture
    // whatever its state.
    void SetFirstPaintImage(CBitmap picture);

    // Paints the item with the picture its action and state call for,
    // stretched to the button, and the caption over it in the font and text
    // colour the device context comes with. False when it holds neither all
    // five pictures nor a first-paint picture.
    bool DrawItem(const DRAWITEMSTRUCT& item);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    enum Picture { kNormal, kOver, kDown, kFocus, kDisabled, kPictureCount };

    // The over and focus pictures are held but never chosen.
    static Picture ChoosePicture(UINT action, UINT state);

    std::array<CBitmap, kPictureCount> pictures_;
    CBitmap firstPaint_;
};
