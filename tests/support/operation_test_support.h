#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "core/xml_document.h"
#include "platform/sha256_digest.h"

namespace ops_test {

// Shared by the operations' tests.

// The UTF-8 bytes of a u8 literal: XML documents of the tests are UTF-8,
// while plain literals are compiled to GBK.
inline std::string Utf8(std::u8string_view text) { return std::string(text.begin(), text.end()); }

// text between double quotes, as a command line quotes a path.
std::string Quoted(std::string_view text);

// Parses text into holder and returns its root element (null on a parse
// failure, which the caller's assertion then reports).
const xercesc::DOMNode* ParseRoot(CXmlDocument& holder, std::string_view text);

// The Windows form (Z:\...) of a path on the Linux side, such as a built
// fixture's.
std::string WindowsPathOf(std::string_view unixPath);

// A fresh folder in the temporary folder, removed with everything in it.
// name becomes part of the folder's name (it may hold a space).
class TestFolder {
public:
    explicit TestFolder(std::string_view name = "ops");
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    // Without a trailing backslash, as the work folder is.
    std::string Path() const { return path_.string(); }
    std::string PathOf(std::string_view name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// The SHA-256 of bytes, and as the 64 lower-case hex digits an answer declares.
Sha256Digest Sha256Of(std::string_view bytes);
std::string Sha256HexOf(std::string_view bytes);

std::string ReadTestFile(const std::string& path);
void WriteTestFile(const std::string& path, std::string_view bytes);
void CopyFileTo(const std::string& from, const std::string& to);

// Polls condition every pollMs until it holds or deadlineMs have passed;
// returns whether it held.
bool WaitUntil(const std::function<bool()>& condition, unsigned deadlineMs = 20000,
               unsigned pollMs = 20);

}  // namespace ops_test
