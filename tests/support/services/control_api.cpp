#include "control_api.h"

#include <exception>
#include <functional>
#include <sstream>

#include "nginx_service.h"
#include "ruvi_server_service.h"
#include "squid_service.h"
#include "test_keys.h"

namespace {

std::string ParamOr(const httplib::Request& request, const char* name,
                    const std::string& fallback) {
    return request.has_param(name) ? request.get_param_value(name) : fallback;
}

// Any failure becomes a 500 whose text the test shows.
httplib::Server::Handler Answering(std::function<std::string(const httplib::Request&)> action) {
    return
        [action = std::move(action)](const httplib::Request& request, httplib::Response& response) {
            try {
                response.set_content(action(request), "text/plain");
            } catch (const std::exception& failure) {
                response.status = 500;
                response.set_content(failure.what(), "text/plain");
            }
        };
}

std::vector<int> PortList(const std::string& text) {
    std::vector<int> ports;
    std::istringstream items(text);
    for (std::string item; std::getline(items, item, ',');) ports.push_back(std::stoi(item));
    return ports;
}

httplib::Server::Handler Stopping(ServiceRegistry& registry, bool atOnce) {
    return Answering([&registry, atOnce](const auto& request) {
        if (!registry.Stop(std::stoi(request.get_param_value("id")), atOnce)) {
            throw std::runtime_error("no service " + request.get_param_value("id"));
        }
        return std::string("stopped\n");
    });
}

}  // namespace

void AddControlApi(httplib::Server& server, ServiceRegistry& registry,
                   const ServiceSources& sources) {
    server.Post("/ruvi-server", Answering([&registry, sources](const auto& request) {
                    RuviServerOptions options;
                    options.program = sources.ruviServerProgram;
                    options.planFolder = request.get_param_value("plan");
                    options.base = ParamOr(request, "base", options.base);
                    options.mode = ParamOr(request, "mode", options.mode);
                    options.desKey = ParamOr(request, "key", "");
                    options.signingKey = ParamOr(request, "signingKey", "");
                    options.tlsCert = ParamOr(request, "tlsCert", "");
                    options.tlsKey = ParamOr(request, "tlsKey", "");
                    return registry.Adopt(std::make_unique<RuviServerService>(options));
                }));
    server.Post("/signing-key", Answering([&registry](const auto&) {
                    return MakeSigningKey(registry.NewTempFolder());
                }));
    server.Post("/tls-certificate", Answering([&registry](const auto&) {
                    return MakeTlsCertificate(registry.NewTempFolder());
                }));
    server.Post("/squid", Answering([&registry](const auto& request) {
                    SquidOptions options;
                    options.user = request.get_param_value("user");
                    options.password = request.get_param_value("password");
                    options.originPort = std::stoi(ParamOr(request, "origin", "0"));
                    return registry.Adopt(std::make_unique<SquidService>(options));
                }));
    server.Post("/nginx", Answering([&registry, sources](const auto& request) {
                    NginxOptions options;
                    options.shippedConfig = sources.nginxConfig;
                    options.upstreamPorts = PortList(request.get_param_value("upstreams"));
                    options.rateLimit = std::stoll(ParamOr(request, "rate", "0"));
                    options.filesFolder = request.get_param_value("files");
                    return registry.Adopt(std::make_unique<NginxService>(options));
                }));
    server.Post("/stop", Stopping(registry, false));
    server.Post("/kill", Stopping(registry, true));
    server.Post("/temp-folder",
                Answering([&registry](const auto&) { return registry.MakeTempFolder(); }));
}
