#include "child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>  // brings the clocks; <chrono> does not build with GBK literals

namespace {

constexpr auto kStopGrace = std::chrono::seconds(10);
constexpr auto kPollInterval = std::chrono::milliseconds(20);

std::vector<char*> ArgumentPointers(const std::vector<std::string>& argv) {
    std::vector<char*> pointers;
    for (const std::string& argument : argv)
        pointers.push_back(const_cast<char*>(argument.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

// Runs in the child between fork and exec, so only async-signal-safe calls.
// The services host blocks its stop signals for its signal thread; a child
// must not inherit that mask, or it would ignore SIGTERM.
[[noreturn]] void ExecChild(char* const* argv, const char* stdoutPath, const char* stderrPath) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    const int out = open(stdoutPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(stderrPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0) _exit(127);
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    const int in = open("/dev/null", O_RDONLY);
    if (in >= 0) dup2(in, STDIN_FILENO);
    execv(argv[0], argv);
    _exit(127);
}

pid_t Spawn(const std::vector<std::string>& argv, const std::string& stdoutPath,
            const std::string& stderrPath) {
    std::vector<char*> pointers = ArgumentPointers(argv);
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("cannot fork for " + argv.at(0));
    if (pid == 0) ExecChild(pointers.data(), stdoutPath.c_str(), stderrPath.c_str());
    return pid;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::string& stdoutPath,
                           const std::string& stderrPath)
    : pid_(Spawn(argv, stdoutPath, stderrPath)) {}

ChildProcess::~ChildProcess() { Stop(); }

bool ChildProcess::Running() {
    if (pid_ < 0) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == 0) return true;
    pid_ = -1;
    return false;
}

void ChildProcess::Stop() {
    if (!Running()) return;
    kill(pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + kStopGrace;
    while (Running()) {
        if (std::chrono::steady_clock::now() >= deadline) return Kill();
        std::this_thread::sleep_for(kPollInterval);
    }
}

void ChildProcess::Kill() {
    if (!Running()) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

int RunToEnd(const std::vector<std::string>& argv) {
    const pid_t pid = Spawn(argv, "/dev/null", "/dev/null");
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}
