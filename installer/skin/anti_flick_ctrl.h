#pragma once

#include <windows.h>

#include "framework/gdi_object.h"
#include "framework/window.h"

// The base of a control that looks transparent over a picture background
// without flicker: it paints through an off-screen frame, and it keeps a
// snapshot of what lies behind it. The snapshot is refreshed by comparing
// the screen with the frame the control last put there, so the parent is
// never asked to repaint for an animation step.
class CAntiFlickCtrl : public CSubclassedWindow {
public:
    // Refreshes the snapshot from what the paint context shows under the
    // control (w x h). Pixels that still show the last frame keep the earlier
    // background; pixels something else has painted since become background.
    // Called at the start of each paint.
    void CaptureBackground(HDC paintDC, int width, int height);
    // Copies the snapshot into (0, 0, w, h) of a memory context.
    void DrawBackground(HDC memoryDC, int width, int height);

protected:
    // A painting subclass hands over each frame once it is on the screen.
    void SetLastFrame(CBitmap frame);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    CBitmap background_;
    CBitmap lastFrame_;
};
