// The main window's side of a run: it shows each step as the driver reports
// it, and the outcome once the driver thread has ended.
#include "framework/window_text.h"
#include "resources/resource_ids.h"
#include "window/ruv_installer_dlg.h"
#include "window/window_messages.h"

void CRUVInstallerDlg::StartRunDriver() {
    running_ = true;
    driverThread_ = CWorkerThread::Start([this] {
        driver_.Run();
        PostMessageW(hwnd, kRunEndedMessage, 0, 0);
    });
    if (!driverThread_) running_ = false;
}

void CRUVInstallerDlg::ShowRunning(const COperatorBase& operation) {
    SetWindowTextAnsi(statusLine_.hwnd, window_messages::kRunningPrefix + operation.label +
                                            window_messages::kRunningSuffix);
    EnableWindow(Item(IDCANCEL), operation.cancelEnabled);
}

void CRUVInstallerDlg::ShowOutcome(int row, const COperatorBase& operation, RowIcon icon) {
    const int first = icon == RowIcon::Succeeded        ? IDC_ROW_SUCCESS_FIRST
                      : icon == RowIcon::FailedBlocking ? IDC_ROW_BLOCKING_FIRST
                                                        : IDC_ROW_NONBLOCKING_FIRST;
    if (row < static_cast<int>(kMaxOperationCount)) ShowWindow(Item(first + row), SW_SHOW);
    SetWindowTextAnsi(statusLine_.hwnd, operation.label);
}

void CRUVInstallerDlg::AddProgress(int points) {
    // SetPos raises to the lower bound, cuts to the upper one and asks the
    // visible bar to repaint.
    progressBar_.SetPos(progressBar_.GetPos() + points);
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

    if (!driver_.Succeeded()) {
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
