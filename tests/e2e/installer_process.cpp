#include "installer_process.h"

#include <stdexcept>
#include <vector>

#include "operation_test_support.h"
#include "platform/text_conversion.h"

using ops_test::Quoted;
using ops_test::WaitUntil;

InstallerProcess::InstallerProcess(const std::string& programPath, const std::string& arguments) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::string commandLine = Quoted(programPath);
    if (!arguments.empty()) commandLine += " " + arguments;
    if (!CreateProcessA(programPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &startup, &info)) {
        throw std::runtime_error("cannot start " + programPath);
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
}

InstallerProcess::~InstallerProcess() {
    if (Running()) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 10000);
    }
    CloseHandle(process_);
}

bool InstallerProcess::Running() const { return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

DWORD InstallerProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_, &code);
    return code;
}

bool InstallerProcess::WaitForExit(unsigned deadlineMs) const {
    return WaitForSingleObject(process_, deadlineMs) == WAIT_OBJECT_0;
}

namespace {

struct WindowSearch {
    DWORD processId;
    int childId;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId || !IsWindowVisible(window)) return TRUE;
    if (search.childId != InstallerProcess::kAnyWindow &&
        GetDlgItem(window, search.childId) == nullptr) {
        return TRUE;
    }
    search.found = window;
    return FALSE;
}

}  // namespace

HWND InstallerProcess::FindWindowWith(int childId) const {
    WindowSearch search{processId_, childId, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND InstallerProcess::WaitForWindowWith(int childId, unsigned deadlineMs) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowWith(childId)) != nullptr || !Running(); },
              deadlineMs);
    return found;
}

namespace control {

// WM_GETTEXT and WM_SETTEXT rather than GetWindowText and SetWindowText:
// only the messages reach the edit controls of another process.
std::string Text(HWND dialog, int id) {
    std::vector<wchar_t> buffer(4096, L'\0');
    const LRESULT length = SendDlgItemMessageW(dialog, id, WM_GETTEXT, buffer.size(),
                                               reinterpret_cast<LPARAM>(buffer.data()));
    std::string text;
    WideToAnsi(std::wstring(buffer.data(), static_cast<std::size_t>(length)), text);
    return text;
}

bool Visible(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

void SetText(HWND dialog, int id, const std::string& text) {
    std::wstring wide;
    AnsiToWide(text, wide);
    SendDlgItemMessageW(dialog, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

bool Click(HWND dialog, int id) {
    const HWND button = GetDlgItem(dialog, id);
    if (!IsWindowVisible(button) || !IsWindowEnabled(button)) return false;
    return PostMessageW(button, BM_CLICK, 0, 0) != FALSE;
}

void NotifyFocus(HWND dialog, int id, bool gotFocus) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, gotFocus ? EN_SETFOCUS : EN_KILLFOCUS),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

wchar_t PasswordChar(HWND dialog, int id) {
    return static_cast<wchar_t>(SendDlgItemMessageW(dialog, id, EM_GETPASSWORDCHAR, 0, 0));
}

bool Checked(HWND dialog, int id) {
    return SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace control
