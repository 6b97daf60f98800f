#pragma once

#include <string>

#include "framework/application.h"
#include "operations/operator_base.h"

class CInstallerContext;
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
    // window when it left operations to run. With an offline layout, its
    // answer instead, once: a failure is shown in a message box, and ends
    // the program. Always kExitSucceeded.
    int RunWithWindow(const std::string& offlineLayout);
    static OperationList RunLayoutExchange(CInstallerContext& context);
    // The exchange once and the run, with no window, message box or pause;
    // with launch, the product is started after a run that succeeded. With
    // an offline layout, from that.
    static int RunUnattended(bool launch, const std::string& offlineLayout);
};
