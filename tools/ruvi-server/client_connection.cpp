#include "client_connection.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "request_note.h"

namespace {

using Wait = CConnectionTransport::Wait;
using Attempt = CConnectionTransport::Attempt;

constexpr std::size_t kReadBuffer = 16 * 1024;
// How often a wait between requests looks whether the server stops.
constexpr auto kStopCheck = std::chrono::milliseconds(100);
// After an answer that left a body unread: how long and how much of the
// rest the client may still send before the connection goes.
constexpr auto kLingerTime = std::chrono::seconds(1);
constexpr std::size_t kLingerBytes = 256 * 1024;

Attempt SocketAttempt(ssize_t result, Wait wait) {
    if (result >= 0) return {result, Wait::None};
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return {0, wait};
    return {-1, Wait::None};
}

class CPlainTransport final : public CConnectionTransport {
public:
    explicit CPlainTransport(int socket) : socket_(socket) {}

    Attempt Receive(char* buffer, std::size_t size) override {
        return SocketAttempt(::recv(socket_, buffer, size, 0), Wait::Readable);
    }
    Attempt Send(const char* data, std::size_t size) override {
        return SocketAttempt(::send(socket_, data, size, MSG_NOSIGNAL), Wait::Writable);
    }

private:
    const int socket_;
};

class CTlsTransport final : public CConnectionTransport {
public:
    explicit CTlsTransport(SSL* session) : session_(session) {}
    ~CTlsTransport() override { SSL_free(session_); }
    CTlsTransport(const CTlsTransport&) = delete;
    CTlsTransport& operator=(const CTlsTransport&) = delete;

    Attempt Open() override { return Judge(SSL_accept(session_)); }
    Attempt Receive(char* buffer, std::size_t size) override {
        return Judge(
            SSL_read(session_, buffer, static_cast<int>(std::min<std::size_t>(size, kMaxChunk))));
    }
    Attempt Send(const char* data, std::size_t size) override {
        return Judge(
            SSL_write(session_, data, static_cast<int>(std::min<std::size_t>(size, kMaxChunk))));
    }
    void Close() override { SSL_shutdown(session_); }

private:
    static constexpr std::size_t kMaxChunk = 1 << 30;

    Attempt Judge(int result) {
        if (result > 0) return {result, Wait::None};
        switch (SSL_get_error(session_, result)) {
            case SSL_ERROR_WANT_READ:
                return {0, Wait::Readable};
            case SSL_ERROR_WANT_WRITE:
                return {0, Wait::Writable};
            case SSL_ERROR_ZERO_RETURN:
                return {0, Wait::None};
            default:
                return {-1, Wait::None};
        }
    }

    SSL* const session_;
};

std::string NumericHost(const sockaddr_storage& address, socklen_t length, int& port) {
    char host[NI_MAXHOST];
    char service[NI_MAXSERV];
    if (::getnameinfo(reinterpret_cast<const sockaddr*>(&address), length, host, sizeof host,
                      service, sizeof service, NI_NUMERICHOST | NI_NUMERICSERV) != 0) {
        port = -1;
        return {};
    }
    port = std::atoi(service);
    return host;
}

}  // namespace

std::unique_ptr<CConnectionTransport> PlainTransport(int socket) {
    return std::make_unique<CPlainTransport>(socket);
}

std::unique_ptr<CConnectionTransport> TlsTransport(int socket, SSL_CTX* context) {
    SSL* session = SSL_new(context);
    if (session == nullptr) return nullptr;
    auto transport = std::make_unique<CTlsTransport>(session);
    if (SSL_set_fd(session, socket) != 1) return nullptr;
    return transport;
}

CClientConnection::CClientConnection(int socket, std::unique_ptr<CConnectionTransport> transport,
                                     const CConnectionLimits& limits)
    : socket_(socket),
      transport_(std::move(transport)),
      limits_(limits),
      head_(limits.headBytes),
      buffer_(kReadBuffer) {
    ::fcntl(socket_, F_SETFL, ::fcntl(socket_, F_GETFL) | O_NONBLOCK);
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getpeername(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        peer_ = NumericHost(address, length, peerPort_);
    }
}

bool CClientConnection::Open() {
    const Clock::time_point deadline = Clock::now() + limits_.requestDeadline;
    while (true) {
        const Attempt attempt = transport_->Open();
        if (attempt.bytes > 0) return true;
        if (attempt.wait == Wait::None || !Await(attempt.wait, deadline)) return false;
    }
}

bool CClientConnection::AwaitRequest(const std::function<bool()>& stopping) {
    if (bufferStart_ < bufferEnd_) return true;  // the client sent it already
    const Clock::time_point end = Clock::now() + limits_.keepAlive;
    while (!stopping()) {
        const Clock::time_point now = Clock::now();
        if (now >= end) return false;
        if (Await(Wait::Readable, std::min(end, now + kStopCheck))) return true;
    }
    return false;
}

void CClientConnection::BeginRequest() {
    requestDeadline_ = Clock::now() + limits_.requestDeadline;
    head_ = CRequestHeadFilter(limits_.headBytes);
    headEnded_ = false;
    passed_.clear();
    passedRead_ = 0;
}

