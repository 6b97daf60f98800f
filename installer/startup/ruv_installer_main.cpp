// The installer program's entry point.
#include <windows.h>

#include "startup/ruv_installer_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Before anything else: from here on every DLL loaded by name, the
    // delay-loaded system DLLs first of all, comes from the system folder,
    // never from the folder the program was started from (often the user's
    // Downloads) or the current one. It cannot fail where it exists, and
    // where it does not (it is imported from kernel32) the program does not
    // start.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    CRUVInstallerApp application;
    return application.Run();
}
