#include "operations/operator_base.h"

#include <utility>

COperatorBase::COperatorBase(std::string name, std::string label, std::string serverBaseUrl,
                             std::string cacheDirectory)
    : name(std::move(name)),
      label(std::move(label)),
      cacheDirectory(std::move(cacheDirectory)),
      serverBaseUrl(std::move(serverBaseUrl)) {}

void COperatorBase::PrepareRun(const ProxyChoice& proxyChoice, IProgressSink* sink) {
    proxy = proxyChoice;
    progressSink = sink;
}

std::optional<std::string> COperatorBase::WorkFile(const std::string& fileName) const {
    if (cacheDirectory.empty()) return std::nullopt;
    return cacheDirectory + "\\" + fileName;
}
