#pragma once

#include <windows.h>

#include "platform/windows_hook.h"

// While it lives, no window can be created on the current thread, and the
// attempts are counted: a call that would open a modal dialog returns at
// once instead of waiting for a user, and the test learns that it tried.
// One at a time per thread.
class WindowCreationBlock {
public:
    WindowCreationBlock();

    int Attempts() const;

private:
    WindowsHook hook_;
};
