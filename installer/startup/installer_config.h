#pragma once

#include <string>

// How the server's answers are decoded.
enum class CommEncryptMode { Des = 0, Secure = 1 };

// The installer's local configuration, read from "RUVI.config".
class CInstallerConfig {
public:
    std::string serverUrl;
    CommEncryptMode encryptionMode = CommEncryptMode::Secure;
    std::string desKey;

    // Reads, decodes (when encoded), parses and validates the file at path.
    // Throws CMessageError with the failure's text.
    void LoadConfig(const std::string& path, bool encoded);
};
