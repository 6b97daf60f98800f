#pragma once

#include <string>

#include "net/byte_vector.h"
#include "net/file_declaration.h"
#include "operations/operator_base.h"

// Fetches one file from the server into the work folder, resuming a partial
// earlier download from its last whole kilobyte. A file with a declared size
// and hash is kept only when it has them.
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

private:
    // A cache file longer than the declared size cannot be the start of the
    // declared file: it goes before the resume offset is taken from it.
    void DiscardOversizedCacheFile(const std::string& path) const;
    // The rest of the file from offset on. Throws CMessageError.
    ByteVector Fetch(long long offset) const;
};
