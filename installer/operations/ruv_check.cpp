#include "operations/ruv_check.h"

#include <utility>

#include "operations/child_text.h"

COpRUVCheck::COpRUVCheck(std::string label, std::string serverBaseUrl, std::string cacheDirectory)
    : COperatorBase(OperationKind::Check, "RUVCheck", std::move(label), std::move(serverBaseUrl),
                    std::move(cacheDirectory)) {}

bool COpRUVCheck::Init(const xercesc::DOMNode* element) {
    expectedVersion = ChildText(element, "Version");
    return !expectedVersion.empty();
}

// The product's own control is not consulted yet, so the product always
// counts as not installed and the following steps install it.
void COpRUVCheck::Run() { result = OperationResult{}; }
