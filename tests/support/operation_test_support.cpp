#include "operation_test_support.h"

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <system_error>

#include "core/hex_text.h"
#include "platform/sha256_engine.h"

namespace ops_test {

const xercesc::DOMNode* ParseRoot(CXmlDocument& holder, std::string_view text) {
    if (!ParseXmlBuffer("test element", holder, text.data(), text.size()).empty()) return nullptr;
    return holder.root;
}

std::string Quoted(std::string_view text) {
    std::string quoted;
    quoted.append("\"").append(text).append("\"");
    return quoted;
}

std::string WindowsPathOf(std::string_view unixPath) {
    std::string path = "Z:" + std::string(unixPath);
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

Sha256Digest Sha256Of(std::string_view bytes) {
    CSha256Engine engine;
    engine.Add(bytes.data(), bytes.size());
    return engine.Finish();
}

std::string Sha256HexOf(std::string_view bytes) { return LowerHex(Sha256Of(bytes)); }

TestFolder::TestFolder(std::string_view name) {
    std::random_device device;
    path_ = std::filesystem::temp_directory_path() /
            ("ruvi-" + std::string(name) + "-" + std::to_string(device()));
    std::filesystem::create_directories(path_);
}

TestFolder::~TestFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string ReadTestFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

void WriteTestFile(const std::string& path, std::string_view bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) throw std::runtime_error("cannot write " + path);
}

void CopyFileTo(const std::string& from, const std::string& to) {
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) {
        throw std::runtime_error("cannot copy " + from + " to " + to);
    }
}

bool WaitUntil(const std::function<bool()>& condition, unsigned deadlineMs, unsigned pollMs) {
    const ULONGLONG end = GetTickCount64() + deadlineMs;
    while (!condition()) {
        if (GetTickCount64() >= end) return false;
        Sleep(pollMs);
    }
    return true;
}

}  // namespace ops_test
