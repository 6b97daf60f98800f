#include "command_files.h"
#include "commands.h"
#include "core/des_ecb.h"
#include "file_output.h"
#include "tool_failure.h"
#include "tool_messages.h"

namespace {
constexpr std::size_t kDesGroup = 8;
}

void RunDesEncrypt(const CommandArguments& arguments, std::ostream&) {
    ExpectArgumentCount(arguments, 3);
    const std::string key = GbkArgument(arguments[0]);
    ByteVector plain = ReadInputFile(arguments[1]);
    if (plain.empty()) throw CToolFailure(kNothingToEncrypt);
    // A server pads its answer with spaces; the installer's parser skips them
    // after the root element.
    plain.resize((plain.size() + kDesGroup - 1) / kDesGroup * kDesGroup, ' ');
    ByteVector encrypted;
    DesEcbEncrypt(plain, encrypted, key);
    WriteFileReplacing(arguments[2], encrypted);
}
