// Walks the installer through the demo as a user would, saving a screenshot
// of each stage: "install" runs the whole installation and starts the
// product, "server-down" answers the proxy prompt, shows the proxy dialog
// and declines. Prints one line per stage (ASCII); exit code 0 when the
// story went as expected.
#include <windows.h>

#include <cstdio>
#include <string>

#include "installer_process.h"
#include "operation_test_support.h"
#include "resources/resource_ids.h"
#include "screen_capture.h"

using ops_test::WaitUntil;

namespace {

constexpr unsigned kRunDeadlineMs = 180000;
constexpr unsigned kPollMs = 100;

class StageShots {
public:
    explicit StageShots(std::string folder) : folder_(std::move(folder)) {}

    // window: painted to the end before the screen is read.
    void Take(const std::string& stage, HWND window) {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        char name[16];
        std::snprintf(name, sizeof(name), "%02d-", ++count_);
        const std::string path = folder_ + "\\" + name + stage + ".png";
        std::printf("stage %s%s\n", name, stage.c_str());
        std::fflush(stdout);
        if (!SaveScreen(path)) std::printf("  (screenshot failed)\n");
    }

private:
    std::string folder_;
    int count_ = 0;
};

int VisibleRowIcons(HWND window) {
    int count = 0;
    for (int row = 0; row < 5; ++row) {
        for (const int first :
             {IDC_ROW_BLOCKING_FIRST, IDC_ROW_SUCCESS_FIRST, IDC_ROW_NONBLOCKING_FIRST}) {
            count += control::Visible(window, first + row) ? 1 : 0;
        }
    }
    return count;
}

bool RunEnded(HWND window) {
    return control::Visible(window, IDOK) || control::Visible(window, IDC_RETRY);
}

HWND FindProductWindow(DWORD installerId) {
    for (HWND window = FindWindowW(nullptr, L"Ruvex"); window != nullptr;
         window = FindWindowExW(nullptr, window, nullptr, L"Ruvex")) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != installerId && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

int Install(const std::string& installerPath, StageShots& shots) {
    InstallerProcess installer(installerPath);
    const HWND window = installer.WaitForWindowWith(IDC_STATUS_LINE, 60000);
    if (window == nullptr) {
        std::printf("the installer window did not open (is the server up?)\n");
        return 1;
    }
    shots.Take("window-opened", window);

    // A screenshot whenever the window shows something new.
    int icons = 0;
    std::string status = control::Text(window, IDC_STATUS_LINE);
    const DWORD start = GetTickCount();
    while (!RunEnded(window) && GetTickCount() - start < kRunDeadlineMs) {
        Sleep(kPollMs);
        const int nowIcons = VisibleRowIcons(window);
        const std::string nowStatus = control::Text(window, IDC_STATUS_LINE);
        if (nowIcons == icons && nowStatus == status) continue;
        icons = nowIcons;
        status = nowStatus;
        shots.Take("step-" + std::to_string(icons), window);
    }
    if (!RunEnded(window)) {
        std::printf("the run did not end in time\n");
        return 1;
    }
    if (control::Visible(window, IDC_RETRY)) {
        shots.Take("run-failed", window);
        std::printf("the run failed\n");
        return 1;
    }
    shots.Take("run-succeeded", window);
    std::printf("rows with a result: ");
    for (int row = 0; row < 5; ++row) {
        bool shown = false;
        for (const int first :
             {IDC_ROW_BLOCKING_FIRST, IDC_ROW_SUCCESS_FIRST, IDC_ROW_NONBLOCKING_FIRST}) {
            shown = shown || control::Visible(window, first + row);
        }
        std::printf("%d:%s ", row + 1, shown ? "done" : "skipped");
    }
    std::printf("\n");

    control::Click(window, IDOK);
    HWND product = nullptr;
    WaitUntil([&] { return (product = FindProductWindow(installer.Id())) != nullptr; }, 30000);
    if (product == nullptr) {
        std::printf("the product did not start\n");
        return 1;
    }
    shots.Take("product-started", product);
    PostMessageW(product, WM_CLOSE, 0, 0);
    return installer.WaitForExit() ? 0 : 1;
}

int ServerDown(const std::string& installerPath, StageShots& shots) {
    InstallerProcess installer(installerPath);
    const HWND box = installer.WaitForWindowWith(IDC_MSGBOX_PICTURE, 60000);
    if (box == nullptr) {
        std::printf("no proxy prompt appeared\n");
        return 1;
    }
    shots.Take("proxy-prompt", box);
    control::Click(box, IDOK);
    const HWND dialog = installer.WaitForWindowWith(IDC_PROXY_ENABLE);
    if (dialog == nullptr) {
        std::printf("the proxy dialog did not open\n");
        return 1;
    }
    shots.Take("proxy-dialog", dialog);

    // Switch the proxy on, give a port that cannot be, and test.
    control::Click(dialog, IDC_PROXY_ENABLE);
    WaitUntil([&] { return control::Enabled(dialog, IDC_PROXY_ADDRESS); });
    for (const auto& [id, text] :
         {std::pair{IDC_PROXY_ADDRESS, "127.0.0.1"}, std::pair{IDC_PROXY_PORT, "70000"}}) {
        control::NotifyFocus(dialog, id, true);
        control::SetText(dialog, id, text);
        control::NotifyFocus(dialog, id, false);
    }
    control::Click(dialog, IDC_PROXY_TEST);
    WaitUntil([&] { return !control::Text(dialog, IDC_PROXY_ERROR_LINE).empty(); });
    shots.Take("proxy-port-refused", dialog);

    control::Click(dialog, IDC_CLOSE);
    WaitUntil([&] { return !IsWindow(dialog); });
    const HWND again = installer.WaitForWindowWith(IDC_MSGBOX_PICTURE);
    if (again == nullptr) {
        std::printf("the prompt did not come back\n");
        return 1;
    }
    shots.Take("proxy-prompt-again", again);
    control::Click(again, IDCANCEL);
    if (!installer.WaitForExit()) return 1;
    std::printf("the installer ended without a window\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::printf("usage: demo_driver install|server-down INSTALLER_EXE SHOT_FOLDER\n");
        return 2;
    }
    const std::string mode = argv[1];
    StageShots shots(argv[3]);
    try {
        if (mode == "install") return Install(argv[2], shots);
        if (mode == "server-down") return ServerDown(argv[2], shots);
    } catch (const std::exception& failure) {
        std::printf("%s\n", failure.what());
        return 1;
    }
    std::printf("unknown mode %s\n", mode.c_str());
    return 2;
}
