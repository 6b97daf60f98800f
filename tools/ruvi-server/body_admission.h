#pragma once

#include <cstdint>

namespace httplib {
struct Request;
}

// Whether a request's body may be read, judged from its head alone. The
// HTTP layer reads a chunked body, or one without a length, to its end
// whatever its size, and reads past an over-long one byte by byte, all
// before any handler sees the request; so a body the server will not take
// is refused here, unread. Returns 0 when it may be read, or the status to
// answer with:
//   411  a POST with Transfer-Encoding, or without Content-Length
//   400  Content-Length given twice, or not a decimal number
//   413  a POST whose Content-Length is over limit
//   400  a GET or HEAD that announces a body (nothing reads it)
//   405  any other method
int BodyRefusal(const httplib::Request& request, std::uint64_t limit);
