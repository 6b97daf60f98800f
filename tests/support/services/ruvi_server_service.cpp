#include "ruvi_server_service.h"

#include <stdexcept>
#include <utility>
#include <vector>

#include "loopback.h"

namespace {

constexpr char kAnnouncement[] = "listening on ";
constexpr auto kStartLimit = std::chrono::seconds(20);

std::vector<std::string> CommandLine(const RuviServerOptions& options) {
    std::vector<std::string> argv = {options.program, options.planFolder, "--listen", "127.0.0.1:0",
                                     "--base",        options.base,       "--mode",   options.mode};
    const std::pair<const char*, const std::string*> optional[] = {
        {"--des-key", &options.desKey},
        {"--signing-key", &options.signingKey},
        {"--tls-cert", &options.tlsCert},
        {"--tls-key", &options.tlsKey},
    };
    for (const auto& [option, value] : optional) {
        if (value->empty()) continue;
        argv.push_back(option);
        argv.push_back(*value);
    }
    return argv;
}

}  // namespace

RuviServerService::RuviServerService(const RuviServerOptions& options) : folder_("ruvi-server") {
    const std::string out = AccessLogPath();
    const std::string err = folder_.Path() + "/stderr";
    process_ = std::make_unique<ChildProcess>(CommandLine(options), out, err);

    // The first line on standard output names the address.
    std::string firstLine;
    const bool announced = WaitUntil(kStartLimit, [&] {
        const std::string text = ReadWholeFile(out);
        const std::size_t end = text.find('\n');
        if (end != std::string::npos) firstLine = text.substr(0, end);
        return end != std::string::npos || !process_->Running();
    });
    if (!announced || firstLine.rfind(kAnnouncement, 0) != 0) {
        throw std::runtime_error("ruvi-server did not start: " + firstLine + "\n" +
                                 ReadWholeFile(err));
    }
    url_ = firstLine.substr(sizeof kAnnouncement - 1);
    const std::string loopback = "https://127.0.0.1:";
    if (url_.rfind(loopback, 0) == 0) url_.replace(0, loopback.size(), "https://localhost:");
}

std::string RuviServerService::Facts() const {
    const std::string accessLog = AccessLogPath();
    return "url=" + url_ + "\naccessLog=" + WindowsPathOf(accessLog) +
           "\naccessLogUnix=" + accessLog + "\n";
}

void RuviServerService::Kill() { process_->Kill(); }

std::string RuviServerService::AccessLogPath() const { return folder_.Path() + "/stdout"; }
