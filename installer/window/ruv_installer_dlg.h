#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "framework/worker_thread.h"
#include "operations/operator_base.h"
#include "skin/dlg_ex.h"
#include "skin/progress_bmp_ctrl.h"
#include "startup/installer_context.h"
#include "startup/xml_document.h"
#include "window/progress_window.h"

// The installer's main window. Constructing it does everything that comes
// before the window: the context and its work folder, the XML runtime, and
// the exchange with the server, with the proxy prompt after each failure.
// The window is worth showing only when that left operations to run
// (CanRun). It then runs them on a driver thread, one row per operation,
// and ends with OK (start the product) or Retry and Exit.
class CRUVInstallerDlg : public CDlgEx, public IProgressWindow {
public:
    CRUVInstallerDlg();
    ~CRUVInstallerDlg() override;

    bool CanRun() const { return canRun_; }
    CProgressBmpCtrl& ProgressBar() override { return progressBar_; }

protected:
    void DoDataExchange(CDataExchange& exchange) override;
    BOOL OnInitDialog() override;
    void LayoutControls() override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnOK() override;
    void OnCancel() override;
    std::optional<LRESULT> HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Start-up (ruv_installer_startup.cpp).
    void RunProxyPromptLoop();
    void AskForProxy();

    // Skin (main_window_skin.cpp).
    void SetUpProgressBar();

    // Run driver (run_driver.cpp).
    void StartRunDriver();
    void RunDriverThread();
    int RunOneOperation(int row, COperatorBase& operation);
    void OnRunEnded();
    void FinishRun();
    static void OperationThread(COperatorBase& operation);
    // Posted by the driver as its last act; the window thread then shows the
    // end of the run.
    static constexpr UINT kRunEndedMessage = WM_APP + 1;

    void OnLaunch();
    void OnRetry();
    void PaintMinimised();
    HWND Item(int id) const { return GetDlgItem(hwnd, id); }

    HICON icon_ = nullptr;  // shared resource icon, never destroyed
    CInstallerContext context_;
    CXmlRuntime xmlRuntime_;
    bool canRun_ = false;
    CWindow statusLine_;
    OperationList operations_;
    CProgressBmpCtrl progressBar_;
    std::atomic<int> skippedCount_{0};
    std::atomic<int> doneCount_{0};
    std::string skinFolder_;
    std::string failureText_;
    bool userProxyEnabled_ = false;
    std::vector<std::string> userProxySettings_;

    // From the start of a driver thread until the window thread has seen it
    // end; only the window thread reads or writes it. Meanwhile Retry and OK
    // are ignored, and closing the window ends the process, as the threads
    // still use the window and the operations.
    bool running_ = false;
    CWorkerThread driverThread_;
};
