#include "test_plan_folder.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

void WriteFile(const std::filesystem::path& path, std::string_view content) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    stream.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!stream) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

CTestPlanFolder::CTestPlanFolder(std::string_view planXml) {
    std::string pattern = (std::filesystem::temp_directory_path() / "ruvi-plan-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
    WriteFile(path_ / "plan.xml", planXml);
    std::filesystem::create_directory(path_ / "files");
}

CTestPlanFolder::~CTestPlanFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void CTestPlanFolder::AddFile(const std::filesystem::path& name, std::string_view content) const {
    WriteFile(path_ / "files" / name, content);
}

std::string CTestPlanFolder::ReadFile(const std::filesystem::path& relativePath) const {
    std::ifstream stream(path_ / relativePath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

std::string PlanWithOperations(std::string_view operations) {
    return "<?xml version=\"1.0\" "
           "encoding=\"UTF-8\"?>\n<Response><VersionLimit>1.0.0.1</VersionLimit>"
           "<OperationList>" +
           std::string(operations) + "</OperationList></Response>\n";
}

std::string DownloadOperation(std::string_view url) {
    return "<Operation ModuleName=\"FileDownload\" ModuleLabel=\"download\" Type=\"1\" "
           "Timeout=\"120s\"><URL>" +
           std::string(url) + "</URL><SaveName>setup.exe</SaveName></Operation>";
}
