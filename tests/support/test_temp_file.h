#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

// A file in the temporary folder that lives as long as the object. Tests run
// in parallel processes, so every name is drawn at random.
class TestTempFile {
public:
    explicit TestTempFile(std::string_view content = {}, std::string_view suffix = ".tmp")
        : path_(std::filesystem::temp_directory_path() / RandomName(suffix)) {
        Write(content);
    }
    ~TestTempFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    TestTempFile(const TestTempFile&) = delete;
    TestTempFile& operator=(const TestTempFile&) = delete;

    void Write(std::string_view content) const {
        std::ofstream(path_, std::ios::binary | std::ios::trunc)
            .write(content.data(), static_cast<std::streamsize>(content.size()));
    }

    // The temporary folder's path is plain ASCII on the machines tests run on.
    std::string Path() const { return path_.string(); }

    // file:///C:/... on Windows, file:///tmp/... elsewhere.
    std::string FileUrl() const {
        const std::string generic = path_.generic_string();
        return generic.front() == '/' ? "file://" + generic : "file:///" + generic;
    }

private:
    static std::string RandomName(std::string_view suffix) {
        std::random_device device;
        const std::uint64_t value = (std::uint64_t{device()} << 32) | device();
        return "ruvi-test-" + std::to_string(value) + std::string(suffix);
    }

    std::filesystem::path path_;
};
