#pragma once

#include <set>
#include <string>

#include "operations/operator_base.h"

// Stops the installation on a system the server has black-listed. Items are
// whole descriptions as GetOSDescription() gives them, compared exactly.
class COpOSCheck : public COperatorBase {
public:
    static constexpr int kQueryFailed = 101;
    static constexpr int kBlackListed = 102;

    COpOSCheck(std::string label, std::string serverBaseUrl, std::string cacheDirectory);

    void Run() override;
    int GetProgressWeight() const override { return 5; }
    bool Init(const xercesc::DOMNode* element) override;

    std::set<std::string> blackList;
};
