#include "scoped_temp_folder.h"

#include <windows.h>

#include <shellapi.h>

#include <stdexcept>

#include "platform/kernel_handle.h"

ScopedTempFolder::ScopedTempFolder() {
    char temp[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH) {
        throw std::runtime_error("no temporary-files folder");
    }
    static long counter = 0;
    path_ = std::string(temp, length) + "ruvictrl-test-" + std::to_string(GetCurrentProcessId()) +
            "-" + std::to_string(++counter) + "\\";
    if (!CreateDirectoryA(path_.c_str(), nullptr)) {
        throw std::runtime_error("cannot create " + path_);
    }
}

ScopedTempFolder::~ScopedTempFolder() {
    std::string from = path_.substr(0, path_.size() - 1);
    from.push_back('\0');  // the list ends in two zeros
    SHFILEOPSTRUCTA operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NO_UI;
    SHFileOperationA(&operation);
}

void ScopedTempFolder::WriteFile(const std::string& relativePath, const std::string& bytes) const {
    const std::string path = path_ + relativePath;
    const KernelHandle file = AdoptFileHandle(CreateFileA(
        path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        throw std::runtime_error("cannot create " + path);
    }
    DWORD written = 0;
    if (!::WriteFile(file.Get(), bytes.data(), DWORD(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
        throw std::runtime_error("cannot write " + path);
    }
}

void ScopedTempFolder::MakeFolder(const std::string& relativePath) const {
    const std::string path = path_ + relativePath;
    if (!CreateDirectoryA(path.c_str(), nullptr)) {
        throw std::runtime_error("cannot create " + path);
    }
}
