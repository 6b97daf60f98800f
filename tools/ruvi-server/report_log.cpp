#include "report_log.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <string>

#include "log_text.h"
#include "startup_error.h"

namespace {

constexpr mode_t kFileMode = 0644;

std::string UtcNow() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

CUniqueFd OpenForAppending(const std::filesystem::path& path) {
    return CUniqueFd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, kFileMode));
}

// Holds an exclusive lock on a descriptor for its lifetime. A file system
// without locks leaves the instances unsynchronised but still writing.
class CExclusiveLock {
public:
    explicit CExclusiveLock(int fd) : fd_(fd) {
        while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~CExclusiveLock() { ::flock(fd_, LOCK_UN); }
    CExclusiveLock(const CExclusiveLock&) = delete;
    CExclusiveLock& operator=(const CExclusiveLock&) = delete;

private:
    int fd_;
};

bool WriteAll(int fd, const std::string& line) {
    std::size_t written = 0;
    while (written < line.size()) {
        const ssize_t n = ::write(fd, line.data() + written, line.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

CReportLog::CReportLog(const std::filesystem::path& file, std::uint64_t rotationSize)
    : path_(file),
      rotatedPath_(file.string() + ".1"),
      rotationSize_(rotationSize),
      lock_(::open((file.string() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kFileMode)),
      file_(OpenForAppending(file)) {
    if (!lock_ || !file_) throw CStartupError("cannot open the report log " + file.string());
}

bool CReportLog::Append(std::string_view clientAddress, std::string_view body) {
    const std::string line =
        UtcNow() + '\t' + EscapeLogText(clientAddress) + '\t' + EscapeLogText(body) + '\n';
    std::lock_guard threads(mutex_);
    CExclusiveLock instances(lock_.Get());
    FollowRotation();
    RotateBefore(line.size());
    return WriteAll(file_.Get(), line);
}

// Another instance rotated: the name leads to another file (or, for a
// moment that the lock rules out, to none). Should the new file not open,
// the line still lands in the rotated one.
void CReportLog::FollowRotation() {
    struct stat named {};
    struct stat open {};
    const bool same = ::stat(path_.c_str(), &named) == 0 && ::fstat(file_.Get(), &open) == 0 &&
                      named.st_dev == open.st_dev && named.st_ino == open.st_ino;
    if (same) return;
    if (CUniqueFd reopened = OpenForAppending(path_)) file_ = std::move(reopened);
}

void CReportLog::RotateBefore(std::size_t lineSize) {
    struct stat status {};
    if (::fstat(file_.Get(), &status) != 0 || status.st_size == 0 ||
        static_cast<std::uint64_t>(status.st_size) + lineSize <= rotationSize_) {
        return;
    }
    if (std::rename(path_.c_str(), rotatedPath_.c_str()) != 0) return;
    if (CUniqueFd fresh = OpenForAppending(path_)) file_ = std::move(fresh);
}
