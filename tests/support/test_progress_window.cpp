#include "test_progress_window.h"

#include <stdexcept>

#include "window/progress_bar_sink.h"

TestProgressWindow::TestProgressWindow()
    : window_(CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 20, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr)),
      sink_(std::make_unique<CProgressBarSink>(bar_)) {
    if (!window_) throw std::runtime_error("cannot create the progress window");
    bar_.hwnd = window_.Get();
    // Start from a painted window with an empty queue.
    UpdateWindow(window_.Get());
    TakeRepaintRequests();
}

TestProgressWindow::~TestProgressWindow() = default;

IProgressSink* TestProgressWindow::Sink() { return sink_.get(); }

TestProgressWindow::RepaintRequests TestProgressWindow::TakeRepaintRequests() {
    RepaintRequests requests;
    RECT dirty;
    requests.invalidated = GetUpdateRect(window_.Get(), &dirty, FALSE) != FALSE;
    // Once validated, the window has no paint of the system's own pending,
    // so every WM_PAINT left in the queue is one that was posted.
    ValidateRect(window_.Get(), nullptr);
    MSG message;
    while (PeekMessageA(&message, window_.Get(), WM_PAINT, WM_PAINT, PM_REMOVE)) {
        ++requests.postedPaints;
    }
    return requests;
}
