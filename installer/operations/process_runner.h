#pragma once

#include <windows.h>

#include <string>

#include "platform/kernel_handle.h"

// Starts the program at programPath in a new console, without arguments.
// The path is taken as it stands: nothing is searched for and no ".exe" is
// added; it is also quoted on the command line, so a folder name with a
// space cannot make the system start a different program.
// Without wait: 0 once the process is created. With wait: 0 when it exits
// with 0 within timeoutMs; its non-zero exit code otherwise; -1 when it had
// to be terminated at the time-out (the call returns once the process has
// ended, or after 5 s more at most). -1 also when creation fails. message
// receives the failure's text and is left alone on success.
// heldFile, when given, is the caller's handle on the program file that
// keeps it from being changed; it is closed as soon as the process has been
// created (or could not be), so the program itself is not held up by it.
int RunProgram(std::string programPath, DWORD timeoutMs, bool wait, std::string& message,
               KernelHandle heldFile = KernelHandle());
