#include "startup/offline_layout.h"

#include <vector>

#include "core/xml_document.h"
#include "exchange/initial_exchange.h"
#include "exchange/installer_context.h"
#include "exchange/layout_answer.h"
#include "operations/file_download.h"
#include "operations/operation_log.h"
#include "platform/install_log.h"
#include "platform/staged_files.h"
#include "platform/stopwatch.h"

namespace {

constexpr int kExchangeFailed = 1;
constexpr int kLayoutUnwritable = COpFileDownload::kCacheWriteFailed;

// Each download of the plan, run on this thread as the run driver would;
// the first failure's code, 0 when there was none.
int FetchDownloads(const std::vector<COpFileDownload*>& downloads) {
    int firstFailure = 0;
    for (COpFileDownload* download : downloads) {
        download->PrepareRun(ProxyChoice(), nullptr);
        LogOperationStart(*download);
        const Stopwatch stopwatch;
        download->Run();
        LogOperationEnd(*download, stopwatch.Milliseconds());
        if (firstFailure == 0) firstFailure = download->result.code;
    }
    return firstFailure;
}

// The answer and the downloaded files into the folder, all or none. The
// folders are held while they are written, so that neither can be swapped
// for a link to elsewhere meanwhile.
bool PlaceLayout(const std::string& folder, const RecordedAnswer& answer,
                 const std::vector<COpFileDownload*>& downloads) {
    const std::string filesFolder = folder + "\\" + kLayoutFilesFolder;
    const KernelHandle heldFolder = HoldFolder(folder);
    const KernelHandle heldFiles = heldFolder ? HoldFolder(filesFolder) : KernelHandle();
    if (!heldFiles) return false;
    CStagedFiles staged;
    for (const COpFileDownload* download : downloads) {
        const auto workFile = download->WorkFile(download->saveName);
        if (!workFile || !staged.Copy(filesFolder + "\\" + download->saveName, *workFile)) {
            return false;
        }
    }
    if (!StageLayoutAnswer(staged, folder, answer) || !staged.Place()) return false;
    if (!answer.signature) RemoveLayoutSignature(folder);
    // Copied out: the work folder keeps no second copy of them.
    for (const COpFileDownload* download : downloads) {
        DeleteFileA(download->WorkFile(download->saveName)->c_str());
    }
    return true;
}

}  // namespace

int MakeOfflineLayout(const std::string& folder) {
    CInstallerContext context;
    CXmlRuntime xmlRuntime;
    ExchangeOutcome outcome = RunInitialExchange(context);
    if (!outcome.Succeeded()) return kExchangeFailed;

    std::vector<COpFileDownload*> downloads;
    for (const auto& operation : outcome.operations) {
        if (auto* download = dynamic_cast<COpFileDownload*>(operation.get())) {
            downloads.push_back(download);
        }
    }
    const int failure = FetchDownloads(downloads);
    const bool placed = failure == 0 && PlaceLayout(folder, outcome.answer, downloads);
    install_log::Write("layout", {{"path", folder},
                                  {"written", placed},
                                  {"files", placed ? downloads.size() : 0},
                                  {"signed", outcome.answer.signature.has_value()}});
    if (failure != 0) return failure;
    return placed ? 0 : kLayoutUnwritable;
}
