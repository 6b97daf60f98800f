#include "platform/own_folder.h"

#include <aclapi.h>
#include <sddl.h>

#include "platform/install_log.h"
#include "platform/local_memory.h"
#include "platform/random_name.h"

namespace {

// Owned by Administrators; a protected DACL (nothing flows in from the
// folders above) that gives SYSTEM and Administrators full control, passed
// on to everything inside, and no one else anything.
constexpr char kAdministratorsOnly[] = "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

// Any right that lets its holder put something into the folder, take
// something out or rename it, or make the folder or its DACL someone else's.
constexpr ACCESS_MASK kChangingRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA |
                                        FILE_WRITE_ATTRIBUTES | FILE_DELETE_CHILD | DELETE |
                                        WRITE_DAC | WRITE_OWNER | ACCESS_SYSTEM_SECURITY |
                                        MAXIMUM_ALLOWED | GENERIC_WRITE | GENERIC_ALL;

// The folder itself, a reparse point not followed, and without delete
// sharing: while the handle is open the folder cannot be renamed or deleted,
// and nothing else is kept from it.
constexpr DWORD kFolderAccess = READ_CONTROL | FILE_READ_ATTRIBUTES;
constexpr DWORD kNoDeleteSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr DWORD kAnySharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kFolderItself = FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT;

constexpr char kSetAsideTag[] = ".untrusted-";

using SecurityDescriptor = LocalMemory<PSECURITY_DESCRIPTOR>;

bool MayChange(PSID sid, PSID installFolderOwner) {
    return IsWellKnownSid(sid, WinBuiltinAdministratorsSid) ||
           IsWellKnownSid(sid, WinLocalSystemSid) ||
           (installFolderOwner != nullptr && EqualSid(sid, installFolderOwner));
}

// Whether an entry of the DACL gives anyone but those who may a changing
// right, on the folder or (inherited) on what it holds.
bool GrantsOthersChange(const ACE_HEADER* ace, PSID installFolderOwner) {
    // Every kind of allowing entry keeps its mask right after the header.
    const auto* allowed = reinterpret_cast<const ACCESS_ALLOWED_ACE*>(ace);
    switch (ace->AceType) {
        case ACCESS_ALLOWED_ACE_TYPE:
        case ACCESS_ALLOWED_CALLBACK_ACE_TYPE:
            return (allowed->Mask & kChangingRights) != 0 &&
                   !MayChange(const_cast<DWORD*>(&allowed->SidStart), installFolderOwner);
        case ACCESS_ALLOWED_OBJECT_ACE_TYPE:
        case ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE:
        case ACCESS_ALLOWED_COMPOUND_ACE_TYPE:
            // Not used on folders; whom they name is not read, so any
            // changing right counts against the folder.
            return (allowed->Mask & kChangingRights) != 0;
        default:
            return false;  // denials, audits and labels grant nothing
    }
}

KernelHandle OpenFolderItself(const std::string& path, DWORD access, DWORD sharing) {
    return AdoptFileHandle(
        CreateFileA(path.c_str(), access, sharing, nullptr, OPEN_EXISTING, kFolderItself, nullptr));
}

// The folder's attributes and its owner (and DACL), read through the handle.
bool ReadFacts(HANDLE folder, SECURITY_INFORMATION what, SecurityDescriptor& descriptor,
               DWORD& attributes) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(folder, &information)) return false;
    attributes = information.dwFileAttributes;
    if (GetSecurityInfo(folder, SE_FILE_OBJECT, what, nullptr, nullptr, nullptr, nullptr,
                        descriptor.Receive()) != ERROR_SUCCESS) {
        descriptor.Release();
        return false;
    }
    return true;
}

bool IsOwn(HANDLE folder, PSID installFolderOwner) {
    SecurityDescriptor descriptor;
    FolderFacts facts;
    facts.installFolderOwner = installFolderOwner;
    if (!ReadFacts(folder, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, descriptor,
                   facts.attributes)) {
        return false;
    }
    facts.descriptor = descriptor.Get();
    return IsOwnFolder(facts);
}

// "X:\" stays as it is ("X:" would name the drive's current folder).
std::string FolderName(const std::string& folderWithBackslash) {
    if (folderWithBackslash.size() <= 3) return folderWithBackslash;
    return folderWithBackslash.substr(0, folderWithBackslash.size() - 1);
}

