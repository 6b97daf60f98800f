#include "server_metrics.h"

namespace {

void Counter(std::string& text, const char* name, const char* help, std::uint64_t value) {
    text += std::string("# HELP ") + name + ' ' + help + "\n# TYPE " + name + " counter\n" + name +
            ' ' + std::to_string(value) + '\n';
}

}  // namespace

void CServerMetrics::RequestAnswered(int status, std::uint64_t bytes) {
    bytesSent_ += bytes;
    std::lock_guard lock(statusMutex_);
    ++requestsByStatus_[status];
}

std::string CServerMetrics::Exposition() const {
    std::string text;
    Counter(text, "ruvi_answers_served_total", "Answers to ruvinstall served.", answersServed_);
    Counter(text, "ruvi_downloads_started_total", "Download requests whose answer began.",
            downloadsStarted_);
    Counter(text, "ruvi_downloads_completed_total", "Download requests whose last byte was sent.",
            downloadsCompleted_);
    Counter(text, "ruvi_mirror_downloads_started_total",
            "GETs of a file (whole or a range) whose answer began.", mirrorDownloadsStarted_);
    Counter(text, "ruvi_mirror_downloads_completed_total",
            "GETs of a file whose last byte was sent.", mirrorDownloadsCompleted_);
    Counter(text, "ruvi_sent_bytes_total", "Body bytes sent, of cut downloads as far as they went.",
            bytesSent_);
    Counter(text, "ruvi_reports_received_total", "Reports stored in the report log.",
            reportsReceived_);
    text +=
        "# HELP ruvi_requests_total Requests answered, by HTTP status.\n"
        "# TYPE ruvi_requests_total counter\n";
    std::lock_guard lock(statusMutex_);
    for (const auto& [status, count] : requestsByStatus_) {
        text += "ruvi_requests_total{status=\"" + std::to_string(status) + "\"} " +
                std::to_string(count) + '\n';
    }
    return text;
}
