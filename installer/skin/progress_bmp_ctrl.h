#pragma once

#include <windows.h>

// The picture progress bar. This is its state part: range, position and the
// repaint request. The position may be moved from a worker thread: the
// setters only store integers and then invalidate the window and post it
// WM_PAINT, which never blocks on the window's thread.
class CProgressBmpCtrl {
public:
    void SetRange(int minimum, int maximum);
    // Raised to the minimum, then lowered to the maximum.
    void SetPos(int position);

    int GetPos() const { return position_; }
    int GetMinimum() const { return minimum_; }
    int GetMaximum() const { return maximum_; }

    // The bound control window; null until the owner binds it.
    HWND hwnd = nullptr;

private:
    // When the window is visible: invalidate it with erasing, post WM_PAINT.
    void RequestRepaint();

    int minimum_ = 0;
    int maximum_ = 100;
    int position_ = 0;
};
