#include "http_listener.h"

#include <sys/socket.h>
#include <unistd.h>

#include "startup_error.h"

namespace {

template <typename Base>
class CListenerOn final : public Base, public CHttpListener {
public:
    using Base::Base;
    ~CListenerOn() override {
        if (served_) return;
        const socket_t sock = this->svr_sock_.exchange(INVALID_SOCKET);
        if (sock != INVALID_SOCKET) ::close(sock);
    }

    httplib::Server& Http() override { return *this; }
    int Bind(const std::string& host, int port) override {
        const int bound = port == 0 ? this->bind_to_any_port(host)
                                    : (this->bind_to_port(host, port) ? port : -1);
        // The library listens with a backlog of 5: a burst of installers
        // asking at once would see connections refused into the client's
        // SYN retries, and a request delayed past the keep-alive wait.
        // Listening again on a listening socket only deepens its backlog.
        if (bound >= 0 && ::listen(this->svr_sock_, SOMAXCONN) != 0) return -1;
        return bound;
    }
    bool Serve() override {
        served_ = true;
        return this->listen_after_bind();
    }

private:
    bool served_ = false;
};

}  // namespace

std::unique_ptr<CHttpListener> MakeHttpListener(const ServerOptions& options) {
    if (!options.Tls()) return std::make_unique<CListenerOn<httplib::Server>>();
    auto listener = std::make_unique<CListenerOn<httplib::SSLServer>>(
        options.tlsCertificate.c_str(), options.tlsKey.c_str());
    if (!listener->is_valid()) {
        throw CStartupError("cannot load the TLS certificate " + options.tlsCertificate.string() +
                            " with the key " + options.tlsKey.string());
    }
    return listener;
}
