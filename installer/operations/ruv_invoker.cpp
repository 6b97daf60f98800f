#include "operations/ruv_invoker.h"

#include <utility>

#include "core/message_error.h"
#include "net/http_client.h"
#include "operations/operation_messages.h"
#include "operations/os_description.h"
#include "operations/process_runner.h"
#include "operations/product_control.h"
#include "platform/com_apartment.h"
#include "platform/text_conversion.h"

namespace {

constexpr char kProgramName[] = "RUV.exe";
constexpr char kReportPath[] = "/RUVS?method=report";

// The folder the product was installed in (ANSI, with its trailing
// backslash); empty when the control cannot say.
std::string InstallFolder(IDispatch* control) {
    std::string folder;
    WideToAnsi(ProductInstallPath(control), folder);
    return folder;
}

}  // namespace

COpRUVInvoker::COpRUVInvoker(std::string serverBaseUrl, std::string cacheDirectory)
    : COperatorBase("InvokeRUV", operation_messages::kLaunchLabel, std::move(serverBaseUrl),
                    std::move(cacheDirectory)) {}

bool COpRUVInvoker::Init(const xercesc::DOMNode*) { return true; }

void COpRUVInvoker::Run() {
    result = OperationResult{};
    report.clear();
    CLSID classId{};
    if (!FindProductControl(classId)) {
        Fail(kNotInstalledReported, operation_messages::kNotInstalledReported,
             kNotInstalledReportFailed, operation_messages::kNotInstalledReportFailed);
        return;
    }
    OleApartment ole;
    const CProductControl control(classId);
    // A control that cannot be created starts nothing either: reported like
    // a program that cannot be started, never taken for a success.
    if (!control || !StartProduct(control.Get())) {
        Fail(kStartFailedReported, operation_messages::kStartFailedReported,
             kStartFailedReportFailed, operation_messages::kStartFailedReportFailed);
    }
}

bool COpRUVInvoker::StartProduct(IDispatch* control) {
    const std::string folder = InstallFolder(control);
    // The bare name would be searched for (beside the installer, in the
    // current folder, along PATH) and whatever was found run elevated.
    if (folder.empty()) return false;
    programPath = folder + kProgramName;
    std::string ignoredMessage;
    return RunProgram(programPath, 0, false, ignoredMessage) == 0;
}

bool COpRUVInvoker::ReportOSToServer() {
    const std::string text = AnsiToUtf8(operation_messages::kReportPrefix + GetOSDescription() +
                                        operation_messages::kReportSuffix);
    HttpClient client;
    client.useProxy = proxy.enabled;
    client.proxySettings = proxy.settings;
    try {
        client.Post(serverBaseUrl + kReportPath, nullptr, ByteVector(text.begin(), text.end()));
        return true;
    } catch (const CMessageError&) {
        return false;
    }
}

void COpRUVInvoker::Fail(int reportedCode, const char* reportedText, int unreportedCode,
                         const char* unreportedText) {
    const bool offline = !offlineLayout.empty();
    const bool reported = !offline && ReportOSToServer();
    report = offline ? "not-sent" : reported ? "sent" : "failed";
    result.code = reported ? reportedCode : unreportedCode;
    result.message = reported ? reportedText : unreportedText;
    result.showMessage = true;
}
