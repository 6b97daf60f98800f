#include "command_files.h"

#include "core/file_bytes.h"
#include "terminal_text.h"
#include "tool_failure.h"
#include "tool_messages.h"

void ExpectArgumentCount(const CommandArguments& arguments, std::size_t count) {
    if (arguments.size() != count) throw CUsageError(kWrongArgumentCount);
}

void SetOptionOnce(std::optional<std::string>& option, const std::string& name,
                   const CommandArguments& arguments, std::size_t& index) {
    if (option) throw CUsageError(kOptionRepeated + name);
    if (index + 1 >= arguments.size()) throw CUsageError(kOptionNeedsValue + name);
    option = arguments[++index];
}

ByteVector ReadInputFile(const std::string& path) {
    auto bytes = ReadFileBytes(path);
    if (!bytes) throw CToolFailure(kCannotRead + path);
    return std::move(*bytes);
}

std::string GbkArgument(const std::string& argument) {
    auto gbk = FromTerminal(argument);
    if (!gbk) throw CToolFailure(kNotTerminalText + argument);
    return std::move(*gbk);
}
