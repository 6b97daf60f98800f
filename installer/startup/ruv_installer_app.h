#pragma once

#include <string>

#include "framework/application.h"

struct CommandLine;

// The installer's application object. It owns the order of a run: the
// command line and the install log; the context (with its work folder) and
// the XML runtime; the exchange with the server; then either the window,
// whose OK starts the product, or an unattended run without anything on
// screen, which ends with an exit code. Every message box of the program is
// the skinned one.
class CRUVInstallerApp : public CApplication {
public:
    // The process's exit codes of an unattended run; a run whose blocking
    // operation failed ends with that operation's result code instead.
    static constexpr int kExitSucceeded = 0;
    static constexpr int kExitExchangeFailed = 1;
    static constexpr int kExitBadCommandLine = 2;

    int DoMessageBox(const std::string& prompt, UINT type, UINT helpId) override;

protected:
    bool InitInstance() override;

private:
    static void LogStart(const CommandLine& commandLine);
    // The exchange, with the proxy prompt after each failure, and the
    // window when it left operations to run. Always kExitSucceeded.
    int RunWithWindow();
    // The exchange once and the run, with no window, message box or pause;
    // with launch, the product is started after a run that succeeded.
    static int RunUnattended(bool launch);
};
