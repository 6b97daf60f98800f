#pragma once

#include "platform/internet_handle.h"

// The handles of an exchange whose answer the installer may give up on
// before its end: too large, longer than declared, refused by its sink, the
// wrong status, a failed check.
//
// Closing such a request costs more than what was read of it. Wine's WinINet
// reads the rest of the announced body before it lets a request go, to keep
// the connection for another one (HTTPREQ_CloseConnection calls
// drain_content, which reads on while the socket has data and the announced
// length is not reached); a server that sends as fast as it is read keeps it
// reading without end, and the installer with it. Closing the connection or
// the session first ends in the same drain, and WinINet does not hand out
// its socket. So the handles of an answer given up on are never closed:
// nothing reads from the connection any more, the server's sending stops
// once the buffers in between are full, and the connection ends with the
// process. On Windows the same is sound: the handles stay valid, unread.
class CUnreadAnswerGuard {
public:
    // Takes over the three handles once the request has been sent.
    CUnreadAnswerGuard(InternetHandle& session, InternetHandle& connection,
                       InternetHandle& request);
    // Leaves them open for good unless the body was read to its end.
    ~CUnreadAnswerGuard();
    CUnreadAnswerGuard(const CUnreadAnswerGuard&) = delete;
    CUnreadAnswerGuard& operator=(const CUnreadAnswerGuard&) = delete;

    // Nothing of the answer is left to read: the handles may close.
    void BodyRead() { bodyRead_ = true; }

private:
    InternetHandle& session_;
    InternetHandle& connection_;
    InternetHandle& request_;
    bool bodyRead_ = false;
};
