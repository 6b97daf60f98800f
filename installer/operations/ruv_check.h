#pragma once

#include <string>

#include "operations/operator_base.h"

// Finds out whether the product is installed, intact and at the version the
// server expects; if so, it asks the driver to skip the steps that would
// install it again. It never fails.
class COpRUVCheck : public COperatorBase {
public:
    COpRUVCheck(std::string label, std::string serverBaseUrl, std::string cacheDirectory);

    void Run() override;
    int GetProgressWeight() const override { return 5; }
    bool Init(const xercesc::DOMNode* element) override;

    std::string expectedVersion;
};
