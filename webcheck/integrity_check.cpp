#include "integrity_check.h"

#include <windows.h>

#include <share.h>
#include <shlwapi.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "installer_records.h"
#include "webcheck_names.h"

namespace {

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using ScopedFile = std::unique_ptr<FILE, FileCloser>;

// Text mode turns CR LF into LF. Others may keep the manifest open for
// reading or writing while it is checked.
ScopedFile OpenManifest(const std::string& path) {
    return ScopedFile(_fsopen(path.c_str(), "rt", _SH_DENYNO));
}

// One line up to the next line feed (which is dropped), of any length.
std::optional<std::string> ReadLine(FILE* file) {
    std::string line;
    char chunk[512];
    while (std::fgets(chunk, sizeof chunk, file)) {
        line += chunk;
        if (!line.empty() && line.back() == '\n') {
            line.pop_back();
            return line;
        }
    }
    if (line.empty()) {
        return std::nullopt;
    }
    return line;  // the last line need not end in a line feed
}

std::vector<std::string> ReadEntries(FILE* file) {
    std::vector<std::string> entries;
    while (std::optional<std::string> line = ReadLine(file)) {
        if (!line->empty()) {
            entries.push_back(std::move(*line));
        }
    }
    return entries;
}

}  // namespace

IntegrityCode CheckManifest(const std::string& directory, const std::string& manifestPath) {
    std::vector<std::string> entries;
    {
        ScopedFile manifest = OpenManifest(manifestPath);
        if (!manifest) {
            return kManifestUnreadable;
        }
        entries = ReadEntries(manifest.get());
    }
    if (entries.empty()) {
        return kManifestEmpty;
    }
    for (const std::string& entry : entries) {
        if (!PathFileExistsA((directory + entry).c_str())) {
            return kFileMissing;
        }
    }
    return kIntact;
}

IntegrityCode CheckInstallation() {
    const std::string directory = ReadInstallPath(kInstallerProductKey);
    if (directory.empty()) {
        return kNotInstalled;
    }
    return CheckManifest(directory, directory + kManifestFileName);
}
