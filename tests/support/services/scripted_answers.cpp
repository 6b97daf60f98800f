#include "scripted_answers.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>

#include "../scripted_pattern.h"

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;

// Pseudo-headers that httplib adds for the handler; not sent by the client.
const std::set<std::string> kServerSideHeaders = {"REMOTE_ADDR", "REMOTE_PORT", "LOCAL_ADDR",
                                                  "LOCAL_PORT"};

std::uint64_t Number(const std::string& text) { return std::stoull(text); }

// Streams ScriptedByte from offset on without holding the whole body.
bool WritePattern(std::size_t offset, std::size_t length, httplib::DataSink& sink) {
    std::string chunk(std::min(length, kChunkSize), '\0');
    for (std::size_t i = 0; i < chunk.size(); ++i) chunk[i] = ScriptedByte(offset + i);
    return sink.write(chunk.data(), chunk.size());
}

void AnswerStatus(const httplib::Request& request, httplib::Response& response) {
    const int status = static_cast<int>(Number(request.matches[1]));
    response.status = status;
    if (status == 301 || status == 302 || status == 303 || status == 307) {
        response.set_header("Location", "/scripted/bytes/16");
    }
    response.set_content("status " + std::to_string(status), "text/plain");
}

void AnswerBytes(const httplib::Request& request, httplib::Response& response) {
    const std::uint64_t size = Number(request.matches[1]);
    // httplib never ends an answer whose provider has nothing to provide.
    if (size == 0) {
        response.set_content("", "application/octet-stream");
        return;
    }
    response.set_content_provider(size, "application/octet-stream", WritePattern);
}

void AnswerCut(const httplib::Request& request, httplib::Response& response) {
    const std::uint64_t sent = Number(request.matches[2]);
    // Returning false from the provider makes httplib drop the connection.
    response.set_content_provider(
        Number(request.matches[1]), "application/octet-stream",
        [sent](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            if (offset >= sent) return false;
            return WritePattern(offset, std::min<std::uint64_t>(length, sent - offset), sink);
        });
}

std::string Echo(const httplib::Request& request) {
    std::string echo = request.method + " " + request.target + "\n";
    for (const auto& [name, value] : request.headers) {
        if (kServerSideHeaders.count(name) == 0) echo += name + ": " + value + "\n";
    }
    return echo + "\n" + request.body;
}

void AnswerEcho(const httplib::Request& request, httplib::Response& response) {
    response.set_content(Echo(request), "application/octet-stream");
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

void AnswerCanned(const httplib::Request& request, httplib::Response& response) {
    const std::string folder = request.matches[1];
    std::ofstream(folder + "/request", std::ios::binary) << Echo(request);
    response.status = std::stoi(ReadFile(folder + "/status"));
    std::istringstream headers(ReadFile(folder + "/headers"));
    for (std::string line; std::getline(headers, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t colon = line.find(": ");
        if (colon != std::string::npos) {
            response.set_header(line.substr(0, colon), line.substr(colon + 2));
        }
    }
    response.set_content(ReadFile(folder + "/body"), "application/octet-stream");
}

// What the endless answers of this host did; one host serves one test case.
struct EndlessCounts {
    std::atomic<int> requests{0};
    std::atomic<std::uint64_t> sent{0};
    std::atomic<int> sending{0};
};
EndlessCounts endless;

constexpr std::uint64_t kEndlessLength = std::uint64_t{1} << 40;
// Large, so that the answer comes as fast as the system takes it. A piece
// whose write fails is not counted, though part of it may have gone out.
constexpr std::size_t kEndlessPiece = 1024 * 1024;

void AnswerEndless(const httplib::Request&, httplib::Response& response) {
    ++endless.requests;
    ++endless.sending;
    response.set_content_provider(
        kEndlessLength, "application/octet-stream",
        [](std::size_t, std::size_t length, httplib::DataSink& sink) {
            static const std::string piece(kEndlessPiece, 'e');
            const std::size_t size = std::min(length, piece.size());
            if (!sink.write(piece.data(), size)) return false;
            endless.sent += size;
            return true;
        },
        [](bool) { --endless.sending; });
}

void AnswerEndlessFacts(const httplib::Request&, httplib::Response& response) {
    response.set_content("requests=" + std::to_string(endless.requests) +
                             "\nsent=" + std::to_string(endless.sent) +
                             "\nsending=" + (endless.sending > 0 ? "yes" : "no") + "\n",
                         "text/plain");
}

void OnGetAndPost(httplib::Server& server, const std::string& pattern,
                  const httplib::Server::Handler& handler) {
    server.Get(pattern, handler);
    server.Post(pattern, handler);
}

}  // namespace

void AddScriptedAnswers(httplib::Server& server) {
    OnGetAndPost(server, R"(/scripted/status/(\d{3}))", AnswerStatus);
    OnGetAndPost(server, R"(/scripted/bytes/(\d+))", AnswerBytes);
    OnGetAndPost(server, R"(/scripted/cut/(\d+)/(\d+))", AnswerCut);
    OnGetAndPost(server, "/scripted/echo", AnswerEcho);
    OnGetAndPost(server, R"(/scripted/canned(/.+)/[^/]*)", AnswerCanned);
    OnGetAndPost(server, R"(/scripted/endless/.*)", AnswerEndless);
    server.Get("/scripted/endless-facts", AnswerEndlessFacts);
}
