#include "operations/os_description.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr std::size_t kDescriptionBufferSize = 1024;

// The record's text field need not be terminated.
std::string ServicePackText(const OSVERSIONINFOEXA& info) {
    return std::string(info.szCSDVersion, strnlen(info.szCSDVersion, sizeof info.szCSDVersion));
}

}  // namespace

std::string FormatExtendedOSDescription(const OSVERSIONINFOEXA& info) {
    char text[kDescriptionBufferSize];
    std::snprintf(text, sizeof text,
                  "OSVERSIONINFOEX_Major_%d_Minor_%d_Build_%d_PlatformId_%d_CSDVersion_%s"
                  "_SPMajor_%d_SPMinor_%d_Mask_%d_Type_%d_END",
                  static_cast<int>(info.dwMajorVersion), static_cast<int>(info.dwMinorVersion),
                  static_cast<int>(info.dwBuildNumber), static_cast<int>(info.dwPlatformId),
                  ServicePackText(info).c_str(), info.wServicePackMajor, info.wServicePackMinor,
                  info.wSuiteMask, info.wProductType);
    return text;
}

std::string FormatBasicOSDescription(const OSVERSIONINFOEXA& info) {
    char text[kDescriptionBufferSize];
    std::snprintf(text, sizeof text,
                  "OSVERSIONINFO_Major_%d_Minor_%d_Build_%d_PlatformId_%d_CSDVersion_%s_END",
                  static_cast<int>(info.dwMajorVersion), static_cast<int>(info.dwMinorVersion),
                  static_cast<int>(info.dwBuildNumber), static_cast<int>(info.dwPlatformId),
                  ServicePackText(info).c_str());
    return text;
}

std::string GetOSDescription() {
    OSVERSIONINFOEXA info{};
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
    if (GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) {
        return FormatExtendedOSDescription(info);
    }
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    if (GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) {
        return FormatBasicOSDescription(info);
    }
    return {};
}
