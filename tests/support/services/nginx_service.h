#pragma once

#include <memory>
#include <string>
#include <vector>

#include "child_process.h"
#include "service.h"
#include "service_files.h"

struct NginxOptions {
    std::string shippedConfig;       // deploy/nginx/ruvi.conf
    std::vector<int> upstreamPorts;  // ruvi-server instances on 127.0.0.1
    // When not 0, nginx reaches each instance through a relay of its own (a
    // stream proxy) that reads from the instance at this many bytes per
    // second (after the first second's worth), so that a download can be
    // caught part-way. (nginx's limit_rate does not slow down answers passed
    // on unbuffered, as the shipped configuration passes them.)
    long long rateLimit = 0;
    // When not empty, the folder (ending with "/") that the mirror serves
    // in place of the shipped plan folder's files/.
    std::string filesFolder;
};

// nginx on a free loopback port, with the shipped configuration in front of
// ruvi-server instances: its upstream's servers replaced by the instances
// (or their relays), plain HTTP on the port (the TLS lines go), the mirror's
// folder the test's, everything else as shipped. Its access log names the
// headers of each mirror request and answer that downloads depend on. Its files stay in a folder of
// its own.
class NginxService : public Service {
public:
    // Returns once nginx accepts connections; throws std::runtime_error (with
    // nginx's own log) when it does not start.
    explicit NginxService(const NginxOptions& options);

    // url (the server base URL through nginx), port, accessLog (Z:\ path),
    // accessLogUnix.
    std::string Facts() const override;

private:
    bool TryStart(const NginxOptions& options, const std::string& shipped);
    void WriteMainConfig(const NginxOptions& options, const std::vector<int>& relayPorts) const;

    TempFolder folder_;
    int port_ = 0;
    std::unique_ptr<ChildProcess> process_;
};
