#include "skin/progress_bmp_ctrl.h"

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

void CProgressBmpCtrl::RequestRepaint() {
    if (hwnd == nullptr || !IsWindowVisible(hwnd)) return;
    InvalidateRect(hwnd, nullptr, TRUE);
    PostMessageW(hwnd, WM_PAINT, 0, 0);
}
