#include "operations/operation_log.h"

#include <algorithm>

#include "operations/operator_base.h"
#include "platform/install_log.h"

namespace {

constexpr double kBytesPerMiB = 1024.0 * 1024.0;

}  // namespace

void LogOperationStart(const COperatorBase& operation) {
    install_log::Write("operation-start", {{"label", operation.label}, {"kind", operation.name}});
}

void LogOperationEnd(const COperatorBase& operation, std::int64_t milliseconds) {
    LogFields fields = {{"label", operation.label},
                        {"kind", operation.name},
                        {"code", operation.result.code},
                        {"message", operation.result.message},
                        {"milliseconds", milliseconds}};
    const OperationFacts& facts = operation.facts;
    if (facts.offset) fields.emplace_back("offset", *facts.offset);
    if (facts.bytes) {
        fields.emplace_back("bytes", *facts.bytes);
        const double seconds = static_cast<double>(std::max<std::int64_t>(milliseconds, 1)) / 1000;
        fields.emplace_back("mib-per-second",
                            static_cast<double>(*facts.bytes) / kBytesPerMiB / seconds);
    }
    if (facts.exitCode) fields.emplace_back("exit-code", *facts.exitCode);
    install_log::Write("operation-end", fields);
}

void LogDownloadSource(const std::string& label, const std::string& url, std::int64_t offset,
                       int status, std::uint64_t bytes, std::int64_t milliseconds) {
    install_log::Write("download-source", {{"label", label},
                                           {"url", url},
                                           {"offset", offset},
                                           {"status", status},
                                           {"bytes", bytes},
                                           {"milliseconds", milliseconds}});
}
