#include "framework/worker_thread.h"

#include <process.h>

#include <memory>
#include <optional>
#include <utility>

namespace {

using Work = std::function<void()>;

unsigned __stdcall ThreadMain(void* argument) noexcept {
    const std::unique_ptr<Work> work(static_cast<Work*>(argument));
    (*work)();
    return 0;
}

}  // namespace

CWorkerThread CWorkerThread::Start(std::function<void()> work) {
    auto owned = std::make_unique<Work>(std::move(work));
    const uintptr_t handle = _beginthreadex(nullptr, 0, ThreadMain, owned.get(), 0, nullptr);
    if (handle == 0) return CWorkerThread();
    owned.release();  // the thread owns the work now
    return CWorkerThread(reinterpret_cast<HANDLE>(handle));
}

void CWorkerThread::WaitPumpingMessages() const {
    if (!handle_) return;
    const HANDLE thread = handle_.Get();
    std::optional<WPARAM> quitCode;
    // MWMO_INPUTAVAILABLE: also wake for messages that came before the wait.
    while (MsgWaitForMultipleObjectsEx(1, &thread, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE) ==
           WAIT_OBJECT_0 + 1) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quitCode = message.wParam;
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (quitCode) PostQuitMessage(static_cast<int>(*quitCode));
}
