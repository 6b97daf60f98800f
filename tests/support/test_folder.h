#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

// A fresh folder in the temporary folder, removed with its content. Names are
// drawn at random: tests run in parallel processes.
class TestFolder {
public:
    TestFolder() {
        std::random_device device;
        const std::uint64_t value = (std::uint64_t{device()} << 32) | device();
        path_ =
            std::filesystem::temp_directory_path() / ("ruvi-seal-test-" + std::to_string(value));
        std::filesystem::create_directories(path_);
    }
    ~TestFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    // The temporary folder's path is plain ASCII on the machines tests run on.
    std::string PathOf(std::string_view name) const { return (path_ / name).string(); }

    std::size_t EntryCount() const { return CountIn(path_); }
    static std::size_t CountIn(const std::filesystem::path& folder) {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(folder), {}));
    }

    // Creates the folders on the way.
    void Write(std::string_view name, std::string_view content) const {
        std::filesystem::create_directories((path_ / name).parent_path());
        std::ofstream(path_ / name, std::ios::binary)
            .write(content.data(), static_cast<std::streamsize>(content.size()));
    }

    std::string Read(std::string_view name) const {
        std::ifstream file(path_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }

    bool Exists(std::string_view name) const { return std::filesystem::exists(path_ / name); }

private:
    std::filesystem::path path_;
};
