#include "output_target.h"

#include "tool_failure.h"
#include "tool_messages.h"

#ifdef _WIN32
#include <windows.h>

COutputTarget ResolveOutputTarget(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        throw CToolFailure(kNotARegularFile + path);
    }
    return {path, std::nullopt};
}

#else
#include <sys/stat.h>

#include <cstdlib>
#include <memory>

namespace {
struct FreeText {
    void operator()(char* text) const { std::free(text); }
};
}  // namespace

COutputTarget ResolveOutputTarget(const std::string& path) {
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0) return {path, std::nullopt};
    std::string target = path;
    if (S_ISLNK(status.st_mode)) {
        const std::unique_ptr<char, FreeText> resolved(realpath(path.c_str(), nullptr));
        if (!resolved || stat(resolved.get(), &status) != 0) {
            throw CToolFailure(kNotARegularFile + path);
        }
        target = resolved.get();
    }
    if (!S_ISREG(status.st_mode)) throw CToolFailure(kNotARegularFile + path);
    return {target, static_cast<unsigned>(status.st_mode & 07777)};
}

#endif
