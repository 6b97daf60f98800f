#include "operations/operation_factory.h"

#include <utility>

#include "core/message_error.h"
#include "core/xml_document.h"
#include "operations/attribute_values.h"
#include "operations/file_download.h"
#include "operations/operation_messages.h"
#include "operations/os_check.h"
#include "operations/ruv_check.h"
#include "operations/setup_run.h"
#include "operations/user_check.h"

namespace {

using Maker = std::unique_ptr<COperatorBase> (*)(std::string label, std::string serverBaseUrl,
                                                 std::string cacheDirectory);

template <typename Operation>
std::unique_ptr<COperatorBase> Make(std::string label, std::string serverBaseUrl,
                                    std::string cacheDirectory) {
    return std::make_unique<Operation>(std::move(label), std::move(serverBaseUrl),
                                       std::move(cacheDirectory));
}

struct ModuleEntry {
    const char* moduleName;
    Maker make;
};

// The launcher is missing on purpose: the window creates it, the server
// cannot ask for it.
constexpr ModuleEntry kModules[] = {
    {"OSCheck", &Make<COpOSCheck>},   {"UserCheck", &Make<COpUserCheck>},
    {"RUVCheck", &Make<COpRUVCheck>}, {"FileDownload", &Make<COpFileDownload>},
    {"SetupRun", &Make<COpSetupRun>},
};

// A value that cannot be read counts as absent.
std::string Attribute(const xercesc::DOMNode* element, const char* name) {
    std::string value;
    if (!GetAttributeText(value, element, name)) return {};
    return value;
}

std::string RequiredAttribute(const xercesc::DOMNode* element, const char* name,
                              const char* missingText) {
    std::string value = Attribute(element, name);
    if (value.empty()) throw CMessageError(missingText);
    return value;
}

}  // namespace

std::unique_ptr<COperatorBase> CreateOperation(const xercesc::DOMNode* element,
                                               const OperationContext& context) {
    if (element == nullptr || element->getNodeType() != xercesc::DOMNode::ELEMENT_NODE) {
        throw CMessageError(operation_messages::kModuleNameMissing);
    }
    const std::string moduleName =
        RequiredAttribute(element, "ModuleName", operation_messages::kModuleNameMissing);
    std::string label =
        RequiredAttribute(element, "ModuleLabel", operation_messages::kModuleLabelMissing);
    RequiredAttribute(element, "Type", operation_messages::kOperationTypeMissing);

    std::unique_ptr<COperatorBase> operation;
    for (const ModuleEntry& module : kModules) {
        if (moduleName == module.moduleName) {
            operation =
                module.make(std::move(label), context.serverBaseUrl, context.cacheDirectory);
            break;
        }
    }
    if (!operation) throw CMessageError(operation_messages::kUnknownModule);

    operation->timeoutSeconds = ParseTimeValue(Attribute(element, "Timeout"));
    operation->cancelEnabled = ParseFlag(Attribute(element, "EnableCancel"));
    operation->blocking = ParseFlag(Attribute(element, "Block"));
    const std::string skipCount = Attribute(element, "SuccessSkippedNum");
    if (!skipCount.empty()) operation->skipCountOnSuccess = ParseLeadingInteger(skipCount);

    operation->trusted = context.trusted;
    operation->offlineLayout = context.offlineLayout;
    if (!operation->Init(element)) throw CMessageError(operation_messages::kModuleInitFailed);
    return operation;
}
