#pragma once

#include <httplib.h>

// The HTTP layer closes its listening socket only when serving ends; this
// one also releases a socket that was bound but never served (a server
// stopped before it ran, or given up after binding).
class CHttpListener : public httplib::Server {
public:
    CHttpListener() = default;
    ~CHttpListener() override;

    // listen_after_bind; from here on the socket is the library's to close.
    bool Serve();

private:
    bool served_ = false;
};
