#include "declared_downloads.h"

#include <algorithm>
#include <charconv>

#include "plan_error.h"

namespace {

constexpr std::size_t kHexDigits = 64;

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

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

std::optional<std::uint64_t> DeclaredSize(const std::string& text) {
    std::uint64_t size = 0;
    const char* end = text.data() + text.size();
    const bool digitsOnly = !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return c >= '0' && c <= '9';
    });
    if (!digitsOnly || std::from_chars(text.data(), end, size).ec != std::errc()) {
        return std::nullopt;
    }
    return size;
}

std::optional<Sha256Digest> DeclaredSha256(const std::string& text) {
    if (text.size() != kHexDigits) return std::nullopt;
    Sha256Digest digest{};
    for (std::size_t i = 0; i < digest.size(); ++i) {
        const int high = HexValue(text[2 * i]);
        const int low = HexValue(text[2 * i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        digest[i] = static_cast<unsigned char>(high * 16 + low);
    }
    return digest;
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
