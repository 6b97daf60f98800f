#include "declared_downloads.h"

#include "plan_error.h"

namespace {

void CheckSha256(const std::string& declared, const std::filesystem::path& file,
                 const CFileFacts& facts, const std::string& declaredBy) {
    const auto digest = DeclaredSha256(declared);
    if (!digest) {
        throw CPlanError("plan.xml: the Sha256 \"" + declared + "\" that " + declaredBy +
                         " declares for " + file.string() + " is not 64 hex digits");
    }
    if (*digest != facts.sha256) {
        throw CPlanError("plan.xml: " + file.string() + " has the SHA-256 " + HexOf(facts.sha256) +
                         ", but " + declaredBy + " declares " + declared +
                         " (ruvi-seal hash-plan writes what the files hold)");
    }
}

void CheckDownload(const CPlanOperation& operation, const std::filesystem::path& file,
                   const CFileFacts& facts) {
    const std::string declaredBy = "the download " + operation.url;
    if (operation.size) {
        const auto size = DeclaredSize(*operation.size);
        if (!size) {
            throw CPlanError("plan.xml: the Size \"" + *operation.size + "\" of " + declaredBy +
                             " is not a decimal number");
        }
        if (*size != facts.size) {
            throw CPlanError("plan.xml: " + file.string() + " has " + std::to_string(facts.size) +
                             " bytes, but " + declaredBy + " declares " + *operation.size +
                             " (ruvi-seal hash-plan writes what the files hold)");
        }
    }
    if (operation.sha256) CheckSha256(*operation.sha256, file, facts, declaredBy);
}

}  // namespace

const CFileFacts& CFileFactsCache::Of(const std::filesystem::path& file) {
    const auto known = facts_.find(file);
    if (known != facts_.end()) return known->second;
    std::error_code error;
    const auto size = std::filesystem::file_size(file, error);
    const auto digest = Sha256OfFile(file);
    if (error || !digest) throw CPlanError("cannot read " + file.string());
    return facts_.emplace(file, CFileFacts{size, *digest}).first->second;
}

void CheckDeclaredDownloads(const CInstallationPlan& plan,
                            const std::vector<CLocalDownload>& downloads, CFileFactsCache& files) {
    for (const CLocalDownload& download : downloads) {
        CheckDownload(plan.operations[download.operation], download.file, files.Of(download.file));
    }
    for (std::size_t i = 0; i < plan.operations.size(); ++i) {
        const CPlanOperation& setupRun = plan.operations[i];
        if (!setupRun.IsSetupRun() || !setupRun.sha256) continue;
        const auto runs = DownloadRunBy(plan, i);
        const CLocalDownload* download = runs ? FindLocalDownload(downloads, *runs) : nullptr;
        if (download == nullptr) continue;  // another server's file: nothing to compare
        CheckSha256(*setupRun.sha256, download->file, files.Of(download->file),
                    "the setup run of " + setupRun.execName);
    }
}
