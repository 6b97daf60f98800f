#pragma once

#include <windows.h>

#include <string>

#include "core/file_declaration.h"
#include "operations/operator_base.h"

// Runs a program that an earlier download stored in the work folder, waits
// for it within the operation's time-out, then deletes it. The file is held
// (read-only, without write or delete sharing) from the moment it is found
// until its process exists, so nothing can replace it before it starts; a
// program with a declared hash runs only when it has that hash, checked
// through that hold.
class COpSetupRun : public COperatorBase {
public:
    static constexpr int kProgramMissing = 501;
    static constexpr int kProgramUnverified = 502;

    COpSetupRun(std::string label, std::string serverBaseUrl, std::string cacheDirectory);

    void Run() override;
    int GetProgressWeight() const override { return 25; }
    bool Init(const xercesc::DOMNode* element) override;

    std::string execName;
    std::string description;
    // Only the hash (the child Sha256); required in trusted mode.
    FileDeclaration declaration;
};

// The wait limit for a time-out in seconds. Values that do not fit the wait
// become the longest finite wait rather than wrapping round (or turning
// into an endless wait).
DWORD TimeoutMilliseconds(int seconds);
