// The demo product's setup program, as the server hands it out: installs
// the product program and its automation control into the product's folder,
// registers the control (with its Version key), names the folder in the
// registry, and gives the product the skin of the installer that ran it.
// Exit code 0 on success, 1 on any failure.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "demo_setup_resources.h"

namespace {

constexpr char kProductFolder[] = "C:\\Program Files\\Tarvano\\RUV\\";
constexpr char kInstallKey[] = "SOFTWARE\\Tarvano\\RUV";
constexpr char kInstallerKey[] = "SOFTWARE\\Tarvano\\RUVI";
// Where the stand-in control takes the install path it answers.
constexpr char kControlSettingsKey[] = "Software\\RuviTest\\ProductControl";

bool ExtractResource(int id, const std::string& path) {
    const HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
    if (resource == nullptr) return false;
    const HGLOBAL loaded = LoadResource(nullptr, resource);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) return false;
    std::ofstream file(path, std::ios::binary);
    file.write(static_cast<const char*>(bytes), SizeofResource(nullptr, resource));
    return static_cast<bool>(file);
}

bool RegisterControl(const std::string& path) {
    const HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr) return false;
    using Entry = HRESULT(WINAPI*)();
    const auto entry = reinterpret_cast<Entry>(
        reinterpret_cast<void*>(GetProcAddress(module, "DllRegisterServer")));
    const bool registered = entry != nullptr && SUCCEEDED(entry());
    FreeLibrary(module);
    return registered;
}

bool SetText(HKEY root, const char* key, const char* name, const std::string& value) {
    return RegSetKeyValueA(root, key, name, REG_SZ, value.c_str(),
                           static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

std::string ReadText(HKEY root, const char* key, const char* name) {
    char value[MAX_PATH] = {};
    DWORD size = sizeof(value);
    if (RegGetValueA(root, key, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
        return {};
    }
    return value;
}

bool CopySkin() {
    std::string installer = ReadText(HKEY_LOCAL_MACHINE, kInstallerKey, "InstallPath");
    if (installer.empty()) return false;
    if (installer.back() != '\\') installer += '\\';
    // A fresh copy: the runtime's copy cannot overwrite files on this
    // platform.
    const std::string target = std::string(kProductFolder) + "skin";
    std::error_code error;
    std::filesystem::remove_all(target, error);
    std::filesystem::copy(installer + "skin", target, std::filesystem::copy_options::recursive,
                          error);
    return !error;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::string folder = kProductFolder;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const bool installed = !error && ExtractResource(IDR_PRODUCT_PROGRAM, folder + "RUV.exe") &&
                           ExtractResource(IDR_PRODUCT_CONTROL, folder + "product_control.dll") &&
                           RegisterControl(folder + "product_control.dll") &&
                           SetText(HKEY_CURRENT_USER, kControlSettingsKey, "InstallPath", folder) &&
                           SetText(HKEY_LOCAL_MACHINE, kInstallKey, "InstallPath",
                                   folder.substr(0, folder.size() - 1)) &&
                           CopySkin();
    return installed ? 0 : 1;
}
