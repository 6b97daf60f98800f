#pragma once

#include <xercesc/dom/DOMNode.hpp>

#include <memory>
#include <string>

#include "operations/operator_base.h"

// What the exchange hands the factory for every operation of one answer.
struct OperationContext {
    std::string serverBaseUrl;
    std::string cacheDirectory;  // the work folder, no trailing backslash
    // The answer was signed (trusted mode): what the operations fetch and run
    // must then be declared with its hash.
    bool trusted = false;
    // The offline layout the answer came from; "" when it came from the
    // server.
    std::string offlineLayout;
};

// Builds the operation that an Operation element of the server's answer
// describes. Attributes are checked in a fixed order and the first fault
// is thrown as CMessageError; nothing is returned half-built.
std::unique_ptr<COperatorBase> CreateOperation(const xercesc::DOMNode* element,
                                               const OperationContext& context);
