// Where the installer's time to its window goes, stage by stage: the
// installer program itself (its application object, built from its own
// sources with this entry point instead of its own), with its main window
// watched from its creation on (a subclass put on in a creation hook: hooks
// on every message would cost a round trip to the Wine server each), to stamp
//   the process start, up to main;
//   everything before the window: the command line, the install log, the
//     set-up (common controls, GDI+, the work folder, the XML runtime), the
//     exchange with the server, the window object (background picture,
//     font), up to the creation of the main window;
//   the dialog from its template, up to WM_INITDIALOG;
//   OnInitDialog up to the font: the controls placed, those shown skinned
//     (the pictures of their first paint loaded; the rest come once the
//     window shows);
//   the rest of OnInitDialog: the font, the region, the progress bar (two
//     more pictures);
//   the window shown.
// Then closes the window as a user would.
//
// Needs what the installer needs: an installed installer whose configuration
// names a running server. Takes the installer's command line. Prints one
// "milliseconds<TAB>stage" line per stage for scripts/bench; fails (exit 1)
// when another window than the main window comes up, or none.

#include <windows.h>
// needs windows.h before it
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "bench_measure.h"
#include "platform/windows_hook.h"
#include "resources/resource_ids.h"
#include "startup/ruv_installer_app.h"

namespace {

constexpr wchar_t kDialogClass[] = L"#32770";

constexpr UINT_PTR kWatchId = 1;

// The installer's stages, stamped on the main thread.
struct Stages {
    BenchTimer sinceMain;
    HWND dialog = nullptr;
    double created = 0;
    double initBegins = 0;
    double fontSent = 0;
    double initEnds = 0;
    bool reported = false;
    WindowsHook creationHook;
};
Stages* stages = nullptr;

void InitDialogBegins(HWND dialog) {
    stages->initBegins = stages->sinceMain.Milliseconds();
    if (GetDlgItem(dialog, IDC_STATUS_LINE) == nullptr) {
        std::fputs("another window than the main window came up: did the exchange fail?\n", stderr);
        ExitProcess(1);
    }
}

void FontSent() {
    // The dialog's own font comes first once its controls are laid out.
    if (stages->initBegins > 0 && stages->fontSent == 0) {
        stages->fontSent = stages->sinceMain.Milliseconds();
    }
}

// Reports the stages, then closes the window as a user would.
void Shown(HWND dialog) {
    if (stages->reported) return;
    stages->reported = true;
    const double shown = stages->sinceMain.Milliseconds();
    PrintStage(stages->created, "before the window: command line, log, set-up, exchange");
    PrintStage(stages->initBegins - stages->created, "dialog from its template");
    PrintStage(stages->fontSent - stages->initBegins,
               "OnInitDialog up to the font: controls placed and skinned (pictures)");
    PrintStage(stages->initEnds - stages->fontSent,
               "OnInitDialog from the font on: font, region, progress bar");
    PrintStage(shown - stages->initEnds, "shown");
    PrintStage(MillisecondsSinceCreation(GetCurrentProcess()), "visible, from process creation");
    std::fflush(stdout);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
}

LRESULT CALLBACK WatchDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                             DWORD_PTR) {
    switch (message) {
        case WM_INITDIALOG: {
            InitDialogBegins(dialog);
            const LRESULT result = DefSubclassProc(dialog, message, wParam, lParam);
            stages->initEnds = stages->sinceMain.Milliseconds();
            return result;
        }
        case WM_SETFONT:
            FontSent();
            break;
        case WM_SHOWWINDOW:
            if (wParam) Shown(dialog);
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(dialog, WatchDialog, kWatchId);
            break;
        default:
            break;
    }
    return DefSubclassProc(dialog, message, wParam, lParam);
}

bool IsDialog(HWND window) {
    wchar_t name[16] = L"";
    GetClassNameW(window, name, 16);
    return std::wstring(name) == kDialogClass;
}

// Watches the first top-level dialog from its creation on.
LRESULT CALLBACK OnCreation(int code, WPARAM wParam, LPARAM lParam) {
    const auto window = reinterpret_cast<HWND>(wParam);
    const LRESULT result = CallNextHookEx(stages->creationHook.Get(), code, wParam, lParam);
    if (code == HCBT_CREATEWND && stages->dialog == nullptr && GetParent(window) == nullptr &&
        IsDialog(window)) {
        stages->dialog = window;
        stages->created = stages->sinceMain.Milliseconds();
        SetWindowSubclass(window, WatchDialog, kWatchId, 0);
        stages->creationHook.Reset();
    }
    return result;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    PrintStage(MillisecondsSinceCreation(GetCurrentProcess()), "process start, up to main");
    Stages watched;
    stages = &watched;
    watched.creationHook.Reset(
        SetWindowsHookExW(WH_CBT, OnCreation, nullptr, GetCurrentThreadId()));
    if (!watched.creationHook) {
        std::fputs("cannot watch the creation of windows\n", stderr);
        return 1;
    }
    // Closing the window during the run ends the process from inside; a run
    // that ends otherwise returns here.
    CRUVInstallerApp application;
    application.Run();
    if (!watched.reported) {
        std::fputs("the installer showed no window\n", stderr);
        return 1;
    }
    return 0;
}
