#include "file_output.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

#include "output_target.h"
#include "tool_failure.h"
#include "tool_messages.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

// The new file beside a target; removed unless it has replaced the target.
class CPendingFile {
public:
    explicit CPendingFile(const std::string& given)
        : given_(given), target_(ResolveOutputTarget(given)), path_(PathBeside(target_.path)) {}
    ~CPendingFile() {
        if (!placed_) std::remove(path_.c_str());
    }
    CPendingFile(const CPendingFile&) = delete;
    CPendingFile& operator=(const CPendingFile&) = delete;

    const std::string& Given() const { return given_; }

    bool Write(const ByteVector& bytes) const {
        std::ofstream file(path_, std::ios::out | std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        file.close();
        return !file.fail();
    }

    bool Copy(const std::string& source) const {
        std::error_code error;
        return std::filesystem::copy_file(source, path_, error) && !error;
    }

    bool Replace() {
#ifdef _WIN32
        placed_ = MoveFileExA(path_.c_str(), target_.path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
        if (target_.permissions && chmod(path_.c_str(), *target_.permissions) != 0) return false;
        placed_ = std::rename(path_.c_str(), target_.path.c_str()) == 0;
#endif
        return placed_;
    }

private:
    const std::string given_;
    const COutputTarget target_;
    const std::string path_;
    bool placed_ = false;
};

std::string PathBeside(const std::string& path) {
    std::random_device device;
    const std::uint64_t value = (std::uint64_t{device()} << 32) | device();
    return path + ".new-" + std::to_string(value);
}

void WriteFileReplacing(const std::string& path, const ByteVector& bytes) {
    CStagedFiles staged;
    staged.Write(path, bytes);
    staged.Place();
}

CStagedFiles::CStagedFiles() = default;
CStagedFiles::~CStagedFiles() = default;

CPendingFile& CStagedFiles::Add(const std::string& path) {
    pending_.push_back(std::make_unique<CPendingFile>(path));
    return *pending_.back();
}

void CStagedFiles::Write(const std::string& path, const ByteVector& bytes) {
    if (!Add(path).Write(bytes)) throw CToolFailure(kCannotWrite + path);
}

void CStagedFiles::Copy(const std::string& path, const std::string& source) {
    if (!Add(path).Copy(source)) throw CToolFailure(kCannotCopy + source + " to " + path);
}

void CStagedFiles::Place() {
    for (const auto& file : pending_) {
        if (!file->Replace()) throw CToolFailure(kCannotWrite + file->Given());
    }
}
