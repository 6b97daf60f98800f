#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "core/file_declaration.h"
#include "operations/operator_base.h"

class IResponseSink;

// Fetches one file from the server into the work folder, resuming a partial
// earlier download from its last whole kilobyte. The body goes into the file
// as it arrives, so what arrived before a broken connection is kept for the
// next run. A file with a declared size and hash is kept only when it has
// them.
class COpFileDownload : public COperatorBase {
public:
    static constexpr int kDownloadFailed = 401;
    static constexpr int kCacheOpenFailed = 402;
    static constexpr int kCacheWriteFailed = 403;
    static constexpr int kDownloadUnverified = 404;
    static constexpr char kDefaultSaveName[] = "RUV_installer.EXE";
    // Where the overall progress bar stands once the file is in.
    static constexpr int kProgressWhenDone = 75;

    COpFileDownload(std::string label, std::string serverBaseUrl, std::string cacheDirectory);

    void Run() override;
    bool Init(const xercesc::DOMNode* element) override;

    std::string url;  // absolute
    std::string description;
    std::string saveName = kDefaultSaveName;
    // From the children Size and Sha256; both required in trusted mode.
    FileDeclaration declaration;

protected:
    // Puts one piece of the body into the open cache file in one system
    // call; returns the bytes that went in. Tests stand in a disk that fills
    // up part-way.
    virtual DWORD WritePiece(HANDLE cacheFile, const char* bytes, DWORD size);

private:
    // A cache file longer than the declared size cannot be the start of the
    // declared file: it goes before the resume offset is taken from it.
    void DiscardOversizedCacheFile(const std::string& path) const;
    // What the declared size leaves for the body after offset; nothing when
    // no size is declared.
    std::optional<std::uint64_t> DeclaredRest(std::int64_t offset) const;
    // Sends the rest of the file from offset on to sink. Throws CMessageError.
    void Fetch(std::int64_t offset, IResponseSink& sink) const;
};
