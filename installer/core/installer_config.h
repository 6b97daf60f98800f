#pragma once

#include <string>

#include "core/byte_vector.h"

// How the server's answers are decoded.
enum class CommEncryptMode { Des = 0, Secure = 1 };

// The installer's local configuration, read from "RUVI.config".
class CInstallerConfig {
public:
    std::string serverUrl;
    CommEncryptMode encryptionMode = CommEncryptMode::Secure;
    std::string desKey;
    // X || Y of the TrustKey (see trust_key.h); empty without one.
    ByteVector trustKey;

    // Whether the configuration pins a signing key: answers must then carry
    // its signature, and downloads their declared hashes.
    bool Trusted() const { return !trustKey.empty(); }

    // Reads, decodes (when encoded), parses and validates the file at path.
    // Throws CMessageError with the failure's text. Fields set before a
    // failing check keep their new values. The XML runtime must be started.
    void LoadConfig(const std::string& path, bool encoded);

    // The same from the file's bytes, once read.
    void LoadConfigFrom(const ByteVector& fileBytes, bool encoded);
};
