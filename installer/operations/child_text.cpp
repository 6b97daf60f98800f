#include "operations/child_text.h"

#include <xercesc/util/XMLString.hpp>

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

std::vector<std::string> ChildTexts(const xercesc::DOMNode* element, const char* name) {
    std::vector<std::string> texts;
    const xercesc::DOMNode* first = FindChildElement(name, element);
    for (const xercesc::DOMNode* node = first; node != nullptr; node = node->getNextSibling()) {
        if (node->getNodeType() != xercesc::DOMNode::ELEMENT_NODE ||
            !xercesc::XMLString::equals(node->getNodeName(), first->getNodeName())) {
            continue;
        }
        std::string text;
        GetElementText(text, node);
        texts.push_back(std::move(text));
    }
    return texts;
}
