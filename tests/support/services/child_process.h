#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// A program that the services host started. Its standard output and error
// go to files, so nothing has to drain a pipe while it runs. The owner stops
// it; should the services host die first, the kernel sends it SIGTERM.
class ChildProcess {
public:
    // Throws std::runtime_error when the program cannot be started.
    ChildProcess(const std::vector<std::string>& argv, const std::string& stdoutPath,
                 const std::string& stderrPath);
    ~ChildProcess();

    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // False once it has ended (and then it is reaped).
    bool Running();

    // SIGTERM, then SIGKILL if it has not ended within the grace time.
    void Stop();
    // SIGKILL at once: it ends as in a crash, in the middle of its work.
    void Kill();

private:
    pid_t pid_ = -1;
};

// Runs a program to its end, its output discarded; returns its exit status
// (-1 when it did not exit normally).
int RunToEnd(const std::vector<std::string>& argv);
