#include "nginx_service.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "loopback.h"

namespace {

constexpr char kNginxProgram[] = "/usr/sbin/nginx";
constexpr char kStreamModule[] = "/usr/lib/nginx/modules/ngx_stream_module.so";
constexpr char kUpstreamServer[] = "server 127.0.0.1:";
constexpr char kHttpListen[] = "listen 80;";
constexpr char kMirrorAlias[] = "alias /srv/ruvi/plan/files/;";
constexpr int kStartAttempts = 3;
constexpr auto kStartLimit = std::chrono::seconds(30);

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// The shipped configuration with its upstream's servers and its listen
// lines replaced. Throws std::runtime_error when the shipped file no longer
// has the lines replaced here.
std::string TestNginxConfig(const std::string& shipped, const std::vector<int>& upstreamPorts,
                            int listenPort, const std::string& filesFolder) {
    std::istringstream lines(shipped);
    std::string adapted;
    bool upstreamReplaced = false;
    bool listenReplaced = false;
    for (std::string line; std::getline(lines, line);) {
        const std::size_t indent = line.find_first_not_of(' ');
        const std::string text = indent == std::string::npos ? "" : line.substr(indent);
        const std::string margin = line.substr(0, indent == std::string::npos ? 0 : indent);
        if (StartsWith(text, kUpstreamServer)) {
            // The first server line stands for all: the instances take its
            // settings (max_fails, fail_timeout).
            if (upstreamReplaced) continue;
            const std::string settings =
                text.substr(text.find_first_not_of("0123456789", sizeof kUpstreamServer - 1));
            for (const int port : upstreamPorts) {
                adapted += margin + kUpstreamServer + std::to_string(port) + settings + "\n";
            }
            upstreamReplaced = true;
        } else if (text == kMirrorAlias && !filesFolder.empty()) {
            adapted += margin + "alias " + filesFolder + ";\n";
        } else if (text == kHttpListen) {
            adapted += margin + "listen 127.0.0.1:" + std::to_string(listenPort) + ";\n";
            listenReplaced = true;
        } else if (!StartsWith(text, "listen 443") && !StartsWith(text, "ssl_")) {
            adapted += line + "\n";
        }
    }
    if (!upstreamReplaced || !listenReplaced) {
        throw std::runtime_error("the shipped nginx configuration has no \"" +
                                 std::string(upstreamReplaced ? kHttpListen : kUpstreamServer) +
                                 "\" line to replace");
    }
    return adapted;
}

}  // namespace

NginxService::NginxService(const NginxOptions& options) : folder_("ruvi-nginx") {
    const std::string shipped = ReadWholeFile(options.shippedConfig);
    if (shipped.empty()) throw std::runtime_error("cannot read " + options.shippedConfig);
    for (int attempt = 1; attempt <= kStartAttempts; ++attempt) {
        if (TryStart(options, shipped)) return;
    }
    throw std::runtime_error("nginx did not start:\n" +
                             ReadWholeFile(folder_.Path() + "/error.log"));
}

bool NginxService::TryStart(const NginxOptions& options, const std::string& shipped) {
    // A port can be taken between choosing it and nginx binding it; then
    // nginx ends and the next attempt takes others.
    port_ = FreeLoopbackPort();
    std::vector<int> relayPorts;
    if (options.rateLimit > 0) {
        for (std::size_t i = 0; i < options.upstreamPorts.size(); ++i) {
            relayPorts.push_back(FreeLoopbackPort());
        }
    }
    WriteMainConfig(options, relayPorts);
    std::ofstream(folder_.Path() + "/ruvi.conf")
        << TestNginxConfig(shipped, relayPorts.empty() ? options.upstreamPorts : relayPorts, port_,
                           options.filesFolder);
    process_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{kNginxProgram, "-e", folder_.Path() + "/error.log", "-c",
                                 folder_.Path() + "/nginx.conf", "-g", "daemon off;"},
        folder_.Path() + "/nginx.out", folder_.Path() + "/nginx.err");
    return WaitUntil(kStartLimit,
                     [&] { return AcceptsConnections(port_) || !process_->Running(); }) &&
           process_->Running();
}

// The main configuration around the shipped one, keeping every file nginx
// writes in the service's folder.
void NginxService::WriteMainConfig(const NginxOptions& options,
                                   const std::vector<int>& relayPorts) const {
    const std::string& folder = folder_.Path();
    std::ofstream config(folder + "/nginx.conf");
    if (!relayPorts.empty()) config << "load_module " << kStreamModule << ";\n";
    config << "pid " << folder << "/nginx.pid;\n"
           << "error_log " << folder << "/error.log;\n"
           << "worker_processes 1;\n"
           << "events {}\n";
    if (!relayPorts.empty()) {
        config << "stream {\n";
        for (std::size_t i = 0; i < relayPorts.size(); ++i) {
            config << "  server { listen 127.0.0.1:" << relayPorts[i]
                   << "; proxy_pass 127.0.0.1:" << options.upstreamPorts[i]
                   << "; proxy_download_rate " << options.rateLimit << "; }\n";
        }
        config << "}\n";
    }
    config << "http {\n"
           << "  log_format ruvi '$request status=$status range=\"$http_range\" "
              "user-agent=\"$http_user_agent\" accept=\"$http_accept\" "
              "cache-control=\"$http_cache_control\" pragma=\"$http_pragma\" "
              "content-range=\"$sent_http_content_range\" "
              "content-length=$sent_http_content_length bytes=$body_bytes_sent';\n"
           << "  access_log " << folder << "/access.log ruvi;\n"
           << "  client_body_temp_path " << folder << "/body;\n"
           << "  proxy_temp_path " << folder << "/proxy;\n"
           << "  include " << folder << "/ruvi.conf;\n"
           << "}\n";
    if (!config) throw std::runtime_error("cannot write " + folder + "/nginx.conf");
}

std::string NginxService::Facts() const {
    const std::string accessLog = folder_.Path() + "/access.log";
    return "url=http://127.0.0.1:" + std::to_string(port_) +
           "/RUVServer/\nport=" + std::to_string(port_) +
           "\naccessLog=" + WindowsPathOf(accessLog) + "\naccessLogUnix=" + accessLog + "\n";
}
