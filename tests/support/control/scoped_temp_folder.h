#pragma once

#include <string>

// A fresh folder under the temporary-files folder, removed with everything
// in it at destruction. Paths are ANSI, as the control reads them.
class ScopedTempFolder {
public:
    ScopedTempFolder();  // throws std::runtime_error when it cannot be created
    ~ScopedTempFolder();
    ScopedTempFolder(const ScopedTempFolder&) = delete;
    ScopedTempFolder& operator=(const ScopedTempFolder&) = delete;

    // Ends in a backslash.
    const std::string& Path() const { return path_; }

    // Writes bytes exactly as given (no line-end translation); throws on failure.
    void WriteFile(const std::string& relativePath, const std::string& bytes) const;
    void MakeFolder(const std::string& relativePath) const;

private:
    std::string path_;
};
