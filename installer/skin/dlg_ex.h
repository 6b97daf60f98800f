#pragma once

#include <windows.h>

#include <string>

#include "framework/dialog.h"
#include "framework/gdi_object.h"

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

protected:
    // Moves the child controls to their skin positions and loads their
    // pictures. Runs during initialisation, after the controls are bound and
    // before the window is sized and given its font and region.
    virtual void LayoutControls();

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

    RECT skinRect_{0, 0, 500, 500};
    CBitmap background_;
    CFont font_;
    COLORREF textColour_ = 0;
};
