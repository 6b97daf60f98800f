#include "platform/folder_protection.h"

#include <aclapi.h>
#include <sddl.h>

#include "platform/local_memory.h"

namespace {

// Allow (A), inherited by files and folders (OICI), full file access (FA)
// for SYSTEM (SY) and the Administrators group (BA); nothing else.
constexpr char kAdministratorsOnly[] = "D:(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

using SecurityDescriptor = LocalMemory<PSECURITY_DESCRIPTOR>;

bool SetFolderDacl(const std::string& path, SECURITY_INFORMATION what, PACL dacl) {
    return SetNamedSecurityInfoA(const_cast<char*>(path.c_str()), SE_FILE_OBJECT, what, nullptr,
                                 nullptr, dacl, nullptr) == ERROR_SUCCESS;
}

}  // namespace

bool ProtectFolderForAdministrators(const std::string& path) {
    return ProtectFolderForAdministrators(path, &SetFolderDacl);
}

bool ProtectFolderForAdministrators(const std::string& path, FolderDaclSetter set) {
    SecurityDescriptor descriptor;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kAdministratorsOnly, SDDL_REVISION_1,
                                                              descriptor.Receive(), nullptr)) {
        descriptor.Release();
        return false;
    }
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    if (!GetSecurityDescriptorDacl(descriptor.Get(), &present, &dacl, &defaulted) || !present) {
        return false;
    }
    // Protected: the entries of the folders above no longer flow in.
    return set(path, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, dacl);
}
