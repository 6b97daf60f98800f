#include "squid_service.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "loopback.h"

namespace {

constexpr char kSquidProgram[] = "/usr/sbin/squid";
constexpr char kHtpasswdProgram[] = "/usr/bin/htpasswd";
constexpr char kBasicAuthHelper[] = "/usr/lib/squid/basic_ncsa_auth";
constexpr int kStartAttempts = 3;
constexpr auto kStartLimit = std::chrono::seconds(30);

// Started as root, squid works as the user "proxy", which must be able to
// write its logs and read the password file.
void HandToSquidUser(const std::string& folder) {
    if (geteuid() != 0) return;
    const passwd* proxy = getpwnam("proxy");
    if (proxy == nullptr) return;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        chown(entry.path().c_str(), proxy->pw_uid, proxy->pw_gid);
    }
    chown(folder.c_str(), proxy->pw_uid, proxy->pw_gid);
    chmod(folder.c_str(), 0755);
}

void WriteConfig(const std::string& path, const std::string& folder, int port, int originPort) {
    std::ofstream config(path);
    config << "http_port 127.0.0.1:" << port << "\n"
           << "pid_filename " << folder << "/squid.pid\n"
           << "cache_log " << folder << "/cache.log\n"
           << "access_log stdio:" << folder << "/access.log\n"
           << "coredump_dir " << folder << "\n"
           << "cache deny all\n"
           << "cache_mem 8 MB\n"
           << "pinger_enable off\n"
           << "auth_param basic program " << kBasicAuthHelper << " " << folder << "/passwd\n"
           << "auth_param basic realm ruvi\n"
           << "acl authed proxy_auth REQUIRED\n"
           << "acl localnet src 127.0.0.0/8\n"
           << "http_access allow localnet authed\n"
           << "http_access deny all\n"
           << "shutdown_lifetime 0 seconds\n";
    if (originPort != 0) {
        config << "cache_peer 127.0.0.1 parent " << originPort
               << " 0 no-query originserver name=origin\n"
               << "cache_peer_access origin allow all\n"
               << "never_direct allow all\n";
    }
    if (!config) throw std::runtime_error("cannot write " + path);
}

}  // namespace

SquidService::SquidService(const SquidOptions& options) : folder_("ruvi-squid") {
    const std::string passwords = folder_.Path() + "/passwd";
    if (RunToEnd({kHtpasswdProgram, "-bc", passwords, options.user, options.password}) != 0) {
        throw std::runtime_error("htpasswd could not write " + passwords);
    }
    HandToSquidUser(folder_.Path());
    for (int attempt = 1; attempt <= kStartAttempts; ++attempt) {
        if (TryStart(options)) return;
    }
    throw std::runtime_error("squid did not start:\n" +
                             ReadWholeFile(folder_.Path() + "/cache.log"));
}

bool SquidService::TryStart(const SquidOptions& options) {
    // The port can be taken between choosing it and squid binding it; then
    // squid ends and the next attempt takes another.
    port_ = FreeLoopbackPort();
    const std::string config = folder_.Path() + "/squid.conf";
    WriteConfig(config, folder_.Path(), port_, options.originPort);
    process_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{kSquidProgram, "-f", config, "-N", "-d0", "-n",
                                 "ruvi" + std::to_string(port_)},
        folder_.Path() + "/squid.out", folder_.Path() + "/squid.err");
    return WaitUntil(kStartLimit,
                     [&] { return AcceptsConnections(port_) || !process_->Running(); }) &&
           process_->Running();
}

std::string SquidService::Facts() const {
    const std::string accessLog = folder_.Path() + "/access.log";
    return "port=" + std::to_string(port_) + "\naccessLog=" + WindowsPathOf(accessLog) +
           "\naccessLogUnix=" + accessLog + "\n";
}
