#include "skin/progress_bmp_ctrl.h"

#include <commctrl.h>

#include "skin/gdiplus_include.h"

namespace {
constexpr UINT_PTR kAnimationTimer = 12345;
}  // namespace

CProgressBmpCtrl::CProgressBmpCtrl() : trackColour_(GetSysColor(COLOR_BTNFACE)) {}

CProgressBmpCtrl::~CProgressBmpCtrl() = default;

void CProgressBmpCtrl::SetRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = maximum;
    RequestRepaint();
}

void CProgressBmpCtrl::SetPos(int position) {
    if (position < minimum_) position = minimum_;
    if (position > maximum_) position = maximum_;
    position_ = position;
    RequestRepaint();
}

void CProgressBmpCtrl::SetRoundedEnds(bool rounded) {
    roundedEnds_ = rounded;
    RequestRepaint();
}

void CProgressBmpCtrl::SetShowText(bool show) {
    showText_ = show;
    RequestRepaint();
}

void CProgressBmpCtrl::SetTextAsPercent(bool asPercent) {
    textAsPercent_ = asPercent;
    RequestRepaint();
}

void CProgressBmpCtrl::AddFrame(Gdiplus::Image& frame) {
    if (Gdiplus::Image* copy = frame.Clone()) frames_.emplace_back(copy);
}

void CProgressBmpCtrl::ClearFrames() { frames_.clear(); }

void CProgressBmpCtrl::SetTrackImage(Gdiplus::Image& track) {
    trackImage_.reset(track.Clone());
    RequestRepaint();
}

void CProgressBmpCtrl::StartAnimation() {
    if (timerId_ == 0) {
        timerId_ = SetTimer(hwnd, kAnimationTimer, static_cast<UINT>(timerInterval_), nullptr);
    }
}

void CProgressBmpCtrl::RequestRepaint() {
    const HWND window = hwnd;
    if (window == nullptr || !IsWindowVisible(window)) return;
    InvalidateRect(window, nullptr, TRUE);
    PostMessageW(window, WM_PAINT, 0, 0);
}

LRESULT CProgressBmpCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            OnPaint();
            return 0;
        case PBM_GETPOS:
            return position_;
        case WM_TIMER:
            OnTimer(wParam);
            return CAntiFlickCtrl::WindowProc(message, wParam, lParam);
        case WM_DESTROY: {
            const LRESULT result = CAntiFlickCtrl::WindowProc(message, wParam, lParam);
            OnDestroy();
            return result;
        }
        default:
            return CAntiFlickCtrl::WindowProc(message, wParam, lParam);
    }
}

void CProgressBmpCtrl::OnTimer(UINT_PTR eventId) {
    // Hidden, the bar has nothing to show: the animation waits.
    if (!IsWindowVisible(hwnd)) return;
    if (timerId_ != 0 && timerId_ == eventId) {
        ++frameIndex_;
        if (frameIndex_ >= frames_.size()) frameIndex_ = 0;
    }
    InvalidateRect(hwnd, nullptr, TRUE);
    SendMessageW(hwnd, WM_PAINT, 0, 0);
}

void CProgressBmpCtrl::OnDestroy() {
    if (timerId_ != 0) {
        KillTimer(hwnd, timerId_);
        timerId_ = 0;
    }
    trackImage_.reset();
    ClearFrames();
}
