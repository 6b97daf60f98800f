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
constexpr std::string_view kLayoutPrefix = "layout:";
constexpr std::string_view kSourcePrefix = "source:";

bool EqualsIgnoringCase(std::string_view text, std::string_view lowerCase) {
    return text.size() == lowerCase.size() &&
           std::equal(text.begin(), text.end(), lowerCase.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == b;
           });
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine commandLine;
    // The latest argument of each switch that another one excludes.
    const std::string* layout = nullptr;
    const std::string* excluding = nullptr;  // /source or /launch
    const std::string* later = nullptr;      // the later of the two
    const auto takesPath = [](std::string_view name, std::string_view prefix) {
        return name.size() > prefix.size() &&
               EqualsIgnoringCase(name.substr(0, prefix.size()), prefix);
    };
    for (const std::string& argument : arguments) {
        const std::string_view text = argument;
        const std::string_view name = text.empty() ? text : text.substr(1);
        const bool isSwitch = !text.empty() && (text.front() == '/' || text.front() == '-');
        if (isSwitch && EqualsIgnoringCase(name, kSilent)) {
            commandLine.silent = true;
        } else if (isSwitch && EqualsIgnoringCase(name, kLaunch)) {
            commandLine.launch = true;
            excluding = later = &argument;
        } else if (isSwitch && takesPath(name, kLogPrefix)) {
            commandLine.logPath = name.substr(kLogPrefix.size());
        } else if (isSwitch && takesPath(name, kLayoutPrefix)) {
            commandLine.layoutPath = name.substr(kLayoutPrefix.size());
            layout = later = &argument;
        } else if (isSwitch && takesPath(name, kSourcePrefix)) {
            commandLine.sourcePath = name.substr(kSourcePrefix.size());
            excluding = later = &argument;
        } else if (!commandLine.badArgument) {
            commandLine.badArgument = argument;
        }
    }
    // A layout is made, never run: it goes with neither.
    if (!commandLine.badArgument && layout != nullptr && excluding != nullptr) {
        commandLine.badArgument = *later;
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
