#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/kernel_handle.h"

// The folder at path, created when it is missing (its parent must exist),
// held open as itself: a reparse point (a junction, a link) is refused, not
// followed, and while the handle is open the folder cannot be renamed,
// deleted or replaced. Empty when it is no folder or cannot be made.
KernelHandle HoldFolder(const std::string& path);

// Files that take their places together, each written beside its target
// first: a failure before Place leaves every target as it was, and nothing
// written aside stays behind. Each is a new file of a name no one could
// know beforehand, never one that was there, and takes its target's name by
// a rename, which replaces a link at that name instead of writing through
// it.
class CStagedFiles {
public:
    CStagedFiles() = default;
    ~CStagedFiles();
    CStagedFiles(const CStagedFiles&) = delete;
    CStagedFiles& operator=(const CStagedFiles&) = delete;

    // False when the file beside path cannot be written whole.
    bool Write(const std::string& path, std::string_view bytes);
    // The same with the bytes of the file at source, read in large pieces.
    bool Copy(const std::string& path, const std::string& source);
    // Each file replaces its target, in the order they were staged; false
    // at the first that could not (those before it have taken their places).
    bool Place();

private:
    struct Pending {
        std::string staged;
        std::string target;
    };
    // A new file beside path, open for writing; empty when it cannot be made.
    KernelHandle Stage(const std::string& path);
    // Once its bytes are in and it is closed.
    bool Staged(KernelHandle file, bool written);

    std::vector<Pending> pending_;
};
