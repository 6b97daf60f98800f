#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

// The server's counters since it started, for GET /metrics in Prometheus'
// text format. Each instance counts its own requests; a scraper sums them.
// Safe to use from any thread.
class CServerMetrics {
public:
    void AnswerServed() { ++answersServed_; }
    void DownloadStarted() { ++downloadsStarted_; }
    void DownloadCompleted() { ++downloadsCompleted_; }
    // Downloads a GET asked for, as from any mirror (HEAD counts for nothing).
    void MirrorDownloadStarted() { ++mirrorDownloadsStarted_; }
    void MirrorDownloadCompleted() { ++mirrorDownloadsCompleted_; }
    void ReportReceived() { ++reportsReceived_; }
    // One answered request: its status and the body bytes that went out.
    void RequestAnswered(int status, std::uint64_t bytes);

    std::string Exposition() const;

private:
    std::atomic<std::uint64_t> answersServed_ = 0;
    std::atomic<std::uint64_t> downloadsStarted_ = 0;
    std::atomic<std::uint64_t> downloadsCompleted_ = 0;
    std::atomic<std::uint64_t> mirrorDownloadsStarted_ = 0;
    std::atomic<std::uint64_t> mirrorDownloadsCompleted_ = 0;
    std::atomic<std::uint64_t> reportsReceived_ = 0;
    std::atomic<std::uint64_t> bytesSent_ = 0;
    mutable std::mutex statusMutex_;
    std::map<int, std::uint64_t> requestsByStatus_;
};

// The content type of the exposition.
inline constexpr char kMetricsContentType[] = "text/plain; version=0.0.4; charset=utf-8";
