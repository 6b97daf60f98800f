#include "window/ruv_installer_dlg.h"

#include <utility>

#include "framework/data_exchange.h"
#include "framework/device_context.h"
#include "framework/window_text.h"
#include "platform/install_log.h"
#include "resources/resource_ids.h"
#include "skin/skin_files.h"
#include "window/repaint_behind.h"
#include "window/window_messages.h"

namespace {

constexpr int kFontHeight = 17;
constexpr COLORREF kTextColour = RGB(150, 150, 150);
constexpr RECT kWindow{0, 0, 414, 492};
// Keeps each step on screen long enough to be read.
constexpr DWORD kPauseBeforeOperation = 3000;

}  // namespace

CRUVInstallerDlg::CRUVInstallerDlg(std::string skinFolder, OperationList& operations,
                                   ProxyChoice proxy, std::function<void()> launch,
                                   CPicturePrefetch* picturesAhead)
    : CDlgEx(IDD_RUVINSTALLER_DIALOG, nullptr),
      skinFolder_(std::move(skinFolder)),
      operations_(operations),
      proxy_(std::move(proxy)),
      launch_(std::move(launch)),
      driver_(operations, *this, kPauseBeforeOperation) {
    icon_ = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    UsePicturesDecodedAhead(picturesAhead);
    InitSkin(BackgroundPicture(skinFolder_), kFontHeight, kTextColour, kWindow.left, kWindow.top,
             kWindow.right, kWindow.bottom);
}

CRUVInstallerDlg::~CRUVInstallerDlg() {
    // Only reached once no run is in progress (a close during a run ends the
    // process), so this wait is short; it handles messages all the same, so
    // that a driver calling into the window could never hold it up for good.
    driverThread_.WaitPumpingMessages();
}

void CRUVInstallerDlg::DoDataExchange(CDataExchange& exchange) {
    CDlgEx::DoDataExchange(exchange);
    DdxControl(exchange, IDC_STATUS_LINE, statusLine_);
    DdxControl(exchange, IDC_PROGRESS, progressBar_);
    DdxText(exchange, IDC_FAILURE_TEXT, failureText_);
}

BOOL CRUVInstallerDlg::OnInitDialog() {
    CDlgEx::OnInitDialog();
    SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    SetWindowTextAnsi(hwnd, window_messages::kWindowTitle);
    SetUpProgressBar();

    int captionId = IDC_ROW_CAPTION_FIRST;
    for (const auto& operation : operations_) {
        SetWindowTextAnsi(Item(captionId++), operation->label);
        operation->PrepareRun(proxy_, &progressSink_);
    }
    SetWindowTextAnsi(statusLine_.hwnd, window_messages::kInitialising);
    return TRUE;
}

void CRUVInstallerDlg::OnPicturesComplete() {
    // Only now: the run shows row icons and buttons that start hidden.
    StartRunDriver();
}

HBRUSH CRUVInstallerDlg::OnCtlColor(HDC dc, HWND control, UINT kind) {
    const HBRUSH brush = CDlgEx::OnCtlColor(dc, control, kind);
    switch (GetDlgCtrlID(control)) {
        case IDC_FAILURE_TEXT:
        case IDC_STATUS_LINE:
            SetBkMode(dc, OPAQUE);
            break;
        default:
            break;
    }
    return brush;
}

bool CRUVInstallerDlg::OnCommand(UINT id, UINT code, HWND control) {
    // The read-only texts take the focus when they are clicked.
    if (code == EN_SETFOCUS &&
        (id == IDC_FAILURE_TEXT || id == IDC_STATUS_LINE || id == IDC_SUCCESS_TEXT)) {
        SetFocus(Item(IDC_MINIMISE));
        return true;
    }
    if (code == EN_CHANGE) {
        RepaintBehind(hwnd, control);
        return true;
    }
    if (code == BN_CLICKED) {
        switch (id) {
            case IDC_CLOSE:
            case IDC_EXIT:
                OnCancel();
                return true;
            case IDC_MINIMISE:
                ShowWindow(hwnd, SW_MINIMIZE);
                return true;
            case IDC_RETRY:
                OnRetry();
                return true;
            default:
                break;
        }
    }
    return CDlgEx::OnCommand(id, code, control);
}

void CRUVInstallerDlg::OnOK() {
    // Enter reaches here as well; the product may start only after a run
    // that succeeded, which is when OK is there to press.
    const HWND ok = Item(IDOK);
    if (running_ || !IsWindowVisible(ok) || !IsWindowEnabled(ok)) return;
    install_log::Write("ok");
    launch_();
    EndDialog(IDOK);
}

void CRUVInstallerDlg::OnCancel() {
    install_log::Write("close", {{"during-run", running_}});
    // The driver and operation threads use this window and the operations
    // until they end, and an operation may wait for minutes: end the process
    // rather than destroy what they still use.
    if (running_) ExitProcess(0);
    CDlgEx::OnCancel();
}

std::optional<LRESULT> CRUVInstallerDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kRunEndedMessage:
            OnRunEnded();
            return 0;
        case WM_PAINT:
            if (!IsIconic(hwnd)) break;
            PaintMinimised();
            return 0;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<LRESULT>(icon_);
        default:
            break;
    }
    return CDlgEx::HandleMessage(message, wParam, lParam);
}

void CRUVInstallerDlg::PaintMinimised() {
    CPaintDC paint(hwnd);
    SendMessageW(hwnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.Get()), 0);
    RECT client{};
    GetClientRect(hwnd, &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(paint.Get(), x, y, icon_);
}

void CRUVInstallerDlg::OnRetry() {
    // Only after a failed run: never while a driver is still about, whose
    // end would be taken for the new run's.
    if (running_ || !IsWindowVisible(Item(IDC_RETRY))) return;
    install_log::Write("retry");
    progressBar_.SetPos(0);
    for (const int id : {IDC_RUN_FAILED_PICTURE, IDC_FAILURE_TEXT, IDC_RETRY, IDC_EXIT}) {
        ShowWindow(Item(id), SW_HIDE);
    }
    ShowWindow(Item(IDCANCEL), SW_SHOW);
    for (int row = 0; row < static_cast<int>(kMaxOperationCount); ++row) {
        for (const int first :
             {IDC_ROW_BLOCKING_FIRST, IDC_ROW_SUCCESS_FIRST, IDC_ROW_NONBLOCKING_FIRST}) {
            ShowWindow(Item(first + row), SW_HIDE);
        }
    }
    ShowWindow(Item(IDC_BUSY_PICTURE), SW_SHOW);
    ShowWindow(statusLine_.hwnd, SW_SHOW);
    SetWindowTextAnsi(statusLine_.hwnd, window_messages::kInitialising);
    StartRunDriver();
}
