// Time from a program's start to its window on screen. Starts the program,
// looks every millisecond for a visible top-level window of its process that
// holds the program's marker control, then ends the program. Prints the
// milliseconds from the creation of the process to the moment the window was
// found. Fails (exit 1) when no such window comes within 30 s.
//
// ruvi_window_bench installer PROGRAM   the installer's main window
// ruvi_window_bench dialog PROGRAM      ruvi_bare_dialog's dialog

#include <windows.h>

#include <cstdio>
#include <string>

#include "bare_dialog_ids.h"
#include "bench_measure.h"
#include "operations/kernel_handle.h"
#include "resources/resource_ids.h"

namespace {

constexpr DWORD kDeadlineMs = 30000;

struct WindowSearch {
    DWORD processId;
    int markerId;
    bool found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId || !IsWindowVisible(window)) return TRUE;
    if (GetDlgItem(window, search.markerId) == nullptr) return TRUE;
    search.found = true;
    return FALSE;
}

bool WindowShown(DWORD processId, int markerId) {
    WindowSearch search{processId, markerId, false};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string kind = argc == 3 ? argv[1] : "";
    if (kind != "installer" && kind != "dialog") {
        std::fputs("usage: ruvi_window_bench installer|dialog PROGRAM\n", stderr);
        return 2;
    }
    const int markerId = kind == "installer" ? IDC_STATUS_LINE : IDC_BARE_TEXT;
    const std::string program = argv[2];

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string commandLine = "\"" + program + "\"";
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info)) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", program.c_str(), GetLastError());
        return 1;
    }
    const KernelHandle process(info.hProcess);
    const KernelHandle thread(info.hThread);

    double milliseconds = -1.0;
    const Stopwatch deadline;
    while (deadline.Milliseconds() < kDeadlineMs &&
           WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT) {
        if (WindowShown(info.dwProcessId, markerId)) {
            milliseconds = MillisecondsSinceCreation(process.Get());
            break;
        }
        Sleep(1);
    }
    TerminateProcess(process.Get(), 0);
    WaitForSingleObject(process.Get(), kDeadlineMs);
    if (milliseconds < 0) {
        std::fprintf(stderr, "%s showed no window\n", program.c_str());
        return 1;
    }
    std::printf("%.1f\n", milliseconds);
    return 0;
}
