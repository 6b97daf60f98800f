#pragma once

class CProgressBmpCtrl;

// The window whose progress bar a transfer moves: the installer's main
// window. The HTTP client and the download reach the bar only through this.
class IProgressWindow {
public:
    virtual CProgressBmpCtrl& ProgressBar() = 0;

protected:
    ~IProgressWindow() = default;
};
