#include "commands.h"
#include "core/trust_key.h"
#include "key_files.h"
#include "tool_failure.h"
#include "tool_messages.h"

void RunKeygen(const CommandArguments& arguments, std::ostream& out) {
    if (arguments.empty()) throw CUsageError(kOutputOptionMissing);
    if (arguments[0] != "-o" && arguments[0] != "--output") {
        throw CUsageError(kUnknownOption + arguments[0]);
    }
    if (arguments.size() != 2) throw CUsageError(kWrongArgumentCount);
    out << TrustKeyText(WriteNewSigningKey(arguments[1])) << '\n';
}
