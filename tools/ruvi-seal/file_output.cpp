#include "file_output.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>

#include "output_target.h"
#include "tool_failure.h"
#include "tool_messages.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

// The new file beside the target; removed unless it has replaced the target.
class PendingFile {
public:
    explicit PendingFile(const std::string& target) : path_(PathBeside(target)) {}
    ~PendingFile() {
        if (!placed_) std::remove(path_.c_str());
    }
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    bool Write(const ByteVector& bytes) const {
        std::ofstream file(path_, std::ios::out | std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        file.close();
        return !file.fail();
    }

    bool Replace(const COutputTarget& target) {
#ifdef _WIN32
        placed_ = MoveFileExA(path_.c_str(), target.path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
        if (target.permissions && chmod(path_.c_str(), *target.permissions) != 0) return false;
        placed_ = std::rename(path_.c_str(), target.path.c_str()) == 0;
#endif
        return placed_;
    }

private:
    std::string path_;
    bool placed_ = false;
};

}  // namespace

std::string PathBeside(const std::string& path) {
    std::random_device device;
    const std::uint64_t value = (std::uint64_t{device()} << 32) | device();
    return path + ".new-" + std::to_string(value);
}

void WriteFileReplacing(const std::string& path, const ByteVector& bytes) {
    const COutputTarget target = ResolveOutputTarget(path);
    PendingFile pending(target.path);
    if (!pending.Write(bytes) || !pending.Replace(target)) {
        throw CToolFailure(kCannotWrite + path);
    }
}
