#pragma once

#include <xercesc/dom/DOMNode.hpp>

#include <string>

// Text of the first direct child element called name; "" when there is no
// such child or its text cannot be read.
std::string ChildText(const xercesc::DOMNode* element, const char* name);
