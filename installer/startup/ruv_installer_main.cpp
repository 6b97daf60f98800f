// The installer program's entry point.
#include <windows.h>

#include "startup/ruv_installer_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    CRUVInstallerApp application;
    return application.Run();
}
