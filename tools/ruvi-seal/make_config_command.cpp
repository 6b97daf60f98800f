#include <algorithm>
#include <optional>

#include "command_files.h"
#include "commands.h"
#include "config_document.h"
#include "core/installer_config.h"
#include "core/secure_stream.h"
#include "core/trust_key.h"
#include "core/xml_document.h"
#include "file_output.h"
#include "key_files.h"
#include "p256_point.h"
#include "tool_failure.h"
#include "tool_messages.h"

namespace {

struct MakeConfigOptions {
    std::string server;
    CommEncryptMode mode = CommEncryptMode::Secure;
    std::string desKey;
    std::string trustKey;  // the text; "" for none
    std::string output;
};

MakeConfigOptions ParseOptions(const CommandArguments& arguments) {
    std::optional<std::string> server, desKey, output, trustKey, trustKeyFile;
    bool secure = false;
    bool untrusted = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--server") {
            SetOptionOnce(server, name, arguments, i);
        } else if (name == "--des") {
            SetOptionOnce(desKey, name, arguments, i);
        } else if (name == "-o" || name == "--output") {
            SetOptionOnce(output, name, arguments, i);
        } else if (name == "--trust-key") {
            SetOptionOnce(trustKey, name, arguments, i);
        } else if (name == "--trust-key-file") {
            SetOptionOnce(trustKeyFile, name, arguments, i);
        } else if (name == "--secure" || name == "--untrusted") {
            bool& flag = name == "--secure" ? secure : untrusted;
            if (flag) throw CUsageError(kOptionRepeated + name);
            flag = true;
        } else {
            throw CUsageError(kUnknownOption + name);
        }
    }
    if (!server) throw CUsageError(kServerOptionMissing);
    if (secure == desKey.has_value()) throw CUsageError(kModeMissing);
    if (!output) throw CUsageError(kOutputOptionMissing);
    if (trustKey && trustKeyFile) throw CUsageError(kTrustKeyTwice);
    // An empty key text would leave the configuration without one.
    const bool keyGiven = (trustKey && !trustKey->empty()) || trustKeyFile;
    if (untrusted && keyGiven) throw CUsageError(kUntrustedWithKey);
    if (!untrusted && !keyGiven) throw CUnconfirmedRisk(kTrustKeyMissing);
    return {GbkArgument(*server), secure ? CommEncryptMode::Secure : CommEncryptMode::Des,
            desKey ? GbkArgument(*desKey) : std::string(),
            trustKeyFile ? TrustKeyText(PublicPointOfKeyFile(*trustKeyFile))
                         : GbkArgument(trustKey.value_or("")),
            *output};
}

// XML 1.0 has no way to write these, not even as references.
void ExpectNoControlCharacters(const std::string& text, const char* option) {
    const bool control = std::any_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r';
    });
    if (control) throw CToolFailure(kControlCharacter + std::string(option));
}

// Reads the document as the installer will, so that what it would refuse is
// refused here with its reason, and checks that the texts came through as
// they were given.
void CheckAsTheInstaller(const ByteVector& document, const MakeConfigOptions& options) {
    CInstallerConfig config;
    config.LoadConfigFrom(document, false);
    if (config.serverUrl != options.server) {
        throw CToolFailure(kNotStorable + std::string("--server"));
    }
    if (options.mode == CommEncryptMode::Des && config.desKey != options.desKey) {
        throw CToolFailure(kNotStorable + std::string("--des"));
    }
    // The installer checks the key's form only; a point off the curve would
    // fail every signature.
    if (config.Trusted() && !IsP256Point(config.trustKey)) throw CToolFailure(kTrustKeyOffCurve);
}

}  // namespace

void RunMakeConfig(const CommandArguments& arguments, std::ostream&) {
    const MakeConfigOptions options = ParseOptions(arguments);
    ExpectNoControlCharacters(options.server, "--server");
    ExpectNoControlCharacters(options.desKey, "--des");
    ExpectNoControlCharacters(options.trustKey, "--trust-key");
    const std::string text =
        ConfigDocument(options.server, options.mode, options.desKey, options.trustKey);
    const ByteVector document(text.begin(), text.end());

    CXmlRuntime runtime;
    CheckAsTheInstaller(document, options);
    ByteVector sealed;
    SecureEncrypt(sealed, document);
    CInstallerConfig().LoadConfigFrom(sealed, true);
    WriteFileReplacing(options.output, sealed);
}
