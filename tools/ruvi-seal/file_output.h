#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/byte_vector.h"

// Writes bytes to the file at path (local code page) completely or not at
// all: they go to a new file beside it, which then replaces it. A link is
// followed; an existing file keeps its permissions. Throws CToolFailure when
// the file cannot be written or path is not a file; nothing has changed then.
void WriteFileReplacing(const std::string& path, const ByteVector& bytes);

class CPendingFile;

// Several files written as WriteFileReplacing writes one, that take their
// places together: each is written beside its target first, and only once
// all are written do they replace their targets. A failure before that
// leaves every target as it was; what was written aside goes.
class CStagedFiles {
public:
    CStagedFiles();
    ~CStagedFiles();
    CStagedFiles(const CStagedFiles&) = delete;
    CStagedFiles& operator=(const CStagedFiles&) = delete;

    // Throw CToolFailure naming path (or source) when it cannot be done.
    void Write(const std::string& path, const ByteVector& bytes);
    void Copy(const std::string& path, const std::string& source);
    // Each file replaces its target, in the order they were staged. Throws
    // CToolFailure naming the first one that could not.
    void Place();

private:
    CPendingFile& Add(const std::string& path);

    std::vector<std::unique_ptr<CPendingFile>> pending_;
};

// A name for a new file beside path, where an output is written before it
// takes path's place: path, ".new-" and a random number.
std::string PathBeside(const std::string& path);
