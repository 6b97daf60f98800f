// ruvi-server: serves one installation plan to installers over HTTP.

#include <cstdio>
#include <exception>

#include "key_fingerprint.h"
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
    // For the operator to compare with ruvi-seal check-config.
    if (const ByteVector key = server.SigningKeyPoint(); !key.empty()) {
        std::fprintf(stderr, "ruvi-server: signing answers with the key %s\n",
                     KeyFingerprint(key).c_str());
    }
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
        const ServerOptions options = ParseServerOptions(argc, argv);
        if (options.helpAsked) {
            std::fputs(kServerUsage, stdout);
            return 0;
        }
        return Serve(options);
    } catch (const CUsageError& error) {
        std::fprintf(stderr, "ruvi-server: %s\n%s", error.what(), kServerUsage);
        return kExitUsage;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "ruvi-server: %s\n", error.what());
        return kExitStartupFailed;
    }
}
