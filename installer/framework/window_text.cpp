#include "framework/window_text.h"

#include <vector>

#include "platform/text_conversion.h"

std::string GetWindowTextAnsi(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, buffer.data(), length + 1);
    std::string text;
    WideToAnsi(std::wstring(buffer.data(), static_cast<std::size_t>(copied)), text);
    return text;
}

void SetWindowTextAnsi(HWND window, const std::string& text) {
    std::wstring wide;
    AnsiToWide(text, wide);
    SetWindowTextW(window, wide.c_str());
}
