#pragma once

#include <string>

#include "framework/application.h"

class CMsgBox;

// The installer's application object: prepares the platform libraries,
// builds the main window object (which talks to the server before anything
// is shown) and shows the window when there is something to run. Every
// message box of the program is the skinned one.
class CRUVInstallerApp : public CApplication {
public:
    int DoMessageBox(const std::string& prompt, UINT type, UINT helpId) override;

protected:
    bool InitInstance() override;

private:
    // The box on screen, while there is one.
    CMsgBox* currentMessageBox_ = nullptr;
};