// Makes the folder afresh with the administrators' descriptor, and holds it
// once it shows as the installer's own.
bool CreateOwn(const std::string& path, PSID installFolderOwner, KernelHandle& hold) {
    SecurityDescriptor descriptor;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kAdministratorsOnly, SDDL_REVISION_1,
                                                              descriptor.Receive(), nullptr)) {
        descriptor.Release();
        return false;
    }
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor.Get(), FALSE};
    if (!CreateDirectoryA(path.c_str(), &attributes)) return false;
    KernelHandle made = OpenFolderItself(path, kFolderAccess, kNoDeleteSharing);
    if (!made || !IsOwn(made.Get(), installFolderOwner)) return false;
    hold = std::move(made);
    return true;
}

const char* StateName(OwnFolderState state) {
    switch (state) {
        case OwnFolderState::Used:
            return "used";
        case OwnFolderState::Created:
            return "created";
        case OwnFolderState::Replaced:
            return "replaced";
        case OwnFolderState::Unavailable:
            break;
    }
    return "unavailable";
}

}  // namespace

bool IsOwnFolder(const FolderFacts& facts) {
    if ((facts.attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (facts.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 || facts.descriptor == nullptr) {
        return false;
    }
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    if (!GetSecurityDescriptorOwner(facts.descriptor, &owner, &defaulted) || owner == nullptr ||
        !MayChange(owner, facts.installFolderOwner)) {
        return false;
    }
    // No DACL, or a null one, lets everyone do everything.
    BOOL present = FALSE;
    PACL dacl = nullptr;
    if (!GetSecurityDescriptorDacl(facts.descriptor, &present, &dacl, &defaulted) || !present ||
        dacl == nullptr) {
        return false;
    }
    for (DWORD index = 0; index < dacl->AceCount; ++index) {
        void* ace = nullptr;
        if (!GetAce(dacl, index, &ace) ||
            GrantsOthersChange(static_cast<const ACE_HEADER*>(ace), facts.installFolderOwner)) {
            return false;
        }
    }
    return true;
}

OwnFolder PrepareOwnFolder(const std::string& installFolder, const char* name) {
    OwnFolder folder;
    if (installFolder.empty()) return folder;
    folder.path = installFolder + name;

    // Below a reparse point, a folder made afresh would be made wherever it
    // points to.
    const KernelHandle install = OpenFolderItself(FolderName(installFolder),
                                                  READ_CONTROL | FILE_READ_ATTRIBUTES, kAnySharing);
    SecurityDescriptor installDescriptor;
    DWORD installAttributes = 0;
    if (!install ||
        !ReadFacts(install.Get(), OWNER_SECURITY_INFORMATION, installDescriptor,
                   installAttributes) ||
        (installAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return folder;
    }
    PSID installOwner = nullptr;
    BOOL defaulted = FALSE;
    GetSecurityDescriptorOwner(installDescriptor.Get(), &installOwner, &defaulted);

    KernelHandle found = OpenFolderItself(folder.path, kFolderAccess, kNoDeleteSharing);
    const DWORD openError = found ? ERROR_SUCCESS : GetLastError();
    if (found && IsOwn(found.Get(), installOwner)) {
        folder.state = OwnFolderState::Used;
        folder.hold = std::move(found);
        return folder;
    }
    if (openError != ERROR_FILE_NOT_FOUND) {
        // Renamed, never deleted or changed: whatever stands there by now is
        // set aside, and what is made afresh is checked again.
        found.Reset();
        folder.setAside = RandomNameBeside(folder.path, kSetAsideTag);
        if (folder.setAside.empty() ||
            !MoveFileExA(folder.path.c_str(), folder.setAside.c_str(), 0))
            return folder;
    }
    if (CreateOwn(folder.path, installOwner, folder.hold)) {
        folder.state = folder.setAside.empty() ? OwnFolderState::Created : OwnFolderState::Replaced;
    }
    return folder;
}

void LogOwnFolder(const char* event, const OwnFolder& folder) {
    LogFields fields = {{"path", folder.path}, {"state", StateName(folder.state)}};
    if (!folder.setAside.empty()) fields.emplace_back("set-aside", folder.setAside);
    install_log::Write(event, fields);
}
