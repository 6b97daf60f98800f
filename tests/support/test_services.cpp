#include "test_services.h"

#include <winsock2.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <thread>  // brings the clocks; <chrono> does not build with GBK literals
#include <utility>

#include "control_request.h"

namespace {

constexpr auto kLogLineLimit = std::chrono::seconds(20);

int PortOfUrl(const std::string& url) {
    const std::size_t hostStart = url.find("://");
    const std::size_t colon = url.find(':', hostStart == std::string::npos ? 0 : hostStart + 3);
    if (colon == std::string::npos) throw std::runtime_error("no port in " + url);
    return std::stoi(url.substr(colon + 1));
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace

int UnusedLoopbackPort() {
    WSADATA winsock;
    if (WSAStartup(MAKEWORD(2, 2), &winsock) != 0) throw std::runtime_error("no Winsock");
    const SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    const bool bound = probe != INVALID_SOCKET &&
                       bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                       getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    if (probe != INVALID_SOCKET) closesocket(probe);
    WSACleanup();
    if (!bound) throw std::runtime_error("cannot find an unused loopback port");
    return ntohs(address.sin_port);
}

ServiceLease::ServiceLease(std::string controlUrl, int id)
    : controlUrl_(std::move(controlUrl)), id_(id) {}

ServiceLease::ServiceLease(ServiceLease&& other) noexcept
    : controlUrl_(std::move(other.controlUrl_)), id_(std::exchange(other.id_, 0)) {}

ServiceLease::~ServiceLease() {
    if (id_ == 0) return;
    try {
        CallServices(controlUrl_, "/stop?id=" + std::to_string(id_));
    } catch (const std::exception&) {
        // The services host stops whatever is left when the test case ends.
    }
}

void ServiceLease::Kill() {
    CallServices(controlUrl_, "/kill?id=" + std::to_string(std::exchange(id_, 0)));
}

std::string WaitForTextInFile(const std::string& path, const std::string& needle) {
    const auto deadline = std::chrono::steady_clock::now() + kLogLineLimit;
    for (;;) {
        const std::string log = ReadWholeFile(path);
        if (log.find(needle) != std::string::npos) return log;
        if (std::chrono::steady_clock::now() >= deadline) return {};
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::string RuviServer::WaitForLogLine(const std::string& needle) const {
    return WaitForTextInFile(accessLogPath, needle);
}

std::string RuviServer::Metrics() const { return GetFromLoopback(port, "/metrics"); }

std::string SquidProxy::Address() const { return "127.0.0.1:" + std::to_string(port); }

std::string SquidProxy::WaitForLogLine(const std::string& needle) const {
    return WaitForTextInFile(accessLogPath, needle);
}

void SharedFolder::WriteFile(const std::string& relativePath, const std::string& bytes) const {
    std::string windowsRelative = relativePath;
    std::replace(windowsRelative.begin(), windowsRelative.end(), '/', '\\');
    const std::filesystem::path path = windowsPath + "\\" + windowsRelative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file.flush()) throw std::runtime_error("cannot write " + path.string());
}

TestServices::TestServices() {
    const char* url = std::getenv("RUVI_TEST_SERVICES");
    if (url == nullptr || *url == '\0') {
        throw std::runtime_error(
            "RUVI_TEST_SERVICES is not set: run the test under tests/support/run-with-services");
    }
    controlUrl_ = url;
}

RuviServerSettings& RuviServerSettings::Tls(const TlsCertificate& certificate) {
    tlsCert = certificate.certUnixPath;
    tlsKey = certificate.keyUnixPath;
    return *this;
}

RuviServer TestServices::StartRuviServer(const std::string& planUnixPath, const std::string& mode,
                                         const std::string& desKey, const std::string& base) {
    RuviServerSettings settings;
    settings.mode = mode;
    settings.desKey = desKey;
    settings.base = base;
    return StartRuviServer(planUnixPath, settings);
}

RuviServer TestServices::StartRuviServer(const std::string& planUnixPath,
                                         const RuviServerSettings& settings) {
    auto facts = CallServices(
        controlUrl_,
        "/ruvi-server?plan=" + QueryEscaped(planUnixPath) + "&mode=" + QueryEscaped(settings.mode) +
            "&key=" + QueryEscaped(settings.desKey) + "&base=" + QueryEscaped(settings.base) +
            "&signingKey=" + QueryEscaped(settings.signingKey) + "&tlsCert=" +
            QueryEscaped(settings.tlsCert) + "&tlsKey=" + QueryEscaped(settings.tlsKey));
    const std::string url = facts.at("url");
    return RuviServer{ServiceLease(controlUrl_, std::stoi(facts.at("id"))), url, PortOfUrl(url),
                      facts.at("accessLog")};
}

SigningKey TestServices::MakeSigningKey() {
    auto facts = CallServices(controlUrl_, "/signing-key");
    return SigningKey{facts.at("privateKeyUnix"), facts.at("privateKey"), facts.at("trustKey")};
}

TlsCertificate TestServices::MakeTlsCertificate() {
    auto facts = CallServices(controlUrl_, "/tls-certificate");
    return TlsCertificate{facts.at("caCert"), facts.at("caCertDer"), facts.at("caCertUnix"),
                          facts.at("certUnix"), facts.at("keyUnix")};
}

SquidProxy TestServices::StartSquid(const std::string& user, const std::string& password,
                                    int originPort) {
    auto facts = CallServices(controlUrl_, "/squid?user=" + QueryEscaped(user) +
                                               "&password=" + QueryEscaped(password) +
                                               "&origin=" + std::to_string(originPort));
    return SquidProxy{ServiceLease(controlUrl_, std::stoi(facts.at("id"))),
                      std::stoi(facts.at("port")), facts.at("accessLog")};
}

NginxProxy TestServices::StartNginx(const std::vector<int>& upstreamPorts, long long bytesPerSecond,
                                    const std::string& filesUnixPath) {
    std::string ports;
    for (const int port : upstreamPorts) {
        if (!ports.empty()) ports += ',';
        ports += std::to_string(port);
    }
    auto facts = CallServices(
        controlUrl_, "/nginx?upstreams=" + ports + "&rate=" + std::to_string(bytesPerSecond) +
                         (filesUnixPath.empty() ? "" : "&files=" + filesUnixPath + "/"));
    return NginxProxy{ServiceLease(controlUrl_, std::stoi(facts.at("id"))), facts.at("url"),
                      std::stoi(facts.at("port")), facts.at("accessLog")};
}

std::string TestServices::ScriptedUrl(const std::string& answer) const {
    return controlUrl_ + "/scripted/" + answer;
}

EndlessAnswer TestServices::ServeEndless() const {
    return EndlessAnswer{ScriptedUrl("endless/"), PortOfUrl(controlUrl_)};
}

EndlessAnswer::Counts EndlessAnswer::Read() const {
    std::istringstream lines(GetFromLoopback(hostPort, "/scripted/endless-facts"));
    std::map<std::string, std::string> facts;
    for (std::string line; std::getline(lines, line);) {
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos) facts[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return Counts{std::stoi(facts.at("requests")), std::stoull(facts.at("sent")),
                  facts.at("sending") == "yes"};
}

CannedAnswer TestServices::ServeCanned(int status, const std::string& body,
                                       const std::string& headers) {
    SharedFolder folder = MakeSharedFolder();
    folder.WriteFile("status", std::to_string(status));
    folder.WriteFile("headers", headers);
    folder.WriteFile("body", body);
    const std::string url = ScriptedUrl("canned" + folder.unixPath + "/");
    return CannedAnswer{std::move(folder), url};
}

std::string CannedAnswer::LastRequest() const {
    return ReadWholeFile(folder.windowsPath + "\\request");
}

SharedFolder TestServices::MakeSharedFolder() {
    auto facts = CallServices(controlUrl_, "/temp-folder");
    return SharedFolder{facts.at("unixPath"), facts.at("windowsPath")};
}
