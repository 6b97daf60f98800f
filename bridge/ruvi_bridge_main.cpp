// RUVIBridge.exe: the native messaging host com.tarvano.ruvi. Started by the
// browser for one page's request, relayed by the extension: it reads one
// message on standard input, answers one on standard output, and ends.
// "/register" and "/unregister" make browsers find it, or forget it.

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>

#include "bridge_protocol.h"
#include "host_registration.h"
#include "machine_records.h"
#include "message_framing.h"
#include "wide_text.h"

namespace {

std::wstring ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

bool IsSwitch(std::string_view argument, std::string_view name) {
    return argument.size() == name.size() &&
           CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, argument.data(), int(argument.size()),
                          name.data(), int(name.size())) == CSTR_EQUAL;
}

int Fail(const std::wstring& reason) {
    std::fputs(("RUVIBridge: " + WideToAnsi(reason) + "\n").c_str(), stderr);
    return 1;
}

// Browsers start the host with arguments of their own (the extension's
// origin, a window handle), none of which begins with '/'.
int RunSwitch(int argc, char** argv) {
    const std::string_view name = argv[1];
    if (argc > 2) {
        return Fail(L"unexpected argument after " + AnsiToWide(name));
    }
    std::wstring failure;
    if (IsSwitch(name, "/register")) {
        failure = RegisterHost(ProgramPath());
    } else if (IsSwitch(name, "/unregister")) {
        failure = UnregisterHost(ProgramPath());
    } else {
        failure = L"unknown switch " + AnsiToWide(name) + L" (known: /register, /unregister)";
    }
    return failure.empty() ? 0 : Fail(failure);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && argv[1][0] == '/') {
        return RunSwitch(argc, argv);
    }
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    const std::optional<std::string> message = ReadMessage(std::cin);
    const MachineRecords records;
    return WriteMessage(std::cout, AnswerMessage(message, records)) ? 0 : 1;
}
