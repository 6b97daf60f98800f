#include "key_files.h"
#include "tool_failure.h"
#include "tool_messages.h"

ByteVector PublicPointOfKeyFile(const std::string&) {
    throw CToolFailure(std::string("--trust-key-file") + kOnlyInLinuxBuild);
}

ByteVector WriteNewSigningKey(const std::string&) {
    throw CToolFailure(std::string("keygen") + kOnlyInLinuxBuild);
}

CAnswerSignature SignAnswerWithKeyFile(const std::string&, const ByteVector&) {
    throw CToolFailure(std::string("--signing-key") + kOnlyInLinuxBuild);
}
