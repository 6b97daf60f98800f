#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// A throw-away plan folder holding plan.xml and files/; removed with all it
// holds when the object goes.
class CTestPlanFolder {
public:
    explicit CTestPlanFolder(std::string_view planXml);
    ~CTestPlanFolder();
    CTestPlanFolder(const CTestPlanFolder&) = delete;
    CTestPlanFolder& operator=(const CTestPlanFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // Writes files/<name> (creating folders on the way).
    void AddFile(const std::filesystem::path& name, std::string_view content) const;
    std::string ReadFile(const std::filesystem::path& relativePath) const;

private:
    std::filesystem::path path_;
};

// A well-formed answer document around the given Operation elements.
std::string PlanWithOperations(std::string_view operations);

// A FileDownload Operation element fetching url.
std::string DownloadOperation(std::string_view url);
