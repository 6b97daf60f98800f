#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/file_declaration.h"
#include "installation_plan.h"
#include "sha256.h"

// What a plan may declare of a download: its Size (decimal bytes) and its
// Sha256 (64 hex digits, either case), and of a setup run the Sha256 of the
// program it runs. Installers check the file against them.

struct CFileFacts {
    std::uint64_t size = 0;
    Sha256Digest sha256{};
};

// Size and digest of each file, each read once. Throws CPlanError for a
// file that cannot be read.
class CFileFactsCache {
public:
    const CFileFacts& Of(const std::filesystem::path& file);

private:
    std::map<std::filesystem::path, CFileFacts> facts_;
};

// Checks every Size and Sha256 the plan declares for a download it serves,
// and every setup run's Sha256 whose program is such a download (see
// DownloadRunBy). Throws CPlanError naming the first file that differs, or
// the first declared text that no installer could read.
void CheckDeclaredDownloads(const CInstallationPlan& plan,
                            const std::vector<CLocalDownload>& downloads, CFileFactsCache& files);
