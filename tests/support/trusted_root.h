#pragma once

#include <string>

// The test CA certificates that WinINet trusts: it checks servers against the
// LocalMachine "Root" store of the Wine prefix, so a certificate added there
// is trusted by every program of that prefix (and of no other, nor the host).
// Each call throws std::runtime_error when the store refuses.

// Adds the DER certificate in the file at derPath (or replaces it).
void AddTrustedRoot(const std::string& derPath);
// Takes it out again; nothing happens when it is not there.
void RemoveTrustedRoot(const std::string& derPath);

// Trusted for the object's lifetime, so that no other test meets it.
class ScopedTrustedRoot {
public:
    explicit ScopedTrustedRoot(std::string derPath);
    ~ScopedTrustedRoot();
    ScopedTrustedRoot(const ScopedTrustedRoot&) = delete;
    ScopedTrustedRoot& operator=(const ScopedTrustedRoot&) = delete;

private:
    std::string derPath_;
};
