#include "canned_http_server.h"

#include <stdexcept>
#include <utility>

namespace ops_test {

namespace {

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(port));
    return address;
}

// Reads the request head and as much body as it declares, so the client
// has finished sending before the answer comes.
std::string ReadRequest(SOCKET client) {
    std::string received;
    char buffer[4096];
    std::size_t bodyStart = std::string::npos;
    std::size_t bodyLength = 0;
    for (;;) {
        if (bodyStart != std::string::npos && received.size() >= bodyStart + bodyLength) {
            return received;
        }
        const int n = recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) return received;
        received.append(buffer, static_cast<std::size_t>(n));
        if (bodyStart == std::string::npos) {
            const std::size_t headEnd = received.find("\r\n\r\n");
            if (headEnd == std::string::npos) continue;
            bodyStart = headEnd + 4;
            const std::size_t field = received.find("Content-Length:");
            if (field != std::string::npos && field < headEnd) {
                bodyLength = std::stoul(received.substr(field + 15));
            }
        }
    }
}

}  // namespace

WinsockSession::WinsockSession() {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) throw std::runtime_error("WSAStartup failed");
}

CannedHttpServer::CannedHttpServer(int status, std::string body, std::string headers)
    : status_(status), body_(std::move(body)), headers_(std::move(headers)) {
    listener_.Reset(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    sockaddr_in address = Loopback(0);
    int length = sizeof address;
    if (!listener_ ||
        bind(listener_.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_.Get(), 8) != 0 ||
        getsockname(listener_.Get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("cannot listen on loopback");
    }
    port_ = ntohs(address.sin_port);
    thread_.Reset(CreateThread(nullptr, 0, &CannedHttpServer::ServeThread, this, 0, nullptr));
    if (!thread_) throw std::runtime_error("cannot start the serving thread");
}

CannedHttpServer::~CannedHttpServer() {
    if (thread_) {
        // Wake the blocked accept with a connection of our own.
        stopping_ = true;
        Socket wake(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
        const sockaddr_in address = Loopback(port_);
        connect(wake.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
        WaitForSingleObject(thread_.Get(), INFINITE);
    }
}

std::string CannedHttpServer::Url() const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/";
}

std::string CannedHttpServer::LastRequest() const {
    std::lock_guard lock(requestMutex_);
    return lastRequest_;
}

DWORD WINAPI CannedHttpServer::ServeThread(void* self) {
    static_cast<CannedHttpServer*>(self)->Serve();
    return 0;
}

void CannedHttpServer::Serve() {
    for (;;) {
        Socket client(accept(listener_.Get(), nullptr, nullptr));
        if (stopping_ || !client) return;
        Answer(client.Get());
    }
}

void CannedHttpServer::Answer(SOCKET client) {
    std::string request = ReadRequest(client);
    {
        std::lock_guard lock(requestMutex_);
        lastRequest_ = std::move(request);
    }
    const std::string answer = "HTTP/1.1 " + std::to_string(status_) +
                               " Canned\r\nContent-Length: " + std::to_string(body_.size()) +
                               "\r\nConnection: close\r\n" + headers_ + "\r\n" + body_;
    for (std::size_t sent = 0; sent < answer.size();) {
        const int n = send(client, answer.data() + sent, static_cast<int>(answer.size() - sent), 0);
        if (n <= 0) return;
        sent += static_cast<std::size_t>(n);
    }
    shutdown(client, SD_SEND);
}

}  // namespace ops_test
