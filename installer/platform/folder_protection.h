#pragma once

#include <windows.h>

#include <string>

// Closes the folder at path to programs that do not run as administrator:
// a protected DACL that grants full control to SYSTEM and to the
// Administrators group only, inherited by every file and folder inside
// (those already there take it over), and nothing inherited from above.
// False when the system refused; callers that can do without it go on.
bool ProtectFolderForAdministrators(const std::string& path);

// The one call that hands the DACL to the system. Wine keeps no security
// descriptors on files (it answers from the Unix file mode), so tests see
// what the installer asks for by putting a setter of their own in its place.
using FolderDaclSetter = bool (*)(const std::string& path, SECURITY_INFORMATION what, PACL dacl);
bool ProtectFolderForAdministrators(const std::string& path, FolderDaclSetter set);
