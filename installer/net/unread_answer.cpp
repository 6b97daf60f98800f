#include "net/unread_answer.h"

CUnreadAnswerGuard::CUnreadAnswerGuard(InternetHandle& session, InternetHandle& connection,
                                       InternetHandle& request)
    : session_(session), connection_(connection), request_(request) {}

CUnreadAnswerGuard::~CUnreadAnswerGuard() {
    if (bodyRead_) return;
    // Given up by their owners, on purpose: the process's end closes the
    // socket, and no WinINet call that would read the rest is ever made.
    request_.Release();
    connection_.Release();
    session_.Release();
}
