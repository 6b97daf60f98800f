#pragma once

#include <string>

#include "operations/operator_base.h"

// Whether the calling thread's effective token holds the built-in
// Administrators group (enabled, not deny-only).
bool IsAdministratorsMember();

// Requires administrator rights before anything is downloaded or installed.
class COpUserCheck : public COperatorBase {
public:
    static constexpr int kNotAdministrator = 201;

    COpUserCheck(std::string label, std::string serverBaseUrl, std::string cacheDirectory);

    void Run() override;
    int GetProgressWeight() const override { return 5; }
    bool Init(const xercesc::DOMNode* element) override;

    // The membership query. Tests put a stand-in here, since the process
    // they run in is always elevated under Wine.
    bool (*isAdministrator)() = &IsAdministratorsMember;
};
