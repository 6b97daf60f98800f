#include "operations/plain_file_name.h"

#include <windows.h>

#include <string_view>

namespace {

constexpr std::size_t kLongestName = 200;  // bytes in the local code page
constexpr std::wstring_view kNotInNames = L"\\/:*?\"<>|";

// The characters the ANSI file calls turn name into; false for bytes that
// are no text in the local code page. An embedded zero byte is kept.
bool SystemCharacters(const std::string& name, std::wstring& wide) {
    const int length = static_cast<int>(name.size());
    wide.resize(name.size());
    const int converted =
        MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name.data(), length, wide.data(), length);
    wide.resize(static_cast<std::size_t>(converted));
    return converted > 0;
}

bool IsControl(wchar_t character) { return character < L' ' || character == 0x7F; }

wchar_t AsciiUpper(wchar_t character) {
    return character >= L'a' && character <= L'z' ? character - L'a' + L'A' : character;
}

bool SameLetters(std::wstring_view text, std::wstring_view upper) {
    if (text.size() != upper.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (AsciiUpper(text[i]) != upper[i]) return false;
    }
    return true;
}

// The system opens a device for these in any folder, whatever follows the
// first dot; the numbered ones include the superscript digits.
bool IsDeviceName(std::wstring_view name) {
    std::wstring_view stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.remove_suffix(1);
    for (const std::wstring_view device : {L"CON", L"PRN", L"AUX", L"NUL"}) {
        if (SameLetters(stem, device)) return true;
    }
    if (stem.size() != 4) return false;
    const wchar_t number = stem[3];
    const bool isPortNumber = (number >= L'1' && number <= L'9') || number == L'\u00B9' ||
                              number == L'\u00B2' || number == L'\u00B3';
    return isPortNumber &&
           (SameLetters(stem.substr(0, 3), L"COM") || SameLetters(stem.substr(0, 3), L"LPT"));
}

}  // namespace

bool IsPlainFileName(const std::string& name) {
    if (name.empty() || name.size() > kLongestName) return false;
    std::wstring wide;
    if (!SystemCharacters(name, wide)) return false;
    for (const wchar_t character : wide) {
        if (IsControl(character) || kNotInNames.find(character) != std::wstring_view::npos) {
            return false;
        }
    }
    // Also "." and "..".
    if (wide.back() == L'.' || wide.back() == L' ') return false;
    return !IsDeviceName(wide);
}
