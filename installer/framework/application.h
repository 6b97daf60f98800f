#pragma once

#include <windows.h>

#include <string>

class CWindow;

// The program's application object; one exists while the program runs. The
// program's entry point creates it and calls Run, which hands the main
// thread to InitInstance: a dialog-based program does all its work there
// (its dialogs run their own message loops) and ends when it returns.
class CApplication {
public:
    CApplication();
    virtual ~CApplication();
    CApplication(const CApplication&) = delete;
    CApplication& operator=(const CApplication&) = delete;

    // Returns the process's exit code: 0 unless InitInstance set another,
    // whatever it answered.
    int Run();

    // Every message box of the program arrives here (AppMessageBox). The
    // answer is the pressed button's identifier (IDOK, IDCANCEL...). Without
    // an override it is the system's message box.
    virtual int DoMessageBox(const std::string& prompt, UINT type, UINT helpId);

    // The window that owns the program's dialogs while it runs; may be null.
    void SetMainWindow(const CWindow* window) { mainWindow_ = window; }
    HWND MainWindowHandle() const;

protected:
    // False when the program is to end, which a dialog-based program always
    // answers once its main dialog has closed.
    virtual bool InitInstance() = 0;
    void SetExitCode(int code) { exitCode_ = code; }

private:
    const CWindow* mainWindow_ = nullptr;
    int exitCode_ = 0;
};

// The application object of the process, or null before it exists.
CApplication* CurrentApplication();
// Its main window's handle, or null.
HWND ApplicationMainWindow();

// Shows a message box through the application object (DoMessageBox); the
// system's message box when there is no application object.
int AppMessageBox(const std::string& prompt, UINT type = MB_OK, UINT helpId = 0);
