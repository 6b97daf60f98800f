#include "report_log.h"

#include <ctime>

#include "log_text.h"
#include "startup_error.h"

namespace {

std::string UtcNow() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

}  // namespace

CReportLog::CReportLog(const std::filesystem::path& file)
    : stream_(file, std::ios::binary | std::ios::app) {
    if (!stream_) throw CStartupError("cannot open the report log " + file.string());
}

void CReportLog::Append(std::string_view clientAddress, std::string_view body) {
    const std::string line =
        UtcNow() + '\t' + EscapeLogText(clientAddress) + '\t' + EscapeLogText(body) + '\n';
    std::lock_guard lock(mutex_);
    stream_ << line;
    stream_.flush();
}
