#include "startup/command_line.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cctype>
#include <string_view>

#include "platform/local_memory.h"
#include "platform/text_conversion.h"

namespace {

constexpr std::string_view kSilent = "silent";
constexpr std::string_view kLaunch = "launch";
constexpr std::string_view kLogPrefix = "log:";

bool EqualsIgnoringCase(std::string_view text, std::string_view lowerCase) {
    return text.size() == lowerCase.size() &&
           std::equal(text.begin(), text.end(), lowerCase.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == b;
           });
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine commandLine;
    for (const std::string& argument : arguments) {
        const std::string_view text = argument;
        const std::string_view name = text.empty() ? text : text.substr(1);
        const bool isSwitch = !text.empty() && (text.front() == '/' || text.front() == '-');
        if (isSwitch && EqualsIgnoringCase(name, kSilent)) {
            commandLine.silent = true;
        } else if (isSwitch && EqualsIgnoringCase(name, kLaunch)) {
            commandLine.launch = true;
        } else if (isSwitch && name.size() > kLogPrefix.size() &&
                   EqualsIgnoringCase(name.substr(0, kLogPrefix.size()), kLogPrefix)) {
            commandLine.logPath = name.substr(kLogPrefix.size());
        } else if (!commandLine.badArgument) {
            commandLine.badArgument = argument;
        }
    }
    return commandLine;
}

std::vector<std::string> ProgramArguments() {
    int count = 0;
    const LocalMemory<LPWSTR*> split(CommandLineToArgvW(GetCommandLineW(), &count));
    std::vector<std::string> arguments;
    for (int i = 1; split && i < count; ++i) {
        std::string argument;
        WideToAnsi(split.Get()[i], argument);
        arguments.push_back(std::move(argument));
    }
    return arguments;
}
