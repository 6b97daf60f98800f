#pragma once

#include <xercesc/dom/DOMNode.hpp>

#include <optional>
#include <string>
#include <vector>

// Text of the first direct child element called name; "" when there is no
// such child or its text cannot be read.
std::string ChildText(const xercesc::DOMNode* element, const char* name);

// The same, but nothing when there is no such child: for children whose
// empty text is a fault rather than a default.
std::optional<std::string> OptionalChildText(const xercesc::DOMNode* element, const char* name);

// The texts of every direct child element called name, in document order.
std::vector<std::string> ChildTexts(const xercesc::DOMNode* element, const char* name);
