// The installer's version check, a part of the initial exchange.
#include <windows.h>

#include "exchange/installer_version.h"

#include <cstdio>
#include <vector>

#include "exchange/installer_context.h"

std::string FileVersionText(const std::string& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<char> information(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, information.data())) return {};
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!VerQueryValueA(information.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize) ||
        fixed == nullptr || fixedSize < sizeof(VS_FIXEDFILEINFO)) {
        return {};
    }
    char text[260];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", HIWORD(fixed->dwFileVersionMS),
                  LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                  LOWORD(fixed->dwFileVersionLS));
    return text;
}

bool CInstallerContext::CheckVersion(const std::string& required) const {
    const std::string version = FileVersionText(installerPath);
    return !version.empty() && version == required;
}
