#pragma once

#include <winsock2.h>

#include <atomic>
#include <string>

#include "platform/kernel_handle.h"
#include "platform/unique_handle.h"

namespace ops_test {

struct SocketTraits {
    using Handle = SOCKET;
    static Handle Empty() { return INVALID_SOCKET; }
    static void Close(Handle socket) { closesocket(socket); }
};
using Socket = UniqueHandle<SocketTraits>;

// Winsock started for the object's lifetime.
class WinsockSession {
public:
    WinsockSession();
    ~WinsockSession() { WSACleanup(); }
    WinsockSession(const WinsockSession&) = delete;
    WinsockSession& operator=(const WinsockSession&) = delete;
};

// Answers every request on a loopback port with one fixed status and body:
// for answers that no real server of the system gives, such as a body of
// arbitrary bytes. Serves on a thread of its own until it is destroyed.
class CannedHttpServer {
public:
    CannedHttpServer(int status, std::string body);
    ~CannedHttpServer();
    CannedHttpServer(const CannedHttpServer&) = delete;
    CannedHttpServer& operator=(const CannedHttpServer&) = delete;

    // "http://127.0.0.1:PORT/"
    std::string Url() const;

private:
    static DWORD WINAPI ServeThread(void* self);
    void Serve();
    void Answer(SOCKET client) const;

    WinsockSession winsock_;
    int status_;
    std::string body_;
    Socket listener_;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    KernelHandle thread_;
};

}  // namespace ops_test
