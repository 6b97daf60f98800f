#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <vector>

#include "skin/anti_flick_ctrl.h"
#include "skin/gdiplus_session.h"

namespace Gdiplus {
class Image;
class Graphics;
}  // namespace Gdiplus

// The picture progress bar: a thick line along the control, its track
// textured with a track picture and its filled part with one of the frame
// pictures (the animation steps through them), a centred value text on top,
// all composed over whatever the dialog shows behind the control.
//
// Like the system's progress bar, it answers PBM_GETPOS.
//
// The position may be moved from a worker thread: the range and position
// setters only store integers and then invalidate the window and post it
// WM_PAINT, which never blocks on the window's thread. Everything else
// belongs to the window's thread.
class CProgressBmpCtrl : public CAntiFlickCtrl {
public:
    CProgressBmpCtrl();
    ~CProgressBmpCtrl() override;

    void SetRange(int minimum, int maximum);
    // Raised to the minimum, then lowered to the maximum.
    void SetPos(int position);

    int GetPos() const { return position_; }
    int GetMinimum() const { return minimum_; }
    int GetMaximum() const { return maximum_; }

    // Both ends of track and fill round instead of flat.
    void SetRoundedEnds(bool rounded);
    void SetShowText(bool show);
    // The text is a percentage of the range with "%" rather than the position.
    void SetTextAsPercent(bool asPercent);

    // The bar keeps copies of the pictures it is given.
    void AddFrame(Gdiplus::Image& frame);
    void ClearFrames();
    void SetTrackImage(Gdiplus::Image& track);

    // Steps through the frames on a timer of the control's window.
    void StartAnimation();

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // When the window is visible: invalidate it with erasing, post WM_PAINT.
    void RequestRepaint();
    void OnTimer(UINT_PTR eventId);
    void OnDestroy();
    void OnPaint();
    void DrawBar(Gdiplus::Graphics& graphics, int width, int height) const;
    void DrawValueText(Gdiplus::Graphics& graphics, int width, int thickness, int offset) const;

    // Images must go before GDI+ does: the session is the first member.
    CGdiplusSession gdiplus_;
    std::atomic<int> minimum_{0};
    std::atomic<int> maximum_{100};
    std::atomic<int> position_{0};
    std::vector<std::unique_ptr<Gdiplus::Image>> frames_;
    std::unique_ptr<Gdiplus::Image> trackImage_;
    COLORREF barColour_ = RGB(0, 100, 55);
    COLORREF trackColour_;
    bool roundedEnds_ = false;
    bool showText_ = true;
    bool textAsPercent_ = true;
    COLORREF textColour_ = RGB(255, 255, 255);
    unsigned frameIndex_ = 0;
    int timerInterval_ = 200;
    UINT_PTR timerId_ = 0;
};
