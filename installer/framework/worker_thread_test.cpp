#include "framework/worker_thread.h"

#include <gtest/gtest.h>

#include <atomic>

#include "modal_test_run.h"
#include "platform/kernel_handle.h"

namespace {

// A manual-reset event the test opens to let the work finish.
class CGate {
public:
    CGate() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    void Open() { SetEvent(event_.Get()); }
    void Pass() { WaitForSingleObject(event_.Get(), 10000); }

private:
    KernelHandle event_;
};

TEST(WorkerThread, RunsTheWorkOnAnotherThreadAndSignalsItsEnd) {
    CGate gate;
    std::atomic<DWORD> workThread{0};
    CWorkerThread thread = CWorkerThread::Start([&] {
        workThread = GetCurrentThreadId();
        gate.Pass();
    });
    ASSERT_TRUE(thread);
    EXPECT_EQ(WaitForSingleObject(thread.Handle(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

    gate.Open();
    EXPECT_EQ(WaitForSingleObject(thread.Handle(), 10000), WAIT_OBJECT_0);
    EXPECT_NE(workThread.load(), 0u);
    EXPECT_NE(workThread.load(), GetCurrentThreadId());
}

TEST(WorkerThread, WorkOutlivesTheObjectThatStartedIt) {
    CGate gate;
    std::atomic<bool> finished{false};
    {
        CWorkerThread thread = CWorkerThread::Start([&] {
            gate.Pass();
            finished = true;
        });
        CWorkerThread movedTo = std::move(thread);
        EXPECT_FALSE(thread);
        EXPECT_TRUE(movedTo);
    }
    gate.Open();
    EXPECT_TRUE(WaitUntil([&] { return finished.load(); }));
}

TEST(WorkerThread, WaitingWithMessagesLetsTheWorkCallIntoThisThreadsWindows) {
    // A plain wait here would never return: the work's call waits for this
    // thread to handle it.
    const HWND window =
        CreateWindowW(L"STATIC", L"before", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    CWorkerThread thread =
        CWorkerThread::Start([window] { SetWindowTextW(window, L"set by the work"); });
    ASSERT_TRUE(thread);
    thread.WaitPumpingMessages();
    EXPECT_EQ(WaitForSingleObject(thread.Handle(), 0), WAIT_OBJECT_0);
    wchar_t text[32] = {};
    GetWindowTextW(window, text, 32);
    EXPECT_STREQ(text, L"set by the work");
    DestroyWindow(window);
}

}  // namespace
