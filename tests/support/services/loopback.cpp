#include "loopback.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>

namespace {

class Socket {
public:
    Socket() : fd_(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        if (fd_ < 0) throw std::runtime_error("cannot create a socket");
    }
    ~Socket() { close(fd_); }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    int Fd() const { return fd_; }

private:
    int fd_;
};

sockaddr_in LoopbackAddress(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    return address;
}

}  // namespace

int FreeLoopbackPort() {
    Socket probe;
    sockaddr_in address = LoopbackAddress(0);
    socklen_t length = sizeof address;
    if (bind(probe.Fd(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(probe.Fd(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("cannot find a free loopback port");
    }
    return ntohs(address.sin_port);
}

bool AcceptsConnections(int port) {
    Socket probe;
    const sockaddr_in address = LoopbackAddress(port);
    return connect(probe.Fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

bool WaitUntil(std::chrono::milliseconds limit, const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}
