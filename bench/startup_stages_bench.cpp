// Where the installer's time to its window goes, stage by stage: the
// installer program itself (its application object, built from its own
// sources with this entry point instead of its own), with hooks on the main
// thread that stamp
//   the process start, up to main;
//   everything before the window: the command line, the install log, the
//     set-up (common controls, GDI+, the work folder, the XML runtime), the
//     exchange with the server, the window object (background picture,
//     font), up to the creation of the main window;
//   the dialog from its template, up to WM_INITDIALOG;
//   OnInitDialog up to the font: the controls placed and skinned (their
//     pictures loaded);
//   the rest of OnInitDialog: the font, the region, the progress bar (two
//     more pictures), the run driver started;
//   the window shown.
// Then closes the window as a user would.
//
// Needs what the installer needs: an installed installer whose configuration
// names a running server. Takes the installer's command line. Prints one
// "milliseconds<TAB>stage" line per stage for scripts/bench; fails (exit 1)
// when another window than the main window comes up, or none.

#include <windows.h>

#include <cstdio>
#include <string>

#include "bench_measure.h"
#include "platform/unique_handle.h"
#include "resources/resource_ids.h"
#include "startup/ruv_installer_app.h"

namespace {

constexpr wchar_t kDialogClass[] = L"#32770";

struct HookTraits {
    using Handle = HHOOK;
    static Handle Empty() { return nullptr; }
    static void Close(Handle hook) { UnhookWindowsHookEx(hook); }
};
using Hook = UniqueHandle<HookTraits>;

// The installer's stages, stamped by the hooks on the main thread.
struct Stages {
    BenchTimer sinceMain;
    HWND dialog = nullptr;
    double created = 0;
    double initBegins = 0;
    double fontSent = 0;
    double initEnds = 0;
    bool reported = false;
    Hook cbtHook;
    Hook callHook;
    Hook returnHook;
};
Stages* stages = nullptr;

bool IsDialog(HWND window) {
    wchar_t name[16] = L"";
    GetClassNameW(window, name, 16);
    return std::wstring(name) == kDialogClass;
}

LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam) {
    const auto window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND && stages->dialog == nullptr && GetParent(window) == nullptr &&
        IsDialog(window)) {
        stages->dialog = window;
        stages->created = stages->sinceMain.Milliseconds();
    }
    return CallNextHookEx(stages->cbtHook.Get(), code, wParam, lParam);
}

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
               "OnInitDialog from the font on: font, region, progress bar, run driver");
    PrintStage(shown - stages->initEnds, "shown");
    PrintStage(MillisecondsSinceCreation(GetCurrentProcess()), "visible, from process creation");
    std::fflush(stdout);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
}

LRESULT CALLBACK BeforeMessage(int code, WPARAM wParam, LPARAM lParam) {
    const auto& call = *reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (call.hwnd == stages->dialog) {
        switch (call.message) {
            case WM_INITDIALOG:
                InitDialogBegins(call.hwnd);
                break;
            case WM_SETFONT:
                FontSent();
                break;
            case WM_SHOWWINDOW:
                if (call.wParam) Shown(call.hwnd);
                break;
            default:
                break;
        }
    }
    return CallNextHookEx(stages->callHook.Get(), code, wParam, lParam);
}

LRESULT CALLBACK AfterMessage(int code, WPARAM wParam, LPARAM lParam) {
    const auto& call = *reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (call.hwnd == stages->dialog && call.message == WM_INITDIALOG) {
        stages->initEnds = stages->sinceMain.Milliseconds();
    }
    return CallNextHookEx(stages->returnHook.Get(), code, wParam, lParam);
}

}  // namespace

int main() {
    PrintStage(MillisecondsSinceCreation(GetCurrentProcess()), "process start, up to main");
    Stages watched;
    stages = &watched;
    const DWORD thread = GetCurrentThreadId();
    watched.cbtHook.Reset(SetWindowsHookExW(WH_CBT, OnCbt, nullptr, thread));
    watched.callHook.Reset(SetWindowsHookExW(WH_CALLWNDPROC, BeforeMessage, nullptr, thread));
    watched.returnHook.Reset(SetWindowsHookExW(WH_CALLWNDPROCRET, AfterMessage, nullptr, thread));
    if (!watched.cbtHook || !watched.callHook || !watched.returnHook) {
        std::fputs("cannot hook the window's messages\n", stderr);
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
