#include "installation_plan.h"

#include <fstream>
#include <iterator>

#include "download_path.h"
#include "startup/xml_document.h"
#include "startup_error.h"

namespace {

using xercesc::DOMNode;

ByteVector ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream stream(path, std::ios::binary);
    if (!stream) throw CStartupError("cannot read " + path.string());
    return ByteVector(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

bool IsElementNamed(const DOMNode* node, const char16_t* name) {
    return node->getNodeType() == DOMNode::ELEMENT_NODE &&
           xercesc::XMLString::equals(node->getNodeName(), name);
}

std::string RequiredVersionLimit(const DOMNode* root) {
    const DOMNode* versionLimit = FindChildElement("VersionLimit", root);
    if (versionLimit == nullptr) throw CStartupError("plan.xml: the root has no VersionLimit");
    std::string version;
    if (!GetElementText(version, versionLimit) || version.empty()) {
        throw CStartupError("plan.xml: VersionLimit is empty");
    }
    return version;
}

std::vector<std::string> CollectDownloadUrls(const DOMNode* operationList) {
    std::vector<std::string> urls;
    for (const DOMNode* node = operationList->getFirstChild(); node != nullptr;
         node = node->getNextSibling()) {
        if (!IsElementNamed(node, u"Operation")) continue;
        std::string module;
        GetAttributeText(module, node, "ModuleName");
        const DOMNode* url = FindChildElement("URL", node);
        std::string text;
        if (module == "FileDownload" && url != nullptr && GetElementText(text, url) &&
            !text.empty()) {
            urls.push_back(text);
        }
    }
    return urls;
}

}  // namespace

CInstallationPlan LoadInstallationPlan(const std::filesystem::path& planDirectory) {
    CInstallationPlan plan;
    plan.document = ReadWholeFile(planDirectory / "plan.xml");

    CXmlDocument holder;
    const std::string error = ParseXmlBuffer("RUV Installer Response", holder, plan.document.data(),
                                             plan.document.size());
    if (!error.empty() || holder.root == nullptr) {
        throw CStartupError("plan.xml is not well-formed XML: " + error);
    }
    RequiredVersionLimit(holder.root);
    const DOMNode* operationList = FindChildElement("OperationList", holder.root);
    if (operationList == nullptr) throw CStartupError("plan.xml: the root has no OperationList");
    plan.downloadUrls = CollectDownloadUrls(operationList);
    return plan;
}

void CheckPlanDownloads(const CInstallationPlan& plan, const std::filesystem::path& planDirectory,
                        std::string_view basePath, std::string_view authority) {
    for (const std::string& url : plan.downloadUrls) {
        const auto requestPath = DownloadRequestPath(url, basePath, authority);
        if (!requestPath) continue;  // another server's file
        const auto relative = MapDownloadPath(basePath, *requestPath);
        if (!relative) {
            throw CStartupError("plan.xml: the download URL \"" + url +
                                "\" names no file under files/ (write it as files/NAME)");
        }
        const auto file = planDirectory / "files" / *relative;
        std::error_code ignored;
        if (!std::filesystem::is_regular_file(file, ignored)) {
            throw CStartupError("plan.xml: the download URL \"" + url + "\" names " +
                                file.string() + ", which is not a file");
        }
    }
}