void CClientConnection::Close(bool clientMaySend) {
    transport_->Close();
    if (!clientMaySend) return;
    ::shutdown(socket_, SHUT_WR);
    const Clock::time_point deadline = Clock::now() + kLingerTime;
    std::size_t discarded = 0;
    char sink[4096];
    while (discarded < kLingerBytes && Await(Wait::Readable, deadline)) {
        const ssize_t got = ::recv(socket_, sink, sizeof sink, 0);
        if (got <= 0 && !(got < 0 && (errno == EAGAIN || errno == EINTR))) return;
        if (got > 0) discarded += static_cast<std::size_t>(got);
    }
}

// A wait that ends with the connection hung up or broken counts as ready:
// the next attempt finds out which.
bool CClientConnection::Await(Wait wait, Clock::time_point deadline) const {
    pollfd entry{socket_, static_cast<short>(wait == Wait::Writable ? POLLOUT : POLLIN), 0};
    while (true) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return false;
        const int ready = ::poll(&entry, 1, static_cast<int>(left.count()));
        if (ready > 0) return true;
        if (ready == 0 || errno != EINTR) return false;
    }
}

bool CClientConnection::Fill() {
    bufferStart_ = bufferEnd_ = 0;
    while (true) {
        const Attempt attempt = transport_->Receive(buffer_.data(), buffer_.size());
        if (attempt.bytes > 0) {
            bufferEnd_ = static_cast<std::size_t>(attempt.bytes);
            return true;
        }
        if (attempt.wait == Wait::None || !Await(attempt.wait, requestDeadline_)) return false;
    }
}

// Feeds buffered bytes through the head filter until some pass on.
bool CClientConnection::PassHeadBytes() {
    passed_.clear();
    passedRead_ = 0;
    while (passed_.empty()) {
        if (bufferStart_ == bufferEnd_ && !Fill()) return false;
        while (bufferStart_ < bufferEnd_ && passed_.empty()) {
            switch (head_.Take(buffer_[bufferStart_++], passed_)) {
                case CRequestHeadFilter::Step::TooLong:
                    return false;
                case CRequestHeadFilter::Step::Ended:
                    headEnded_ = true;
                    break;
                case CRequestHeadFilter::Step::Going:
                    break;
            }
        }
    }
    return true;
}

ssize_t CClientConnection::read(char* ptr, size_t size) {
    const ssize_t count = size == 0 ? 0 : ReadBuffered(ptr, size);
    if (count < 0) broken_ = true;
    return count;
}

ssize_t CClientConnection::ReadBuffered(char* ptr, std::size_t size) {
    if (passedRead_ == passed_.size() && !headEnded_ && !PassHeadBytes()) return -1;
    if (passedRead_ < passed_.size()) {
        const std::size_t count = std::min(size, passed_.size() - passedRead_);
        std::memcpy(ptr, passed_.data() + passedRead_, count);
        passedRead_ += count;
        return static_cast<ssize_t>(count);
    }
    if (bufferStart_ == bufferEnd_ && !Fill()) return -1;
    const std::size_t count = std::min(size, bufferEnd_ - bufferStart_);
    std::memcpy(ptr, buffer_.data() + bufferStart_, count);
    bufferStart_ += count;
    return static_cast<ssize_t>(count);
}

ssize_t CClientConnection::write(const char* ptr, size_t size) {
    while (true) {
        const Attempt attempt = transport_->Send(ptr, size);
        if (attempt.bytes > 0) return attempt.bytes;
        if (attempt.wait == Wait::None ||
            !Await(attempt.wait, Clock::now() + limits_.sendTimeout)) {
            return -1;
        }
    }
}

bool CClientConnection::is_readable() const {
    return passedRead_ < passed_.size() || bufferStart_ < bufferEnd_ ||
           Await(Wait::Readable, requestDeadline_);
}

bool CClientConnection::is_writable() const {
    return Await(Wait::Writable, Clock::now() + limits_.sendTimeout);
}

void CClientConnection::get_remote_ip_and_port(std::string& ip, int& port) const {
    ip = peer_;
    port = peerPort_;
}

void CClientConnection::get_local_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    ip = ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0
             ? NumericHost(address, length, port)
             : std::string();
}

void ServeConnection(int socket, std::unique_ptr<CConnectionTransport> transport,
                     const CConnectionLimits& limits, const std::function<bool()>& stopping,
                     const RequestServer& serve) {
    if (transport) {
        CClientConnection connection(socket, std::move(transport), limits);
        bool bodyLeftUnread = false;
        if (connection.Open()) {
            for (std::size_t served = 1; served <= limits.requestsPerConnection; ++served) {
                if (stopping() || !connection.AwaitRequest(stopping)) break;
                connection.BeginRequest();
                CRequestNote& note = CRequestNote::Current();
                note = CRequestNote{};
                note.start = std::chrono::steady_clock::now();
                note.peer = connection.Peer();
                note.head = &connection.Head();
                const bool goOn = serve(connection, served == limits.requestsPerConnection);
                bodyLeftUnread = note.bodyLeftUnread;
                note = CRequestNote{};
                if (!goOn || bodyLeftUnread || connection.Broken()) break;
            }
        }
        connection.Close(bodyLeftUnread);
    }
    ::shutdown(socket, SHUT_RDWR);
    ::close(socket);
}
