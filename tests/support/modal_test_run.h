#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>

// Test support: runs a modal dialog on a thread of its own, so that the test
// can drive it from its own thread the way a user would (messages, clicks,
// keys). Every wait has a deadline. The dialog always ends: the destructor
// cancels a dialog that is still open and joins the thread.
class CModalTestRun {
public:
    // run creates the dialog object on the new thread and runs it modally.
    explicit CModalTestRun(std::function<INT_PTR()> run);
    ~CModalTestRun();
    CModalTestRun(const CModalTestRun&) = delete;
    CModalTestRun& operator=(const CModalTestRun&) = delete;

    // The dialog's window once it is visible; null when it did not appear in
    // time or the run ended first.
    HWND WaitForWindow();
    // The dialog's result once the run has ended; -2 when it did not end in time.
    INT_PTR WaitForResult();
    bool Ended() const { return ended_; }
    DWORD ThreadId() const { return threadId_; }

    // Posts a key press (down and up) to the control that has the focus in
    // the dialog's thread, as the keyboard would deliver it.
    void PressKey(WPARAM key);

private:
    std::atomic<DWORD> threadId_{0};
    std::atomic<bool> ended_{false};
    std::atomic<INT_PTR> result_{0};
    std::thread thread_;
};

// Waits until condition() holds, checking every few milliseconds; false when
// the deadline passed first.
bool WaitUntil(const std::function<bool()>& condition, DWORD deadlineMs = 10000);
