#pragma once

#include <httplib.h>
#include <openssl/ssl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "connection_limits.h"
#include "request_head_filter.h"

// How bytes cross a client connection whose socket does not block: as they
// are, or through TLS. An attempt moves bytes (bytes > 0), finds the
// connection ended or broken (bytes <= 0, no wait), or has to wait until the
// socket is readable or writable and be made again.
class CConnectionTransport {
public:
    enum class Wait { None, Readable, Writable };
    struct Attempt {
        long bytes = 0;
        Wait wait = Wait::None;
    };

    virtual ~CConnectionTransport() = default;
    // The TLS handshake; bytes > 0 once done.
    virtual Attempt Open() { return {1, Wait::None}; }
    virtual Attempt Receive(char* buffer, std::size_t size) = 0;
    virtual Attempt Send(const char* data, std::size_t size) = 0;
    // Tells the client that nothing more comes (TLS close_notify).
    virtual void Close() {}
};

std::unique_ptr<CConnectionTransport> PlainTransport(int socket);
// Null when the TLS session cannot be made.
std::unique_ptr<CConnectionTransport> TlsTransport(int socket, SSL_CTX* context);

// One client connection as the HTTP layer reads and writes it, within the
// connection's limits: a request's head and body are read before its
// deadline, however steadily they trickle; a write waits for the client at
// most the send timeout; the head passes through a CRequestHeadFilter.
class CClientConnection final : public httplib::Stream {
public:
    CClientConnection(int socket, std::unique_ptr<CConnectionTransport> transport,
                      const CConnectionLimits& limits);

    // The TLS handshake, within one request deadline.
    bool Open();
    // Waits at most the keep-alive time for the next request's first byte;
    // gives up early once stopping() says so.
    bool AwaitRequest(const std::function<bool()>& stopping);
    // The next request begins: its deadline runs from now.
    void BeginRequest();
    const CRequestHeadFilter& Head() const { return head_; }
    // A read of this request failed: it ran past its deadline, its head was
    // too long, or the client left. Whatever follows on the connection is
    // no request.
    bool Broken() const { return broken_; }
    const std::string& Peer() const { return peer_; }
    // Ends the connection. When the client may still be sending (a body left
    // unread), its bytes are let run out for a moment first: closing a
    // socket with bytes unread resets the connection, which can take the
    // answer the client has not read yet with it.
    void Close(bool clientMaySend);

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    ssize_t write(const char* ptr, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override { return socket_; }

private:
    using Clock = std::chrono::steady_clock;

    bool Await(CConnectionTransport::Wait wait, Clock::time_point deadline) const;
    bool Fill();
    bool PassHeadBytes();
    ssize_t ReadBuffered(char* ptr, std::size_t size);

    const int socket_;
    const std::unique_ptr<CConnectionTransport> transport_;
    const CConnectionLimits& limits_;
    std::string peer_;
    int peerPort_ = -1;
    Clock::time_point requestDeadline_;
    bool broken_ = false;
    CRequestHeadFilter head_;
    bool headEnded_ = false;
    std::string passed_;  // head bytes the filter let through, not yet read
    std::size_t passedRead_ = 0;
    std::vector<char> buffer_;
    std::size_t bufferStart_ = 0;
    std::size_t bufferEnd_ = 0;
};

// Serves one request on the connection: true when the connection may carry
// another one. (The HTTP layer's process_request, with its last-request
// flag.)
using RequestServer = std::function<bool(httplib::Stream& stream, bool lastRequest)>;

// Serves the requests of one accepted connection in turn, then closes the
// socket. Each request's CRequestNote is begun here.
void ServeConnection(int socket, std::unique_ptr<CConnectionTransport> transport,
                     const CConnectionLimits& limits, const std::function<bool()>& stopping,
                     const RequestServer& serve);
