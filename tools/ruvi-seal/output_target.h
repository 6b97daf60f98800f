#pragma once

#include <optional>
#include <string>

// The file an output really replaces. Writing aside and renaming would put a
// regular file in place of a link, a device or a pipe, so a link is followed
// to the file it names and anything else that is not a regular file is
// refused. An existing file keeps its permissions.
struct COutputTarget {
    std::string path;
    std::optional<unsigned> permissions;  // of the file being replaced
};

// Throws CToolFailure when path names something other than a regular file,
// or a link that leads to nothing.
COutputTarget ResolveOutputTarget(const std::string& path);
