#include "operations/ruv_check.h"

#include <utility>

#include "operations/child_text.h"
#include "operations/product_control.h"
#include "platform/com_apartment.h"

namespace {

bool IsInstalledAndIntact(const CLSID& classId) {
    OleApartment ole;
    const CProductControl control(classId);
    return control && IsProductIntact(control.Get());
}

}  // namespace

COpRUVCheck::COpRUVCheck(std::string label, std::string serverBaseUrl, std::string cacheDirectory)
    : COperatorBase("RUVCheck", std::move(label), std::move(serverBaseUrl),
                    std::move(cacheDirectory)) {}

bool COpRUVCheck::Init(const xercesc::DOMNode* element) {
    expectedVersion = ChildText(element, "Version");
    return !expectedVersion.empty();
}

// Whatever goes wrong, the product counts as not installed and the following
// steps install it again.
void COpRUVCheck::Run() {
    result = OperationResult{};
    CLSID classId{};
    if (!FindProductControl(classId) || !IsInstalledAndIntact(classId)) return;
    std::string version;
    result.skipFollowing = ReadRegisteredVersion(classId, version) && version == expectedVersion;
}
