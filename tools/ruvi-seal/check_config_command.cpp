#include "command_files.h"
#include "commands.h"
#include "core/installer_config.h"
#include "core/xml_document.h"
#include "key_fingerprint.h"
#include "terminal_text.h"
#include "tool_messages.h"

void RunCheckConfig(const CommandArguments& arguments, std::ostream& out) {
    ExpectArgumentCount(arguments, 1);
    CXmlRuntime runtime;
    CInstallerConfig config;
    config.LoadConfig(arguments[0], true);

    out << kServerLabel << ToTerminal(config.serverUrl) << '\n';
    if (config.encryptionMode == CommEncryptMode::Des) {
        out << kModeLabel << kModeDes << '\n' << kKeyLabel << ToTerminal(config.desKey) << '\n';
    } else {
        out << kModeLabel << kModeSecure << '\n';
    }
    out << kTrustKeyLabel << (config.Trusted() ? KeyFingerprint(config.trustKey) : kNoTrustKey)
        << '\n';
}
