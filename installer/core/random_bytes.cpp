#ifdef _WIN32
// Must precede every C runtime header so that stdlib.h declares rand_s.
#define _CRT_RAND_S
#include <stdlib.h>
#else
#include <sys/random.h>

#include <cerrno>
#endif

#include <cstring>

#include "core/random_bytes.h"
#include "core/secure_stream_messages.h"
#include "core/stream_failure.h"

void FillRandomBytes(void* buffer, std::size_t size) {
    auto* out = static_cast<unsigned char*>(buffer);
#ifdef _WIN32
    // rand_s draws from the system's cryptographic generator (RtlGenRandom).
    while (size > 0) {
        unsigned int value = 0;
        if (rand_s(&value) != 0) throw CStreamFailure(kRandomSourceUnavailable);
        const std::size_t n = size < sizeof value ? size : sizeof value;
        std::memcpy(out, &value, n);
        out += n;
        size -= n;
    }
#else
    while (size > 0) {
        const ssize_t n = getrandom(out, size, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw CStreamFailure(kRandomSourceUnavailable);
        out += n;
        size -= static_cast<std::size_t>(n);
    }
#endif
}
