#pragma once

#include <winsock2.h>

#include <atomic>
#include <mutex>
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

// Answers every request on a loopback port with one fixed status, body and
// extra header lines ("Name: value\r\n"): for answers that no real server
// of the system gives, such as a body of arbitrary bytes or a recorded
// answer played back. Serves on a thread of its own until it is destroyed.
class CannedHttpServer {
public:
    CannedHttpServer(int status, std::string body, std::string headers = "");
    ~CannedHttpServer();
    CannedHttpServer(const CannedHttpServer&) = delete;
    CannedHttpServer& operator=(const CannedHttpServer&) = delete;

    // "http://127.0.0.1:PORT/"
    std::string Url() const;
    // The latest request as it arrived: head and body.
    std::string LastRequest() const;

private:
    static DWORD WINAPI ServeThread(void* self);
    void Serve();
    void Answer(SOCKET client);

    WinsockSession winsock_;
    int status_;
    std::string body_;
    std::string headers_;
    mutable std::mutex requestMutex_;
    std::string lastRequest_;
    Socket listener_;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    KernelHandle thread_;
};

}  // namespace ops_test
