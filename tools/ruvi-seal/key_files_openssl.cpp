#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "answer_signing.h"
#include "command_files.h"
#include "file_output.h"
#include "key_files.h"
#include "p256_keys.h"
#include "tool_failure.h"
#include "tool_messages.h"

namespace {

constexpr mode_t kOwnerOnly = 0600;

// The key file is created with its final mode, so the key is never readable
// by others, not even for a moment; link() gives it its name only if that
// name is still free.
void WriteOwnerOnlyFile(const std::string& path, const std::string& text) {
    struct stat existing {};
    if (::lstat(path.c_str(), &existing) == 0) throw CToolFailure(kKeyExists + path);
    const std::string aside = PathBeside(path);
    const int fd = ::open(aside.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kOwnerOnly);
    if (fd < 0) throw CToolFailure(kCannotWrite + path);
    std::FILE* file = ::fdopen(fd, "w");  // from here on closing it closes fd
    const bool written = file != nullptr && ::fchmod(fd, kOwnerOnly) == 0 &&
                         std::fwrite(text.data(), 1, text.size(), file) == text.size() &&
                         std::fflush(file) == 0 && ::fsync(fd) == 0;
    const bool closed = file != nullptr ? std::fclose(file) == 0 : ::close(fd) == 0;
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

CAnswerSignature SignAnswerWithKeyFile(const std::string& path, const ByteVector& answer) {
    const ByteVector pem = ReadInputFile(path);
    try {
        const CP256Signer signer(std::string_view(pem.data(), pem.size()));
        std::string nonce = NewAnswerNonce();
        std::string signature = AnswerSignature(signer, nonce, answer);
        return {std::move(nonce), std::move(signature)};
    } catch (const CKeyError& error) {
        throw CToolFailure(path + ": " + error.what());
    }
}
