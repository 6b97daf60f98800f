#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/worker_thread.h"
#include "net/proxy_settings.h"
#include "operations/operator_base.h"
#include "skin/dlg_ex.h"
#include "skin/progress_bmp_ctrl.h"
#include "window/progress_bar_sink.h"
#include "window/run_driver.h"

// The installer's main window: runs the operations the server listed on a
// driver thread, one row per operation, and ends with OK (start the
// product) or Retry and Exit.
class CRUVInstallerDlg : public CDlgEx, private IRunView {
public:
    // skinFolder is the installer's install folder, with its trailing
    // backslash. The operations send through proxy. launch is what OK does
    // after a run that succeeded, on the window thread before the window
    // closes: start the product. picturesAhead, when there is one, holds
    // pictures decoded ahead (PicturesToDecodeAhead) and outlives the window.
    CRUVInstallerDlg(std::string skinFolder, OperationList& operations, ProxyChoice proxy,
                     std::function<void()> launch, CPicturePrefetch* picturesAhead = nullptr);
    ~CRUVInstallerDlg() override;

    // The pictures of the window's first paint.
    static PicturesAhead PicturesToDecodeAhead(const std::string& skinFolder);

protected:
    void DoDataExchange(CDataExchange& exchange) override;
    BOOL OnInitDialog() override;
    void LayoutControls() override;
    void OnPicturesComplete() override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnOK() override;
    void OnCancel() override;
    std::optional<LRESULT> HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Skin (main_window_skin.cpp).
    static std::string BackgroundPicture(const std::string& skinFolder);
    void SetUpProgressBar();
    std::unique_ptr<Gdiplus::Bitmap> ProgressPicture(const char* name);

    // The window's side of a run (main_window_run.cpp).
    void StartRunDriver();
    void ShowRunning(const COperatorBase& operation) override;
    void ShowOutcome(int row, const COperatorBase& operation, RowIcon icon) override;
    void AddProgress(int points) override;
    void OnRunEnded();
    void FinishRun();
    // Posted by the driver thread as its last act; the window thread then
    // shows the end of the run.
    static constexpr UINT kRunEndedMessage = WM_APP + 1;

    void OnRetry();
    void PaintMinimised();
    HWND Item(int id) const { return GetDlgItem(hwnd, id); }

    HICON icon_ = nullptr;  // shared resource icon, never destroyed
    std::string skinFolder_;
    OperationList& operations_;
    ProxyChoice proxy_;
    std::function<void()> launch_;
    CRunDriver driver_;
    CWindow statusLine_;
    CProgressBmpCtrl progressBar_;
    // What the operations move the progress bar through.
    CProgressBarSink progressSink_{progressBar_};
    std::string failureText_;

    // From the start of a driver thread until the window thread has seen it
    // end; only the window thread reads or writes it. Meanwhile Retry and OK
    // are ignored, and closing the window ends the process, as the threads
    // still use the window and the operations.
    bool running_ = false;
    CWorkerThread driverThread_;
};
