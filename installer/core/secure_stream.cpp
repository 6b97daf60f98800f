#include "core/secure_stream.h"

#include <boost/iostreams/filtering_stream.hpp>

#include <exception>
#include <string>

#include "core/message_error.h"
#include "core/secure_stream_messages.h"
#include "core/stream_failure.h"

namespace {

// The chain's buffer in front of each filter; large enough that the
// filters see whole runs of bytes rather than the library's default few.
constexpr std::streamsize kFilterBufferSize = 4096;
constexpr std::streamsize kReadChunk = 1024;

}  // namespace

void SecureEncrypt(ByteVector& out, const ByteVector& in) {
    try {
        out.clear();
        out.reserve(in.size() + 80);
        boost::iostreams::filtering_ostream stream;
        stream.push(secure_output_filter(), kFilterBufferSize);
        stream.push(basic_vector_sink(&out));
        // Only a complete chain gives the stream a buffer; before that the
        // stream counts as bad.
        stream.exceptions(std::ios_base::badbit);
        stream.write(in.data(), static_cast<std::streamsize>(in.size()));
        // Closing the chain flushes what the stream still buffers, but
        // ignores a failure while doing so; flushing first reports it.
        stream.flush();
        stream.pop();
    } catch (const std::exception& failure) {
        throw CMessageError(kSecureEncryptFailed + FailureText(failure));
    }
}

void SecureDecrypt(const ByteVector& in, ByteVector& out) {
    try {
        boost::iostreams::filtering_istream stream;
        stream.push(secure_input_filter(), kFilterBufferSize);
        stream.push(basic_vector_source(&in));
        stream.exceptions(std::ios_base::badbit);
        char chunk[kReadChunk];
        while (stream.read(chunk, kReadChunk), stream.gcount() > 0) {
            out.insert(out.end(), chunk, chunk + stream.gcount());
        }
    } catch (const std::exception& failure) {
        throw CMessageError(kSecureDecryptFailed + FailureText(failure));
    }
}
