#include "operations/child_text.h"

#include "core/xml_document.h"

std::string ChildText(const xercesc::DOMNode* element, const char* name) {
    std::string text;
    const xercesc::DOMNode* child = FindChildElement(name, element);
    if (child == nullptr || !GetElementText(text, child)) return {};
    return text;
}

std::optional<std::string> OptionalChildText(const xercesc::DOMNode* element, const char* name) {
    const xercesc::DOMNode* child = FindChildElement(name, element);
    if (child == nullptr) return std::nullopt;
    std::string text;
    GetElementText(text, child);
    return text;
}
