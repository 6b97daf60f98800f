#include "operations/os_check.h"

#include <xercesc/util/XMLString.hpp>

#include <utility>

#include "core/xml_document.h"
#include "operations/operation_messages.h"
#include "operations/os_description.h"

COpOSCheck::COpOSCheck(std::string label, std::string serverBaseUrl, std::string cacheDirectory)
    : COperatorBase("OSCheck", std::move(label), std::move(serverBaseUrl),
                    std::move(cacheDirectory)) {}

bool COpOSCheck::Init(const xercesc::DOMNode* element) {
    const xercesc::DOMNode* list = FindChildElement("BlackList", element);
    if (list == nullptr) return true;
    for (const xercesc::DOMNode* node = list->getFirstChild(); node != nullptr;
         node = node->getNextSibling()) {
        if (!xercesc::XMLString::equals(node->getNodeName(), u"Item")) continue;
        std::string item;
        if (GetElementText(item, node) && !item.empty()) blackList.insert(item);
    }
    return true;
}

void COpOSCheck::Run() {
    result = OperationResult{};
    const std::string description = GetOSDescription();
    if (description.empty()) {
        result = {kQueryFailed, operation_messages::kOSQueryFailed, true, false};
    } else if (blackList.contains(description)) {
        result = {kBlackListed, operation_messages::kOSBlackListed, true, false};
    }
}
