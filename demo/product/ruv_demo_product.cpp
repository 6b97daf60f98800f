// The demo product: what the installer starts at the end. It says that it
// runs and leaves "RUV.started" beside itself, so the demo can tell.
#include <windows.h>

#include <fstream>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    folder.erase(folder.find_last_of('\\') + 1);
    std::ofstream(folder + "RUV.started") << GetCommandLineA();
    MessageBoxW(nullptr, L"Ruvex 已启动。\n这是演示用的产品程序。", L"Ruvex",
                MB_OK | MB_ICONINFORMATION);
    return 0;
}
