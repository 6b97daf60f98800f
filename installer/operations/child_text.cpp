#include "operations/child_text.h"

#include "startup/xml_document.h"

std::string ChildText(const xercesc::DOMNode* element, const char* name) {
    std::string text;
    const xercesc::DOMNode* child = FindChildElement(name, element);
    if (child == nullptr || !GetElementText(text, child)) return {};
    return text;
}
