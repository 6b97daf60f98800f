#pragma once

#include <httplib.h>

#include <memory>
#include <string>

#include "server_options.h"

// The server's listening side, plain HTTP or HTTPS. The HTTP layer accepts
// connections and parses requests; each accepted connection is served as a
// CClientConnection within the options' limits (client_connection.h). The
// HTTP layer closes its listening socket only when serving ends; a listener
// also releases a socket that was bound but never served (a server stopped
// before it ran, or given up after binding).
class CHttpListener {
public:
    virtual ~CHttpListener() = default;

    virtual httplib::Server& Http() = 0;
    // Binds host:port (port 0: any free one) and listens with the system's
    // full connection backlog. Returns the port, or -1 with errno set.
    virtual int Bind(const std::string& host, int port) = 0;
    // listen_after_bind; from here on the socket is the library's to close.
    virtual bool Serve() = 0;
};

// HTTPS when the options name a certificate and key, plain HTTP otherwise.
// Throws CStartupError when the certificate or key does not load.
std::unique_ptr<CHttpListener> MakeHttpListener(const ServerOptions& options);
