#include "operations/product_control.h"

#include <cstdint>

using Microsoft::WRL::ComPtr;

namespace {

constexpr wchar_t kProductControlProgId[] = L"RUVCTRL.RUVCtrlCtrl.1";

// In-process server and handler, local and remote server: wherever the
// product chose to register its control.
constexpr DWORD kAnyServerContext =
    CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

}  // namespace

ScopedVariant::ScopedVariant() : value_{} { VariantInit(&value_); }

ScopedVariant::~ScopedVariant() { VariantClear(&value_); }

bool FindProductControl(CLSID& classId) {
    return SUCCEEDED(CLSIDFromProgID(kProductControlProgId, &classId));
}

ComPtr<IDispatch> CreateProductControl(const CLSID& classId) {
    ComPtr<IDispatch> control;
    if (FAILED(CoCreateInstance(classId, nullptr, kAnyServerContext, IID_IDispatch,
                                reinterpret_cast<void**>(control.GetAddressOf())))) {
        return nullptr;
    }
    return control;
}

bool CallByName(IDispatch* control, const wchar_t* name, ScopedVariant& result) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &id))) {
        return false;
    }
    DISPPARAMS noArguments{};
    return SUCCEEDED(control->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_METHOD,
                                     &noArguments, result.Get(), nullptr, nullptr));
}

bool IsProductIntact(IDispatch* control) {
    ScopedVariant answer;
    if (!CallByName(control, L"CheckIntegrity", answer)) return false;
    return static_cast<std::uint32_t>(answer.Value().lVal) == 0;
}

std::wstring ProductInstallPath(IDispatch* control) {
    ScopedVariant answer;
    if (!CallByName(control, L"GetInstallPath", answer)) return {};
    // Anything but a string would be read as a pointer.
    if (answer.Value().vt != VT_BSTR || answer.Value().bstrVal == nullptr) return {};
    return answer.Value().bstrVal;
}
