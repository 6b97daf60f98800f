#include "installation_plan.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>

#include "core/xml_document.h"
#include "plan_error.h"

namespace {

using xercesc::DOMNode;

ByteVector ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream stream(path, std::ios::binary);
    if (!stream) throw CPlanError("cannot read " + path.string());
    return ByteVector(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

bool IsElementNamed(const DOMNode* node, const char16_t* name) {
    return node->getNodeType() == DOMNode::ELEMENT_NODE &&
           xercesc::XMLString::equals(node->getNodeName(), name);
}

std::string RequiredVersionLimit(const DOMNode* root) {
    const DOMNode* versionLimit = FindChildElement("VersionLimit", root);
    if (versionLimit == nullptr) throw CPlanError("plan.xml: the root has no VersionLimit");
    std::string version;
    if (!GetElementText(version, versionLimit) || version.empty()) {
        throw CPlanError("plan.xml: VersionLimit is empty");
    }
    return version;
}

std::optional<std::string> ChildText(const DOMNode* operation, const char* name) {
    const DOMNode* child = FindChildElement(name, operation);
    std::string text;
    if (child == nullptr || !GetElementText(text, child)) return std::nullopt;
    return text;
}

CPlanOperation ReadOperation(const DOMNode* node) {
    CPlanOperation operation;
    GetAttributeText(operation.module, node, "ModuleName");
    operation.url = ChildText(node, "URL").value_or("");
    operation.saveName = ChildText(node, "SaveName").value_or("");
    if (operation.saveName.empty()) operation.saveName = kDefaultSaveName;
    operation.execName = ChildText(node, "ExecName").value_or("");
    operation.sha256 = ChildText(node, "Sha256");
    operation.size = ChildText(node, "Size");
    return operation;
}

std::vector<CPlanOperation> ReadOperations(const DOMNode* operationList) {
    std::vector<CPlanOperation> operations;
    for (const DOMNode* node = operationList->getFirstChild(); node != nullptr;
         node = node->getNextSibling()) {
        if (IsElementNamed(node, u"Operation")) operations.push_back(ReadOperation(node));
    }
    return operations;
}

bool SameFileName(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

CInstallationPlan LoadInstallationPlan(const std::filesystem::path& planDirectory) {
    CInstallationPlan plan;
    plan.document = ReadWholeFile(planDirectory / "plan.xml");

    CXmlDocument holder;
    const std::string error = ParseXmlBuffer("RUV Installer Response", holder, plan.document.data(),
                                             plan.document.size());
    if (!error.empty() || holder.root == nullptr) {
        throw CPlanError("plan.xml is not well-formed XML: " + error);
    }
    RequiredVersionLimit(holder.root);
    const DOMNode* operationList = FindChildElement("OperationList", holder.root);
    if (operationList == nullptr) throw CPlanError("plan.xml: the root has no OperationList");
    plan.operations = ReadOperations(operationList);
    return plan;
}

std::vector<CLocalDownload> LocalDownloads(const CInstallationPlan& plan,
                                           const std::filesystem::path& planDirectory,
                                           std::string_view basePath, const CServerOrigin* origin) {
    std::vector<CLocalDownload> downloads;
    for (std::size_t i = 0; i < plan.operations.size(); ++i) {
        const std::string& url = plan.operations[i].url;
        if (!plan.operations[i].IsDownload() || url.empty()) continue;
        const auto requestPath = DownloadRequestPath(url, basePath, origin);
        if (!requestPath) continue;  // another server's file
        const auto relative = MapDownloadPath(basePath, *requestPath);
        if (!relative) {
            throw CPlanError("plan.xml: the download URL \"" + url +
                             "\" names no file under files/ (write it as files/NAME)");
        }
        const auto file = planDirectory / "files" / *relative;
        std::error_code ignored;
        if (!std::filesystem::is_regular_file(file, ignored)) {
            throw CPlanError("plan.xml: the download URL \"" + url + "\" names " + file.string() +
                             ", which is not a file");
        }
        downloads.push_back({i, file});
    }
    return downloads;
}

const CLocalDownload* FindLocalDownload(const std::vector<CLocalDownload>& downloads,
                                        std::size_t operation) {
    const auto found =
        std::find_if(downloads.begin(), downloads.end(),
                     [&](const CLocalDownload& d) { return d.operation == operation; });
    return found == downloads.end() ? nullptr : &*found;
}

std::optional<std::size_t> DownloadRunBy(const CInstallationPlan& plan, std::size_t setupRun) {
    const std::string& execName = plan.operations.at(setupRun).execName;
    for (std::size_t i = setupRun; i-- > 0;) {
        const CPlanOperation& operation = plan.operations[i];
        if (operation.IsDownload() && SameFileName(operation.saveName, execName)) return i;
    }
    return std::nullopt;
}
