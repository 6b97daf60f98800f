#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "installed_installer.h"
#include "installer_process.h"
#include "test_services.h"

// GBK bytes of the texts the installer shows.
namespace gbk {
inline const std::string kInitialising =
    "\xd5\xfd\xd4\xda\xb3\xf5\xca\xbc\xbb\xaf\x2e\x2e\x2e\x2e\x2e\x2e";
inline const std::string kRunSucceeded =
    "\x52\x75\x76\x65\x78\xd2\xd1\xb0\xb2\xd7\xb0\xb3\xc9\xb9\xa6\xa3\xa1";
inline const std::string kRunFailed =
    "\xb0\xb2\xd7\xb0\xb3\xcc\xd0\xf2\xb3\xf6\xb4\xed\xa3\xac\xd0\xe8\xd6\xd8\xd0\xc2\xb0\xb2\xd7"
    "\xb0\xa3\xa1";
inline const std::string kTemplateCaption = "\xbe\xb2\xcc\xac";
inline const std::string kProxyPrompt =
    "\xce\xde\xb7\xa8\xc1\xac\xbd\xd3\xb7\xfe\xce\xf1\xc6\xf7\xa3\xac\xca\xc7\xb7\xf1\xc9\xe8\xd6"
    "\xc3\xb4\xfa\xc0\xed\xb7\xfe\xce\xf1\xc6\xf7\xa3\xbf";
}  // namespace gbk

// One scenario of the installer as a user meets it: an installed copy, a
// ruvi-server with the scenario's plan, and the program started as its own
// process.
class InstallerFlowTest : public ::testing::Test {
protected:
    // Serves a plan of these operations and names the server in RUVI.config.
    void Serve(const std::string& operations);
    // Names a server that is not there in RUVI.config; returns its base URL.
    std::string ConfigureUnreachableServer();

    InstallerProcess& Start(const std::string& arguments = "");
    // Starts the installer, expects it to end on its own within a minute
    // without ever showing a window, and returns its exit code. what names
    // the case in failures.
    DWORD RunShowingNothing(const std::string& arguments, const std::string& what);
    // The main window once it shows, else a test failure.
    HWND MainWindow();
    // The skinned message box once it shows.
    HWND MessageBox();
    // The proxy settings dialog once it shows.
    HWND ProxyDialog();

    // Starts the installer and expects the proxy prompt and no main window
    // (the run never starts); the prompt's Cancel ends the program. what
    // names the case in failures.
    void ExpectOnlyTheProxyPrompt(const std::string& what);

    // Waits until the run has ended (OK or Retry shown).
    bool WaitForRunEnd(HWND window);
    static int Progress(HWND window);
    // Which of a row's three icons show: "P1", "P2", "P3", "" or several.
    static std::string RowIcons(HWND window, int row);

    // The text of the install log the installer process wrote into the log
    // folder (UTF-8); empty when there is none.
    std::string InstallLog() const;

    // Saves the screen, with window freshly painted, among the build's test
    // artefacts.
    void Screenshot(const std::string& stage, HWND window);
    // Saves text among them, as the test's name, stage and extension.
    void SaveArtefact(const std::string& stageAndExtension, const std::string& text);

    TestServices services;
    PlanFolder plan{services};
    InstalledInstaller installed;
    std::optional<RuviServer> server;
    std::unique_ptr<InstallerProcess> installer;

private:
    // Where an artefact of this test goes.
    std::string ArtefactPath(const std::string& stageAndExtension) const;
};
