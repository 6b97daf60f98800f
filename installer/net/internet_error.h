#pragma once

#include <windows.h>

#include <string>

#include "core/message_error.h"

// A failed WinINet call, carrying the platform's own text for its code.
class CInternetError : public CMessageError {
public:
    explicit CInternetError(DWORD code);

    DWORD Code() const noexcept { return code_; }

private:
    DWORD code_;
};

// Throws CInternetError for the calling thread's last error.
[[noreturn]] void ThrowLastInternetError();

// The WinINet module's text for code in the ANSI code page (at most 1023
// bytes), or a text of our own that names the code when there is none.
std::string InternetErrorText(DWORD code);
