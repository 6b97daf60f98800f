#pragma once

#include <windows.h>

#include <memory>

#include "net/progress_sink.h"
#include "platform/unique_window.h"
#include "skin/progress_bmp_ctrl.h"

class CProgressBarSink;

// A stand-in for the main window in tests of code that moves its progress
// bar: a real, shown window bound to the bar, so the bar's repaint requests
// (invalidate, posted WM_PAINT) reach a window and can be counted. Create,
// use and destroy it on one thread.
class TestProgressWindow final {
public:
    TestProgressWindow();
    ~TestProgressWindow();

    CProgressBmpCtrl& ProgressBar() { return bar_; }
    // The bar as transfers see it.
    IProgressSink* Sink();

    struct RepaintRequests {
        bool invalidated = false;
        int postedPaints = 0;
    };
    // What the bar asked of its window since the window was made or last
    // asked; the requests are taken out of the window's queue.
    RepaintRequests TakeRepaintRequests();

private:
    UniqueWindow window_;
    CProgressBmpCtrl bar_;
    // The main window's adapter; the tests of the layers below the window
    // see only what it adapts to.
    std::unique_ptr<CProgressBarSink> sink_;
};
