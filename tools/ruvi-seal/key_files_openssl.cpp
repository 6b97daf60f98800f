#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <random>

#include "command_files.h"
#include "key_files.h"
#include "p256_keys.h"
#include "tool_failure.h"
#include "tool_messages.h"

namespace {

constexpr mode_t kOwnerOnly = 0600;

std::string NewFileBeside(const std::string& path) {
    std::random_device device;
    const std::uint64_t value = (std::uint64_t{device()} << 32) | device();
    return path + ".new-" + std::to_string(value);
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// The key file is created with its final mode, so the key is never readable
// by others, not even for a moment; link() gives it its name only if that
// name is still free.
void WriteOwnerOnlyFile(const std::string& path, const std::string& text) {
    struct stat existing {};
    if (::lstat(path.c_str(), &existing) == 0) throw CToolFailure(kKeyExists + path);
    const std::string aside = NewFileBeside(path);
    const int fd = ::open(aside.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kOwnerOnly);
    if (fd < 0) throw CToolFailure(kCannotWrite + path);
    const bool written = ::fchmod(fd, kOwnerOnly) == 0 && WriteAll(fd, text) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    const bool named = written && closed && ::link(aside.c_str(), path.c_str()) == 0;
    const int linkError = errno;
    ::unlink(aside.c_str());
    if (!named) throw CToolFailure((linkError == EEXIST ? kKeyExists : kCannotWrite) + path);
}

}  // namespace

ByteVector PublicPointOfKeyFile(const std::string& path) {
    const ByteVector pem = ReadInputFile(path);
    try {
        return PublicPointOfPem(std::string_view(pem.data(), pem.size()));
    } catch (const CKeyError& error) {
        throw CToolFailure(path + ": " + error.what());
    }
}

ByteVector WriteNewSigningKey(const std::string& path) {
    const std::string pem = NewP256PrivateKeyPem();
    const ByteVector point = PublicPointOfPem(pem);
    WriteOwnerOnlyFile(path, pem);
    return point;
}
