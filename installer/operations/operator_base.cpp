#include "operations/operator_base.h"

#include <utility>

COperatorBase::COperatorBase(OperationKind kind, std::string name, std::string label,
                             std::string serverBaseUrl, std::string cacheDirectory)
    : kind(kind),
      name(std::move(name)),
      label(std::move(label)),
      cacheDirectory(std::move(cacheDirectory)),
      serverBaseUrl(std::move(serverBaseUrl)) {}
