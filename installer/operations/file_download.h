#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/file_declaration.h"
#include "operations/operator_base.h"

class CCacheFileDigest;

// Fetches one file into the work folder, resuming a partial earlier
// download from its last whole kilobyte. The bytes come from the answer's
// mirrors, in order, then from the server's own download protocol at the
// URL; each source takes over where the one before broke off. The body goes
// into the file as it arrives, so what arrived before a broken connection is
// kept for the next source and the next run. A file with a declared size and
// hash is kept only when it has them. Under an offline layout the file is
// copied from the layout instead, and checked the same way.
class COpFileDownload : public COperatorBase {
public:
    static constexpr int kDownloadFailed = 401;
    static constexpr int kCacheOpenFailed = 402;
    static constexpr int kCacheWriteFailed = 403;
    static constexpr int kDownloadUnverified = 404;
    static constexpr char kDefaultSaveName[] = "RUV_installer.EXE";
    static constexpr std::size_t kMaxMirrors = 8;
    // Where the overall progress bar stands once the file is in.
    static constexpr int kProgressWhenDone = 75;

    COpFileDownload(std::string label, std::string serverBaseUrl, std::string cacheDirectory);

    void Run() override;
    bool Init(const xercesc::DOMNode* element) override;

    std::string url;  // absolute
    // From the Mirror children: absolute http or https URLs of the same file
    // on plain HTTP servers, tried in this order before url. Only a download
    // that declares both its size and its hash has any.
    std::vector<std::string> mirrors;
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
    enum class Outcome { Done, Broken, OpenFailed, WriteFailed, Unverified };
    struct Source {
        std::string url;
        bool mirror = false;
    };

    bool ReadMirrors(const xercesc::DOMNode* element);
    // A cache file longer than the declared size cannot be the start of the
    // declared file: it goes before the resume offset is taken from it.
    void DiscardOversizedCacheFile(const std::string& path) const;
    // The sources in turn, each resuming from the bytes kept so far, until
    // one has brought the file whole; then the check against the
    // declaration. mirrorServed tells whether any mirror wrote bytes.
    Outcome Fetch(const std::string& path, const std::vector<Source>& sources, bool& mirrorServed);
    // The layout's copy of the file, into the work file.
    Outcome CopyFromLayout(const std::string& path);
    bool IsDeclaredFile(const std::string& path, CCacheFileDigest* digest) const;
    void Finish(Outcome outcome);
};
