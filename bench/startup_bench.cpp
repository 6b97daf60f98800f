// Where the installer's time to its window goes. Needs what the installer
// needs: an installed installer whose configuration names a running server.
// Each mode runs in a fresh process, so that every stage pays its first-use
// costs (libraries loaded, caches filled) as it does in the installer.
//
// ruvi_startup_bench window
//   Runs the installer's own application object, as its entry point does,
//   and stamps its stages through hooks on this thread:
//     the process start, up to main;
//     the set-up and the window object (common controls, GDI+, the work
//       folder, the XML runtime, the exchange with the server, the
//       background picture), up to the creation of the main window;
//     the dialog from its template, up to WM_INITDIALOG;
//     OnInitDialog up to the font: the controls placed and skinned (their
//       pictures loaded);
//     the rest of OnInitDialog: the font, the region, the progress bar (two
//       more pictures), the run driver started;
//     the window shown.
//   Then closes the window as a user would.
// ruvi_startup_bench steps
//   Takes the installer's start-up steps on their own, in its order:
//   set-up (common controls, GDI+, work folder, XML runtime), then
//   RunInitialExchange, then LoadSkinImage on every picture of the main
//   window's folders. Then splits the exchange by repeating it and its two
//   last steps, now warm, on the answer it got: the decode (DecodeResponse)
//   and the parse (ParseResponse: the XML, the version check and the
//   operation factory).
//
// Prints one "milliseconds<TAB>stage" line per stage for scripts/bench;
// fails (exit 1) when a step fails or another window than the main window
// comes up.

#include <windows.h>
// needs windows.h before it
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_measure.h"
#include "net/initial_exchange.h"
#include "platform/unique_handle.h"
#include "resources/resource_ids.h"
#include "skin/gdiplus_session.h"
#include "skin/load_skin_image.h"
#include "skin/skin_files.h"
#include "startup/installer_context.h"
#include "startup/local_paths.h"
#include "startup/ruv_installer_app.h"
#include "startup/xml_document.h"

namespace {

constexpr DWORD kAllCommonControlClasses = 0xFF;
constexpr char kInstallerProductKey[] = "RUVI";
constexpr wchar_t kDialogClass[] = L"#32770";
constexpr int kWarmRepeats = 5;

void Report(double milliseconds, const std::string& stage) {
    std::printf("%.2f\t%s\n", milliseconds, stage.c_str());
}

struct HookTraits {
    using Handle = HHOOK;
    static Handle Empty() { return nullptr; }
    static void Close(Handle hook) { UnhookWindowsHookEx(hook); }
};
using Hook = UniqueHandle<HookTraits>;

// The installer's stages, stamped by the hooks on the main thread.
struct Stages {
    Stopwatch sinceMain;
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
    Report(stages->created, "set-up and window object, up to the window's creation");
    Report(stages->initBegins - stages->created, "dialog from its template");
    Report(stages->fontSent - stages->initBegins,
           "OnInitDialog up to the font: controls placed and skinned (pictures)");
    Report(stages->initEnds - stages->fontSent,
           "OnInitDialog from the font on: font, region, progress bar, run driver");
    Report(shown - stages->initEnds, "shown");
    Report(MillisecondsSinceCreation(GetCurrentProcess()), "visible, from process creation");
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

void RunInstallerWithStages() {
    Report(MillisecondsSinceCreation(GetCurrentProcess()), "process start, up to main");
    Stages watched;
    stages = &watched;
    const DWORD thread = GetCurrentThreadId();
    watched.cbtHook.Reset(SetWindowsHookExW(WH_CBT, OnCbt, nullptr, thread));
    watched.callHook.Reset(SetWindowsHookExW(WH_CALLWNDPROC, BeforeMessage, nullptr, thread));
    watched.returnHook.Reset(SetWindowsHookExW(WH_CALLWNDPROCRET, AfterMessage, nullptr, thread));
    if (!watched.cbtHook || !watched.callHook || !watched.returnHook) {
        throw std::runtime_error("cannot hook the window's messages");
    }
    CRUVInstallerApp application;
    application.Run();
    if (!watched.reported) throw std::runtime_error("the installer showed no window");
}

// The median time of kWarmRepeats calls of work.
double WarmMilliseconds(const std::function<void()>& work) {
    std::vector<double> times;
    for (int repeat = 0; repeat < kWarmRepeats; ++repeat) {
        const Stopwatch watch;
        work();
        times.push_back(watch.Milliseconds());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void Exchange(CInstallerContext& context) {
    OperationList operations;
    if (!RunInitialExchange(operations, context)) {
        throw std::runtime_error("the exchange failed: " + context.lastError);
    }
}

// Every picture of the main window's skin folders; their number.
int LoadMainWindowSkin() {
    const std::string skin = ReadInstallPath(kInstallerProductKey) + skin_files::kSkinFolder;
    int loaded = 0;
    // The main window's buttons borrow two sets from the dialogs' shared folder.
    for (const char* folder : {skin_files::kRuviFolder, "Public\\"}) {
        const std::string pattern = skin + folder + "*" + skin_files::kPictureExtension;
        WIN32_FIND_DATAA found;
        const HANDLE search = FindFirstFileA(pattern.c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) throw std::runtime_error("no pictures: " + pattern);
        do {
            if (!LoadSkinImage(skin + folder + found.cFileName)) {
                FindClose(search);
                throw std::runtime_error(std::string("cannot load ") + found.cFileName);
            }
            ++loaded;
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return loaded;
}

void RunSteps() {
    Stopwatch watch;
    INITCOMMONCONTROLSEX controls{sizeof(controls), kAllCommonControlClasses};
    InitCommonControlsEx(&controls);
    const CGdiplusSession gdiplus;
    CInstallerContext context;
    const CXmlRuntime xmlRuntime;
    Report(watch.Milliseconds(), "set-up: common controls, GDI+, work folder, XML runtime");

    watch.Restart();
    Exchange(context);
    Report(watch.Milliseconds(),
           "exchange: RunInitialExchange, first call (configuration, post, decode, parse)");

    watch.Restart();
    const int pictures = LoadMainWindowSkin();
    Report(watch.Milliseconds(),
           "skin: LoadSkinImage on the main window's " + std::to_string(pictures) + " pictures");

    Report(WarmMilliseconds([&context] { Exchange(context); }),
           "exchange: RunInitialExchange, again");
    const ByteVector answer = context.httpClient.response;
    ByteVector plain;
    Report(WarmMilliseconds([&] {
               plain.clear();
               DecodeResponse(context.config.encryptionMode, answer, plain, context.config.desKey);
           }),
           "  of which decode: DecodeResponse");
    Report(WarmMilliseconds([&] {
               OperationList operations;
               ParseResponse(plain.data(), plain.size(), context, operations);
           }),
           "  of which parse: ParseResponse (XML, version check, operation factory)");
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc == 2 ? argv[1] : "";
    try {
        if (mode == "window") {
            RunInstallerWithStages();
        } else if (mode == "steps") {
            RunSteps();
        } else {
            std::fputs("usage: ruvi_startup_bench window|steps\n", stderr);
            return 2;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
