#pragma once

#include <xercesc/dom/DOMNode.hpp>

#include <memory>
#include <string>

#include "operations/operator_base.h"

// Builds the operation that an Operation element of the server's answer
// describes. Attributes are checked in a fixed order and the first fault
// is thrown as CMessageError; nothing is returned half-built.
std::unique_ptr<COperatorBase> CreateOperation(const xercesc::DOMNode* element,
                                               std::string serverBaseUrl,
                                               std::string cacheDirectory);
