#include "net/internet_error.h"

#include "net/http_messages.h"

CInternetError::CInternetError(DWORD code) : CMessageError(InternetErrorText(code)), code_(code) {}

void ThrowLastInternetError() { throw CInternetError(GetLastError()); }

std::string InternetErrorText(DWORD code) {
    char text[1024];
    // FormatMessageA fails rather than overrun the buffer, so a text that does
    // not fit falls back like a missing one.
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        GetModuleHandleA("wininet.dll"), code, 0, text, sizeof text, nullptr);
    if (length == 0) return kInternetErrorWithoutText + std::to_string(code);
    return std::string(text, length);
}
