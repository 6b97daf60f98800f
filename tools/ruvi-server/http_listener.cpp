#include "http_listener.h"

#include <sys/socket.h>
#include <unistd.h>

#include <type_traits>

#include "client_connection.h"
#include "startup_error.h"

namespace {

template <typename Base>
class CListenerOn final : public Base, public CHttpListener {
public:
    template <typename... Arguments>
    explicit CListenerOn(const CConnectionLimits& limits, Arguments&&... arguments)
        : Base(std::forward<Arguments>(arguments)...), limits_(limits) {}
    ~CListenerOn() override {
        if (served_) return;
        const socket_t sock = this->svr_sock_.exchange(INVALID_SOCKET);
        if (sock != INVALID_SOCKET) ::close(sock);
    }

    httplib::Server& Http() override { return *this; }
    int Bind(const std::string& host, int port) override {
        const int bound =
            port == 0 ? this->bind_to_any_port(host) : (this->bind_to_port(host, port) ? port : -1);
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
    // In place of the HTTP layer's own connection loop, whose reads wait up
    // to a time-out each, so a client that sends a byte now and then keeps
    // its worker for as long as it likes.
    bool process_and_close_socket(socket_t sock) override {
        std::unique_ptr<CConnectionTransport> transport;
        if constexpr (std::is_same_v<Base, httplib::SSLServer>) {
            transport = TlsTransport(sock, this->ssl_context());
        } else {
            transport = PlainTransport(sock);
        }
        ServeConnection(
            sock, std::move(transport), limits_,
            [this] { return this->svr_sock_ == INVALID_SOCKET; },
            [this](httplib::Stream& stream, bool lastRequest) {
                bool closed = false;
                return this->process_request(stream, lastRequest, closed, nullptr) && !closed;
            });
        return true;
    }

    const CConnectionLimits limits_;
    bool served_ = false;
};

}  // namespace

std::unique_ptr<CHttpListener> MakeHttpListener(const ServerOptions& options) {
    if (!options.Tls()) return std::make_unique<CListenerOn<httplib::Server>>(options.limits);
    auto listener = std::make_unique<CListenerOn<httplib::SSLServer>>(
        options.limits, options.tlsCertificate.c_str(), options.tlsKey.c_str());
    if (!listener->is_valid()) {
        throw CStartupError("cannot load the TLS certificate " + options.tlsCertificate.string() +
                            " with the key " + options.tlsKey.string());
    }
    return listener;
}
