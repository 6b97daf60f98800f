#pragma once

#include <string>

// What an operation's Run() leaves behind for the run driver and the window.
struct OperationResult {
    // 0 is success; anything else is a failure code of the operation's kind
    // (or the exit code of the program a setup run started).
    int code = 0;
    std::string message;  // GBK; set on failure
    bool showMessage = false;
    // Success that tells the driver to pass over the next skipCountOnSuccess
    // operations.
    bool skipFollowing = false;
};
