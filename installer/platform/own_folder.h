#pragma once

#include <windows.h>

#include <string>

#include "platform/kernel_handle.h"

// The folders the elevated installer keeps in its install folder: the work
// folder ("Download") and the log folder ("Logs"). Whatever it writes, runs
// or deletes there must not be something a program without elevation could
// have put there or redirected, so a folder is used only when the installer
// can show that it is its own (IsOwnFolder); otherwise it is renamed aside
// and made afresh, with a security descriptor given at creation.

// What the decision rests on, read through a handle opened on the folder
// itself (a reparse point not followed), and on the install folder.
struct FolderFacts {
    PSECURITY_DESCRIPTOR descriptor = nullptr;  // the folder's owner and DACL
    DWORD attributes = 0;                       // the folder's own
    PSID installFolderOwner = nullptr;          // may be null
};

// Whether the folder is the installer's own: a folder, not a reparse point;
// its owner is Administrators, SYSTEM or the install folder's own owner
// (who can change RUVI.config already, so trusting them with the folder
// adds nothing); and its DACL lets no one else write into it, delete it or
// change its owner or DACL, nor inherits such a right to what it holds.
// Wine keeps no owners or DACLs on files (it answers from the Unix file
// mode), so tests hand this the descriptors Windows would.
bool IsOwnFolder(const FolderFacts& facts);

enum class OwnFolderState {
    Used,         // it was there and is the installer's own
    Created,      // there was none
    Replaced,     // one that was not its own was renamed aside
    Unavailable,  // no install folder, or it is a reparse point, or the
                  // folder could not be made
};

struct OwnFolder {
    std::string path;  // without a trailing backslash; "" without an install folder
    OwnFolderState state = OwnFolderState::Unavailable;
    std::string setAside;  // Replaced: the name the other folder was given
    // Open on the folder, without delete sharing, so that it cannot be
    // renamed or replaced while it is in use.
    KernelHandle hold;

    bool Usable() const { return state != OwnFolderState::Unavailable; }
};

// The folder called name in installFolder (which ends with a backslash; ""
// when there is none), made ready to use: taken as it is when it is the
// installer's own, otherwise renamed aside to name + ".untrusted-" + 16
// random hex digits and created afresh, owned by Administrators with a
// protected DACL that gives SYSTEM and Administrators full control and no
// one else anything. Nothing else is ever deleted or changed.
OwnFolder PrepareOwnFolder(const std::string& installFolder, const char* name);

// The install log's line for a prepared folder: event with its path, what
// was done ("used", "created", "replaced", "unavailable") and, when it was
// replaced, where the other folder went.
void LogOwnFolder(const char* event, const OwnFolder& folder);
