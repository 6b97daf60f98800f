#include "http_listener.h"

#include <unistd.h>

CHttpListener::~CHttpListener() {
    if (served_) return;
    const socket_t sock = svr_sock_.exchange(INVALID_SOCKET);
    if (sock != INVALID_SOCKET) ::close(sock);
}

bool CHttpListener::Serve() {
    served_ = true;
    return listen_after_bind();
}
