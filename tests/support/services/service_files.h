#pragma once

#include <string>

// A fresh folder below /tmp, removed with everything in it by its owner.
class TempFolder {
public:
    explicit TempFolder(const std::string& namePrefix);
    ~TempFolder();

    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// The path under which Windows programs under Wine see a Unix path.
std::string WindowsPathOf(const std::string& unixPath);

// The whole file; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);
