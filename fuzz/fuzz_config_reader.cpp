// The configuration reader on any file content, by the path the installer
// takes: the raw bytes as a sealed file, and the bytes sealed as the file's
// XML document, so that the parser sees arbitrary XML. Only message texts may
// escape the reader; a document must read the same sealed as unsealed; and
// what is accepted is a usable configuration.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/installer_config.h"
#include "core/message_error.h"
#include "core/secure_stream.h"
#include "core/xml_document.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

// What a load ends with: the failure text, or the fields it filled.
struct Outcome {
    std::string failure;
    CInstallerConfig config;

    bool operator==(const Outcome& other) const {
        return failure == other.failure && config.serverUrl == other.config.serverUrl &&
               config.encryptionMode == other.config.encryptionMode &&
               config.desKey == other.config.desKey && config.trustKey == other.config.trustKey;
    }
};

Outcome Load(const ByteVector& file, bool encoded) {
    Outcome outcome;
    try {
        outcome.config.LoadConfigFrom(file, encoded);
    } catch (const CMessageError& failure) {
        outcome.failure = failure.Text();
        Require(!outcome.failure.empty());
        return outcome;
    }
    Require(!outcome.config.serverUrl.empty());
    Require(outcome.config.encryptionMode == CommEncryptMode::Secure ||
            outcome.config.desKey.size() == 8);
    Require(!outcome.config.Trusted() || outcome.config.trustKey.size() == 64);
    return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static CXmlRuntime runtime;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ByteVector bytes(data, data + size);
    Load(bytes, true);

    if (bytes.empty()) return 0;
    ByteVector sealed;
    SecureEncrypt(sealed, bytes);
    Require(Load(sealed, true) == Load(bytes, false));
    return 0;
}
