#include "operations/ruv_check.h"

#include <utility>

#include "operations/child_text.h"
#include "operations/product_control.h"
#include "platform/com_apartment.h"
#include "platform/registry_key.h"
#include "platform/task_memory.h"
#include "platform/text_conversion.h"

namespace {

// The registry form of a class identifier: braces, upper-case digits.
std::string ClassIdText(const CLSID& classId) {
    TaskMemory<LPOLESTR> wide;
    if (FAILED(StringFromCLSID(classId, wide.Receive()))) return {};
    std::string text;
    WideToAnsi(wide.Get(), text);
    return text;
}

// The version the product registered with its control; false when it has
// none.
bool ReadRegisteredVersion(const CLSID& classId, std::string& version) {
    const std::string keyName = "CLSID\\" + ClassIdText(classId) + "\\Version";
    RegistryKey key;
    if (RegOpenKeyA(HKEY_CLASSES_ROOT, keyName.c_str(), key.Receive()) != ERROR_SUCCESS) {
        key.Release();
        return false;
    }
    char buffer[260] = {};
    // One byte short of the buffer, so a value that fills it still ends in a
    // zero byte.
    DWORD size = sizeof buffer - 1;
    if (RegQueryValueExA(key.Get(), nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                         &size) != ERROR_SUCCESS) {
        return false;
    }
    version = buffer;
    return true;
}

bool IsInstalledAndIntact(const CLSID& classId) {
    OleApartment ole;
    const auto control = CreateProductControl(classId);
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
