// ruvi-server: serves one installation plan to installers over HTTP.

#include <cstdio>

#include "ruvi_server.h"
#include "server_options.h"
#include "startup_error.h"
#include "stop_signal_watcher.h"

namespace {

constexpr int kExitStartupFailed = 1;
constexpr int kExitUsage = 2;

int Serve(const ServerOptions& options) {
    CRuviServer server(options);
    CStopSignalWatcher stopSignals([&server] { server.Stop(); });
    // Scripts and tests read the port from this line; flush it at once.
    std::printf("listening on %s\n", server.BaseUrl().c_str());
    std::fflush(stdout);
    if (!server.Run()) {
        std::fprintf(stderr, "ruvi-server: the listener failed\n");
        return kExitStartupFailed;
    }
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    try {
        return Serve(ParseServerOptions(argc, argv));
    } catch (const CUsageError& error) {
        std::fprintf(stderr, "ruvi-server: %s\n%s", error.what(), kServerUsage);
        return kExitUsage;
    } catch (const CStartupError& error) {
        std::fprintf(stderr, "ruvi-server: %s\n", error.what());
        return kExitStartupFailed;
    }
}
