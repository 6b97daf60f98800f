#include "platform/text_conversion.h"

#include <windows.h>

#include <vector>

std::string AnsiToUtf8(std::string text) {
    if (text.empty()) return {};
    const int inLength = static_cast<int>(text.size());
    std::vector<wchar_t> wide(text.size());
    const int wideLength =
        MultiByteToWideChar(CP_ACP, 0, text.data(), inLength, wide.data(), inLength);
    if (wideLength == 0) return {};
    std::vector<char> utf8(3 * static_cast<std::size_t>(wideLength) + 1, '\0');
    const int utf8Length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(),
                                               static_cast<int>(utf8.size()), nullptr, nullptr);
    if (utf8Length == 0) return {};
    return std::string(utf8.data());  // up to the first zero byte
}

bool WideToAnsi(std::wstring text, std::string& out) {
    std::vector<char> buffer(3 * text.size() + 1, '\0');
    if (WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, buffer.data(),
                            static_cast<int>(buffer.size()), nullptr, nullptr) == 0) {
        out.clear();
        return false;
    }
    out = buffer.data();
    return true;
}

bool AnsiToWide(std::string text, std::wstring& out) {
    std::vector<wchar_t> buffer(2 * text.size() + 2, L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, buffer.data(),
                            static_cast<int>(buffer.size())) == 0) {
        out.clear();
        return false;
    }
    out = buffer.data();
    return true;
}
