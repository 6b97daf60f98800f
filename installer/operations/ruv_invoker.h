#pragma once

#include <windows.h>

#include <oaidl.h>

#include <string>

#include "operations/operator_base.h"

// Starts the installed product at the end of an installation, without
// waiting for it. When the product cannot be found or started, it tells the
// server on which system that happened and fails with a text for the user.
// The main window creates it itself; the server never lists it.
class COpRUVInvoker : public COperatorBase {
public:
    COpRUVInvoker(std::string serverBaseUrl, std::string cacheDirectory);

    void Run() override;
    bool Init(const xercesc::DOMNode* element) override;

    // Posts the system description to the server; false when the request
    // failed.
    bool ReportOSToServer();

    std::string programPath;  // the program last started or tried
    // What became of the report of the latest failure: "sent", "failed", or
    // "not-sent" under an offline layout, which keeps off the network; ""
    // when nothing was to be reported.
    std::string report;

    static constexpr int kNotInstalledReported = 601;
    static constexpr int kNotInstalledReportFailed = 602;
    static constexpr int kStartFailedReported = 603;
    static constexpr int kStartFailedReportFailed = 604;

private:
    // Starts "RUV.exe" from the folder the control names; false when the
    // control names none or the program cannot be started.
    bool StartProduct(IDispatch* control);
    // Reports and fails with one of two codes, by whether the report went out.
    void Fail(int reportedCode, const char* reportedText, int unreportedCode,
              const char* unreportedText);
};
