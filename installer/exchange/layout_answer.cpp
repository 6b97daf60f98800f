#include "exchange/layout_answer.h"

#include <windows.h>

#include <string_view>

#include "core/message_error.h"
#include "exchange/exchange_messages.h"
#include "platform/kernel_handle.h"
#include "platform/staged_files.h"

namespace {

// Far more than a nonce (32 digits) or a signature (about 100) takes.
constexpr std::size_t kLineLimit = 1024;

std::string PathIn(const std::string& folder, const char* name) { return folder + "\\" + name; }

// The file's bytes, when it opens and holds at most limit of them.
std::optional<std::string> ReadSmallFile(const std::string& path, std::size_t limit) {
    const KernelHandle file = AdoptFileHandle(CreateFileA(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return std::nullopt;
    // One byte more than the limit tells a file that is too large.
    std::string bytes(limit + 1, '\0');
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        DWORD read = 0;
        const auto wanted = static_cast<DWORD>(bytes.size() - filled);
        if (!ReadFile(file.Get(), bytes.data() + filled, wanted, &read, nullptr)) {
            return std::nullopt;
        }
        if (read == 0) break;
        filled += read;
    }
    if (filled > limit) return std::nullopt;
    bytes.resize(filled);
    return bytes;
}

// The text of a one-line file without its line feed; nothing when the file
// is missing or holds anything else.
std::optional<std::string> ReadLine(const std::string& path) {
    std::optional<std::string> text = ReadSmallFile(path, kLineLimit);
    if (!text) return std::nullopt;
    if (text->ends_with('\n')) text->pop_back();
    if (text->find('\n') != std::string::npos) return std::nullopt;
    return text;
}

std::string Line(const std::string& text) { return text + "\n"; }

}  // namespace

RecordedAnswer ReadLayoutAnswer(const std::string& folder, std::size_t limit) {
    const std::optional<std::string> body = ReadSmallFile(PathIn(folder, kLayoutAnswerFile), limit);
    if (!body) throw CMessageError(exchange_messages::kLayoutAnswerUnreadable);
    RecordedAnswer answer;
    answer.body.assign(body->begin(), body->end());
    answer.nonce = ReadLine(PathIn(folder, kLayoutNonceFile)).value_or("");
    answer.signature = ReadLine(PathIn(folder, kLayoutSignatureFile));
    return answer;
}

bool StageLayoutAnswer(CStagedFiles& staged, const std::string& folder,
                       const RecordedAnswer& answer) {
    const std::string_view body(answer.body.data(), answer.body.size());
    if (!staged.Write(PathIn(folder, kLayoutAnswerFile), body)) return false;
    if (!answer.signature) return true;
    return staged.Write(PathIn(folder, kLayoutNonceFile), Line(answer.nonce)) &&
           staged.Write(PathIn(folder, kLayoutSignatureFile), Line(*answer.signature));
}

void RemoveLayoutSignature(const std::string& folder) {
    for (const char* name : {kLayoutNonceFile, kLayoutSignatureFile}) {
        DeleteFileA(PathIn(folder, name).c_str());
    }
}
