// ruvi-test-services: the Linux side of the Windows tests. Programs under
// Wine cannot start and control Linux programs, so this host does it for
// them over HTTP on loopback (see control_api.h), and answers the HTTP
// client's scripted edge cases (see scripted_answers.h). The first line on
// standard output is "listening on http://127.0.0.1:PORT/". SIGTERM or
// SIGINT stops it, and everything it started.
//
// Usage: ruvi-test-services [--ruvi-server PROGRAM] [--nginx-conf SHIPPED_CONF]

#include <pthread.h>
#include <signal.h>
#include <sys/prctl.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "control_api.h"
#include "scripted_answers.h"
#include "service_registry.h"

namespace {

sigset_t StopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    return signals;
}

}  // namespace

int main(int argc, char** argv) {
    ServiceSources sources;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--ruvi-server") == 0) sources.ruviServerProgram = argv[i + 1];
        if (std::strcmp(argv[i], "--nginx-conf") == 0) sources.nginxConfig = argv[i + 1];
    }

    // The wrapper that started us may be killed outright (a test runner's
    // time-out); we must not outlive it with our children.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    // Blocked before any thread exists, so only the watcher below takes them.
    const sigset_t stopSignals = StopSignals();
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    ServiceRegistry registry;
    httplib::Server server;
    AddControlApi(server, registry, sources);
    AddScriptedAnswers(server);
    const int port = server.bind_to_any_port("127.0.0.1");
    if (port < 0) {
        std::fprintf(stderr, "ruvi-test-services: cannot listen on 127.0.0.1\n");
        return 1;
    }
    std::printf("listening on http://127.0.0.1:%d/\n", port);
    std::fflush(stdout);

    std::thread watcher([&] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        server.stop();
    });
    server.listen_after_bind();
    // Wakes the watcher when the listener ended on its own.
    pthread_kill(watcher.native_handle(), SIGTERM);
    watcher.join();
    registry.StopAll();
    return 0;
}
