#include "host_registration.h"

#include <windows.h>

#include "host_manifest.h"
#include "platform/kernel_handle.h"
#include "platform/registry_key.h"
#include "wide_text.h"

namespace {

std::wstring Failure(const std::wstring& what, DWORD code) {
    return what + L" (error " + std::to_wstring(code) + L")";
}

// Written aside and moved into place, so that browsers never read half a
// manifest and a failed write leaves the previous one.
std::wstring WriteManifest(const std::wstring& path, const std::string& text) {
    const std::wstring aside = path + L".new";
    {
        const KernelHandle file =
            AdoptFileHandle(CreateFileW(aside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            return Failure(L"cannot create " + aside, GetLastError());
        }
        DWORD written = 0;
        if (!WriteFile(file.Get(), text.data(), DWORD(text.size()), &written, nullptr) ||
            written != text.size() || !FlushFileBuffers(file.Get())) {
            const DWORD code = GetLastError();
            DeleteFileW(aside.c_str());
            return Failure(L"cannot write " + aside, code);
        }
    }
    if (!MoveFileExW(aside.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD code = GetLastError();
        DeleteFileW(aside.c_str());
        return Failure(L"cannot write " + path, code);
    }
    return {};
}

std::wstring NameManifest(const wchar_t* keyPath, const std::wstring& manifest) {
    RegistryKey key;
    LSTATUS status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, 0, KEY_SET_VALUE,
                                     nullptr, key.Receive(), nullptr);
    if (status == ERROR_SUCCESS) {
        status = RegSetValueExW(key.Get(), nullptr, 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(manifest.c_str()),
                                DWORD((manifest.size() + 1) * sizeof(wchar_t)));
    }
    if (status != ERROR_SUCCESS) {
        return Failure(std::wstring(L"cannot write HKEY_LOCAL_MACHINE\\") + keyPath, DWORD(status));
    }
    return {};
}

}  // namespace

std::wstring HostManifestPath(const std::wstring& programPath) {
    const size_t folderEnd = programPath.find_last_of(L"\\/");
    const std::string name = kHostManifestFileName;
    return programPath.substr(0, folderEnd == std::wstring::npos ? 0 : folderEnd + 1) +
           std::wstring(name.begin(), name.end());
}

std::wstring RegisterHost(const std::wstring& programPath) {
    const std::wstring manifest = HostManifestPath(programPath);
    std::wstring failure = WriteManifest(manifest, HostManifest(WideToUtf8(programPath)));
    for (const wchar_t* key : kBrowserHostKeys) {
        if (failure.empty()) {
            failure = NameManifest(key, manifest);
        }
    }
    if (!failure.empty()) {
        UnregisterHost(programPath);
    }
    return failure;
}

std::wstring UnregisterHost(const std::wstring& programPath) {
    std::wstring failure;
    for (const wchar_t* key : kBrowserHostKeys) {
        const LSTATUS status = RegDeleteKeyW(HKEY_LOCAL_MACHINE, key);
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND && failure.empty()) {
            failure =
                Failure(std::wstring(L"cannot remove HKEY_LOCAL_MACHINE\\") + key, DWORD(status));
        }
    }
    const std::wstring manifest = HostManifestPath(programPath);
    if (!DeleteFileW(manifest.c_str())) {
        const DWORD code = GetLastError();
        if (code != ERROR_FILE_NOT_FOUND && failure.empty()) {
            failure = Failure(L"cannot remove " + manifest, code);
        }
    }
    return failure;
}
