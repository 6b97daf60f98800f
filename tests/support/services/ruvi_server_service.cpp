#include "ruvi_server_service.h"

#include <stdexcept>
#include <vector>

#include "loopback.h"

namespace {

constexpr char kAnnouncement[] = "listening on ";
constexpr auto kStartLimit = std::chrono::seconds(20);

std::vector<std::string> CommandLine(const RuviServerOptions& options) {
    std::vector<std::string> argv = {options.program, options.planFolder, "--listen", "127.0.0.1:0",
                                     "--base",        options.base,       "--mode",   options.mode};
    if (!options.desKey.empty()) {
        argv.push_back("--des-key");
        argv.push_back(options.desKey);
    }
    return argv;
}

}  // namespace

RuviServerService::RuviServerService(const RuviServerOptions& options) : folder_("ruvi-server") {
    const std::string out = folder_.Path() + "/stdout";
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
}

std::string RuviServerService::Facts() const { return "url=" + url_ + "\n"; }
