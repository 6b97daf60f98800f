#pragma once

#include <xercesc/dom/DOMNode.hpp>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "net/proxy_settings.h"
#include "operations/operation_facts.h"
#include "operations/operation_result.h"

class IProgressSink;

// One step of an installation, built from an Operation element of the
// server's answer and run once on a worker thread of its own. The run driver
// and the main window read and set the public fields directly.
class COperatorBase {
public:
    virtual ~COperatorBase() = default;
    COperatorBase(const COperatorBase&) = delete;
    COperatorBase& operator=(const COperatorBase&) = delete;

    // Fills in result; never throws.
    virtual void Run() = 0;
    // Points the driver adds to the overall progress when the operation ends.
    virtual int GetProgressWeight() const { return 0; }
    // Reads the kind's own child elements; false when required data is
    // missing. The element is not kept.
    virtual bool Init(const xercesc::DOMNode* element) = 0;

    // Where the operation sends its requests and moves the progress: given
    // to each operation once, before it runs. progressSink may be null.
    void PrepareRun(const ProxyChoice& proxyChoice, IProgressSink* progressSink);

    // The file called name in the work folder; nothing when there is no work
    // folder (the installer has no install folder), so that no file is ever
    // looked for elsewhere.
    std::optional<std::string> WorkFile(const std::string& fileName) const;

    std::string name;   // fixed tag of the class
    std::string label;  // caption of the step (GBK)
    int timeoutSeconds = 60;
    bool cancelEnabled = false;
    bool blocking = false;
    int skipCountOnSuccess = 0;
    std::string cacheDirectory;  // the work folder, no trailing backslash; "" for none
    std::string serverBaseUrl;
    OperationResult result;
    OperationFacts facts;  // written by Run() beside result
    // Set before Init: the answer was signed, so Init insists on the declared
    // hashes of what the operation fetches or runs.
    bool trusted = false;
    // Set before Init: the folder of the offline layout that the run comes
    // from instead of the network ("" online). Nothing goes to the network
    // then: downloads copy the layout's files.
    std::string offlineLayout;

protected:
    COperatorBase(std::string name, std::string label, std::string serverBaseUrl,
                  std::string cacheDirectory);

    ProxyChoice proxy;
    IProgressSink* progressSink = nullptr;  // not owned
};

// The operations of one server answer, in the server's order.
using OperationList = std::vector<std::unique_ptr<COperatorBase>>;

// The main window has one display row per operation, and no more: a longer
// list is refused before any of it is built.
inline constexpr std::size_t kMaxOperationCount = 5;
