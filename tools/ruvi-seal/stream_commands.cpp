#include "command_files.h"
#include "commands.h"
#include "core/secure_stream.h"
#include "file_output.h"

void RunSeal(const CommandArguments& arguments, std::ostream&) {
    ExpectArgumentCount(arguments, 2);
    ByteVector sealed;
    SecureEncrypt(sealed, ReadInputFile(arguments[0]));
    WriteFileReplacing(arguments[1], sealed);
}

void RunOpen(const CommandArguments& arguments, std::ostream&) {
    ExpectArgumentCount(arguments, 2);
    ByteVector payload;
    SecureDecrypt(ReadInputFile(arguments[0]), payload);
    WriteFileReplacing(arguments[1], payload);
}
