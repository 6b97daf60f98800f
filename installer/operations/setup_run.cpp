#include "operations/setup_run.h"

#include <cstdint>
#include <utility>

#include "operations/child_text.h"
#include "operations/declared_file.h"
#include "operations/operation_messages.h"
#include "operations/plain_file_name.h"
#include "operations/process_runner.h"

namespace {

constexpr DWORD kLongestFiniteWait = INFINITE - 1;

bool IsNoSuchFile(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace

DWORD TimeoutMilliseconds(int seconds) {
    if (seconds <= 0) return 0;
    const std::uint64_t milliseconds = static_cast<std::uint64_t>(seconds) * 1000;
    return milliseconds > kLongestFiniteWait ? kLongestFiniteWait
                                             : static_cast<DWORD>(milliseconds);
}

COpSetupRun::COpSetupRun(std::string label, std::string serverBaseUrl, std::string cacheDirectory)
    : COperatorBase("CSetupRun", std::move(label), std::move(serverBaseUrl),
                    std::move(cacheDirectory)) {}

bool COpSetupRun::Init(const xercesc::DOMNode* element) {
    execName = ChildText(element, "ExecName");
    // Only a file of the work folder may be run (and then deleted).
    if (!IsPlainFileName(execName)) return false;
    std::string text = ChildText(element, "Description");
    if (!text.empty()) description = std::move(text);
    return ReadDeclaredSha256(element, trusted, declaration);
}

void COpSetupRun::Run() {
    result = OperationResult{};
    const auto path = WorkFile(execName);
    // Read-only, and no one else may write, rename or delete the file: from
    // here until its process exists, the program that starts is the one that
    // was found (and checked, when the answer declared its hash).
    KernelHandle held = path ? OpenHeldFile(*path) : KernelHandle();
    if (!held && (!path || IsNoSuchFile(GetLastError()))) {
        result = {kProgramMissing, operation_messages::kProgramMissing, false, false};
        return;
    }
    if (declaration.sha256 && !(held && MatchesDeclaration(held.Get(), declaration))) {
        held.Reset();
        DeleteFileA(path->c_str());
        result = {kProgramUnverified, operation_messages::kProgramUnverified, false, false};
        return;
    }
    if (held) {
        std::string message;
        result.code =
            RunProgram(*path, TimeoutMilliseconds(timeoutSeconds), true, message, std::move(held));
        facts.exitCode = result.code;
        if (result.code != 0) result.message = message;
    } else {
        // Another program has the file open to change it: not started.
        result = {-1, operation_messages::kCreateProcessFailed, false, false};
    }
    // The program is consumed whatever its outcome, so a later run can
    // never find it and start it again.
    DeleteFileA(path->c_str());
}
