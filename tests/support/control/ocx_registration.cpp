#include "ocx_registration.h"

#include <stdexcept>

#include "platform/kernel_handle.h"

std::wstring OcxPath() {
    wchar_t program[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring path(program, length);
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"RUVICtrl.ocx";
}

int RunRegsvr32(const std::wstring& arguments) {
    std::wstring commandLine = L"regsvr32.exe " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return -1;
    }
    KernelHandle processHandle(process.hProcess);
    KernelHandle threadHandle(process.hThread);
    if (WaitForSingleObject(processHandle.Get(), 60000) != WAIT_OBJECT_0) {
        TerminateProcess(processHandle.Get(), 1);
        WaitForSingleObject(processHandle.Get(), 10000);
        return -1;
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(processHandle.Get(), &exitCode);
    return int(exitCode);
}

OcxRegistration::OcxRegistration() {
    if (RunRegsvr32(L"/s \"" + OcxPath() + L"\"") != 0) {
        throw std::runtime_error("regsvr32 could not register RUVICtrl.ocx");
    }
}

OcxRegistration::~OcxRegistration() { RunRegsvr32(L"/u /s \"" + OcxPath() + L"\""); }
