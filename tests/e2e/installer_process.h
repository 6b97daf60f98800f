#pragma once

#include <windows.h>

#include <string>

// The real RUVInstaller.exe running as a process of its own, driven from
// outside the way a user would: find its windows, read their controls, click
// buttons. The process is always terminated when the object goes.
class InstallerProcess {
public:
    // arguments follow the quoted program path on the command line.
    explicit InstallerProcess(const std::string& programPath, const std::string& arguments = "");
    ~InstallerProcess();
    InstallerProcess(const InstallerProcess&) = delete;
    InstallerProcess& operator=(const InstallerProcess&) = delete;

    // Matches any window in the look-ups below.
    static constexpr int kAnyWindow = -1;

    // A visible top-level window of the process that has a child with this
    // identifier, once there is one; null when none came before the deadline.
    HWND WaitForWindowWith(int childId, unsigned deadlineMs = 30000) const;
    // The same, without waiting.
    HWND FindWindowWith(int childId) const;

    // True once the process has ended (before the deadline).
    bool WaitForExit(unsigned deadlineMs = 30000) const;
    bool Running() const;
    // Once it has ended.
    DWORD ExitCode() const;

    DWORD Id() const { return processId_; }

private:
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
};

// Reading and working the controls of another process's dialog.
namespace control {

// The control's text in the ANSI code page (GBK), as the program set it.
std::string Text(HWND dialog, int id);
bool Visible(HWND dialog, int id);
bool Enabled(HWND dialog, int id);
void SetText(HWND dialog, int id, const std::string& text);
// A click on a visible, enabled button (false otherwise, and nothing is
// clicked). Posted, as a click is, so that a dialog the click opens does
// not hold up the caller.
bool Click(HWND dialog, int id);
// An edit's notification to its dialog that it got or lost the focus.
void NotifyFocus(HWND dialog, int id, bool gotFocus);
// EM_GETPASSWORDCHAR of an edit.
wchar_t PasswordChar(HWND dialog, int id);
bool Checked(HWND dialog, int id);

}  // namespace control
