#pragma once

#include <string>

// The answers of CheckIntegrity, as web pages read them.
enum IntegrityCode : long {
    kIntact = 0,              // every path the manifest lists exists
    kNotInstalled = 1,        // no install folder recorded
    kManifestUnreadable = 2,  // the manifest cannot be opened
    kManifestEmpty = 3,       // the manifest has no non-empty line
    kFileMissing = 4,         // a listed path does not exist
};

// Checks the installation recorded for the installer against the manifest
// in its folder. Reads the registry and the manifest afresh on every call.
IntegrityCode CheckInstallation();

// Checks every non-empty line of the manifest, a path relative to directory
// (which ends in a backslash), in file order; stops at the first missing one.
// Files and folders both count as present.
IntegrityCode CheckManifest(const std::string& directory, const std::string& manifestPath);
