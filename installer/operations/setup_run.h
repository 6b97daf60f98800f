#pragma once

#include <windows.h>

#include <string>

#include "operations/operator_base.h"

// Runs a program that an earlier download stored in the work folder, waits
// for it within the operation's time-out, then deletes it.
class COpSetupRun : public COperatorBase {
public:
    static constexpr int kProgramMissing = 501;

    COpSetupRun(std::string label, std::string serverBaseUrl, std::string cacheDirectory);

    void Run() override;
    int GetProgressWeight() const override { return 25; }
    bool Init(const xercesc::DOMNode* element) override;

    std::string execName;
    std::string description;
};

// The wait limit for a time-out in seconds. Values that do not fit the wait
// become the longest finite wait rather than wrapping round (or turning
// into an endless wait).
DWORD TimeoutMilliseconds(int seconds);
