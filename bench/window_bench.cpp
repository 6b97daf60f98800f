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
#include <exception>
#include <string>

#include "bare_dialog_ids.h"
#include "bench_measure.h"
#include "installer_process.h"
#include "operation_test_support.h"
#include "platform/kernel_handle.h"
#include "resources/resource_ids.h"

namespace {

constexpr unsigned kDeadlineMs = 30000;
constexpr unsigned kPollMs = 1;

}  // namespace

int main(int argc, char** argv) {
    const std::string kind = argc == 3 ? argv[1] : "";
    if (kind != "installer" && kind != "dialog") {
        std::fputs("usage: ruvi_window_bench installer|dialog PROGRAM\n", stderr);
        return 2;
    }
    const int markerId = kind == "installer" ? IDC_STATUS_LINE : IDC_BARE_TEXT;
    try {
        // Ended when it goes.
        const InstallerProcess process(argv[2]);
        const KernelHandle handle(
            OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process.Id()));
        double milliseconds = -1.0;
        ops_test::WaitUntil(
            [&] {
                if (process.FindWindowWith(markerId) != nullptr) {
                    milliseconds = MillisecondsSinceCreation(handle.Get());
                }
                return milliseconds >= 0 || !process.Running();
            },
            kDeadlineMs, kPollMs);
        if (milliseconds < 0) {
            std::fprintf(stderr, "%s showed no window\n", argv[2]);
            return 1;
        }
        std::printf("%.1f\n", milliseconds);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
