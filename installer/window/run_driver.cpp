// The run driver: runs the operation list on a thread of its own, one
// operation thread at a time, and shows each step; the window thread shows
// the outcome once the driver has ended.
#include <algorithm>

#include "framework/window_text.h"
#include "resources/resource_ids.h"
#include "window/ruv_installer_dlg.h"
#include "window/window_messages.h"

namespace {

// Keeps each step on screen long enough to be read.
constexpr DWORD kPauseBeforeOperation = 3000;
// The bottom row: a failure there adds nothing to the progress.
constexpr int kLastRow = 4;

}  // namespace

void CRUVInstallerDlg::StartRunDriver() {
    running_ = true;
    driverThread_ = CWorkerThread::Start([this] { RunDriverThread(); });
    if (!driverThread_) running_ = false;
}

void CRUVInstallerDlg::RunDriverThread() {
    doneCount_ = 0;
    skippedCount_ = 0;
    int row = 0;
    for (std::size_t index = 0; index < operations_.size(); ++index) {
        COperatorBase& operation = *operations_[index];
        Sleep(kPauseBeforeOperation);
        if (operation.skipped) {
            ++skippedCount_;
            ++row;
            continue;
        }
        const int rc = RunOneOperation(row, operation);
        // A blocking failure leaves its row to the next operation.
        if (rc == -1 && operation.blocking) continue;
        ++doneCount_;
        if (rc == 1) {
            const std::size_t end = std::min(
                operations_.size(),
                index + 1 + static_cast<std::size_t>(std::max(0, operation.skipCountOnSuccess)));
            for (std::size_t next = index + 1; next < end; ++next)
                operations_[next]->skipped = true;
        }
        ++row;
    }
    PostMessageW(hwnd, kRunEndedMessage, 0, 0);
}

int CRUVInstallerDlg::RunOneOperation(int row, COperatorBase& operation) {
    SetWindowTextAnsi(statusLine_.hwnd, window_messages::kRunningPrefix + operation.label +
                                            window_messages::kRunningSuffix);
    EnableWindow(Item(IDCANCEL), operation.cancelEnabled);

    OperationThread(operation);

    int rc = 0;
    int icon = IDC_ROW_SUCCESS_FIRST;
    if (operation.result.code != 0) {
        rc = -1;
        icon = operation.blocking ? IDC_ROW_BLOCKING_FIRST : IDC_ROW_NONBLOCKING_FIRST;
    } else if (operation.result.skipFollowing) {
        rc = 1;
    }
    // Only five rows have icons.
    if (row <= kLastRow) ShowWindow(Item(icon + row), SW_SHOW);
    SetWindowTextAnsi(statusLine_.hwnd, operation.label);

    if (!(row == kLastRow && rc == -1)) {
        // SetPos raises to the lower bound, cuts to the upper one and asks
        // the visible bar to repaint.
        progressBar_.SetPos(progressBar_.GetPos() + operation.GetProgressWeight());
    }
    return rc;
}

void CRUVInstallerDlg::OperationThread(COperatorBase& operation) {
    CWorkerThread thread = CWorkerThread::Start([&operation] { operation.Run(); });
    if (!thread) {
        // No thread to be had: run it here rather than not at all.
        operation.Run();
        return;
    }
    WaitForSingleObject(thread.Handle(), INFINITE);
}

void CRUVInstallerDlg::OnRunEnded() {
    // Nothing of the driver is left to run but its return; once it is gone,
    // Retry can start the next one.
    driverThread_.WaitPumpingMessages();
    running_ = false;
    FinishRun();
}

void CRUVInstallerDlg::FinishRun() {
    ShowWindow(Item(IDC_BUSY_PICTURE), SW_HIDE);
    ShowWindow(statusLine_.hwnd, SW_HIDE);
    ShowWindow(Item(IDCANCEL), SW_HIDE);

    const int accounted = doneCount_ + skippedCount_;
    if (accounted < static_cast<int>(operations_.size())) {
        const HWND failureText = Item(IDC_FAILURE_TEXT);
        SetWindowTextAnsi(failureText, window_messages::kRunFailed);
        EnableWindow(failureText, FALSE);
        ShowWindow(failureText, SW_SHOW);
        ShowWindow(Item(IDC_RUN_FAILED_PICTURE), SW_SHOW);
        ShowWindow(Item(IDC_RETRY), SW_SHOW);
        ShowWindow(Item(IDC_EXIT), SW_SHOW);
        ShowWindow(Item(IDOK), SW_HIDE);
        return;
    }
    const HWND successText = Item(IDC_SUCCESS_TEXT);
    SetWindowTextAnsi(successText, window_messages::kRunSucceeded);
    ShowWindow(successText, SW_SHOW);
    ShowWindow(Item(IDC_RUN_SUCCEEDED_PICTURE), SW_SHOW);
    EnableWindow(Item(IDOK), TRUE);
    ShowWindow(Item(IDOK), SW_SHOW);
    ShowWindow(Item(IDC_RETRY), SW_HIDE);
    ShowWindow(Item(IDC_EXIT), SW_HIDE);
    ShowWindow(progressBar_.hwnd, SW_HIDE);
}
