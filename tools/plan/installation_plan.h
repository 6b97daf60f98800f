#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/byte_vector.h"
#include "download_path.h"

// The save name of a download that names none, as the installer has it.
inline constexpr char kDefaultSaveName[] = "RUV_installer.EXE";

// One Operation element of the plan, as the installer reads its children
// (first direct child by name, its direct text).
struct CPlanOperation {
    std::string module;                 // ModuleName
    std::string url;                    // FileDownload: URL, "" when missing or empty
    std::string saveName;               // FileDownload: SaveName, or the default
    std::string execName;               // SetupRun: ExecName
    std::optional<std::string> sha256;  // the Sha256 child's text, when there is one
    std::optional<std::string> size;    // the Size child's text, when there is one

    bool IsDownload() const { return module == "FileDownload"; }
    bool IsSetupRun() const { return module == "SetupRun"; }
};

// The answer document the server hands every installer, from PLAN_DIR/plan.xml.
struct CInstallationPlan {
    ByteVector document;                     // byte for byte as stored; its declared encoding stays
    std::vector<CPlanOperation> operations;  // the OperationList's Operations, in order
};

// A download of the plan that this server answers from a file of its own.
struct CLocalDownload {
    std::size_t operation;  // index into the plan's operations
    std::filesystem::path file;
};

// Reads plan.xml and checks what every installer would trip over: it is
// well-formed and its root has a non-empty VersionLimit and an
// OperationList. The XML runtime must be running. Throws CPlanError.
CInstallationPlan LoadInstallationPlan(const std::filesystem::path& planDirectory);

// The files under PLAN_DIR/files/ that the plan's downloads fetch from this
// server (see DownloadRequestPath for origin). Throws CPlanError naming the
// first URL that addresses this server but names no existing file there.
std::vector<CLocalDownload> LocalDownloads(const CInstallationPlan& plan,
                                           const std::filesystem::path& planDirectory,
                                           std::string_view basePath, const CServerOrigin* origin);

// The local download of that operation, or null.
const CLocalDownload* FindLocalDownload(const std::vector<CLocalDownload>& downloads,
                                        std::size_t operation);

// The download whose file a SetupRun runs: the last FileDownload before it
// that saves under its ExecName (compared as Windows compares file names,
// ignoring ASCII case).
std::optional<std::size_t> DownloadRunBy(const CInstallationPlan& plan, std::size_t setupRun);
