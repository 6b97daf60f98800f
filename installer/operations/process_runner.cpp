#include "operations/process_runner.h"

#include <cstdio>
#include <vector>

#include "operations/operation_messages.h"
#include "platform/kernel_handle.h"

namespace {

constexpr UINT kTerminatedExitCode = 0xFFFFFFFF;
// Termination is asynchronous; until the process has gone, its file cannot
// be deleted. Bounded, so that a process the system cannot end does not
// hold up the installer for good.
constexpr DWORD kTerminationWait = 5000;

// Writable, as CreateProcessA wants it.
std::vector<char> QuotedCommandLine(const std::string& programPath) {
    std::vector<char> line;
    line.push_back('"');
    line.insert(line.end(), programPath.begin(), programPath.end());
    line.push_back('"');
    line.push_back('\0');
    return line;
}

std::string ExitCodeMessage(int exitCode) {
    char text[1024];
    std::snprintf(text, sizeof text, operation_messages::kProgramFailedFormat, exitCode);
    return text;
}

}  // namespace

int RunProgram(std::string programPath, DWORD timeoutMs, bool wait, std::string& message,
               KernelHandle heldFile) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION created{};
    std::vector<char> commandLine = QuotedCommandLine(programPath);
    // Named as the application too, so the system neither searches for the
    // program nor appends ".exe" to its name.
    const BOOL started =
        CreateProcessA(programPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                       CREATE_NEW_CONSOLE, nullptr, nullptr, &startup, &created);
    heldFile.Reset();
    if (!started) {
        message = operation_messages::kCreateProcessFailed;
        return -1;
    }
    const KernelHandle process(created.hProcess);
    const KernelHandle thread(created.hThread);
    if (!wait) return 0;

    if (WaitForSingleObject(process.Get(), timeoutMs) == WAIT_TIMEOUT) {
        TerminateProcess(process.Get(), kTerminatedExitCode);
        WaitForSingleObject(process.Get(), kTerminationWait);
        message = operation_messages::kRunTimedOut;
        return -1;
    }
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(process.Get(), &exitCode)) exitCode = 0;
    if (exitCode == 0) return 0;
    const int code = static_cast<int>(exitCode);
    message = ExitCodeMessage(code);
    return code;
}
