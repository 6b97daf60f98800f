#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "net/byte_vector.h"

// The answer document the server hands every installer, from PLAN_DIR/plan.xml.
struct CInstallationPlan {
    ByteVector document;                    // byte for byte as stored; its declared encoding stays
    std::vector<std::string> downloadUrls;  // URL texts of its FileDownload operations
};

// Reads plan.xml and checks what every installer would trip over: it is
// well-formed and its root has a non-empty VersionLimit and an
// OperationList. The XML runtime must be running. Throws CStartupError.
CInstallationPlan LoadInstallationPlan(const std::filesystem::path& planDirectory);

// Checks that every download of the plan that addresses this server names
// an existing file under PLAN_DIR/files/. authority is "HOST:PORT" as the
// server is told to listen. Throws CStartupError naming the first URL that
// does not.
void CheckPlanDownloads(const CInstallationPlan& plan, const std::filesystem::path& planDirectory,
                        std::string_view basePath, std::string_view authority);
