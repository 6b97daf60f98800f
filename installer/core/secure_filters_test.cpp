#include "core/secure_filters.h"

#include <gtest/gtest.h>

#include <boost/iostreams/operations.hpp>

#include <string>

#include "core/secure_stream.h"
#include "core/stream_failure.h"
#include "core/vector_devices.h"
#include "stream_test_support.h"

namespace {

// Hands out one byte per read, reporting the end of data `gaps` times before
// each byte, as a slow or stalling source would.
class TrickleSource {
public:
    typedef char char_type;
    typedef boost::iostreams::source_tag category;

    TrickleSource(const ByteVector& bytes, int gaps) : bytes_(&bytes), gaps_(gaps) {}

    std::streamsize read(char* buffer, std::streamsize n) {
        if (n <= 0) return 0;
        if (position_ >= bytes_->size() || gapsLeft_-- > 0) return -1;
        gapsLeft_ = gaps_;
        *buffer = (*bytes_)[position_++];
        return 1;
    }

private:
    const ByteVector* bytes_;
    int gaps_;
    int gapsLeft_ = 0;
    std::size_t position_ = 0;
};

template <typename Source>
ByteVector ReadAll(secure_input_filter& filter, Source& source) {
    ByteVector payload;
    char chunk[100];
    for (;;) {
        const std::streamsize n = filter.read(source, chunk, sizeof chunk);
        if (n < 0) return payload;
        payload.insert(payload.end(), chunk, chunk + n);
    }
}

std::string FailureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const CStreamFailure& failure) {
        return failure.Text();
    }
    return "(no failure)";
}

TEST(SecureInputFilter, DecodesFromASourceThatDeliversByteByByte) {
    const ByteVector payload = PatternBytes(16373 + 40, 11);
    ByteVector stream;
    SecureEncrypt(stream, payload);

    for (const int gaps : {0, 5}) {
        SCOPED_TRACE(gaps);
        TrickleSource source(stream, gaps);
        secure_input_filter filter;
        EXPECT_EQ(ReadAll(filter, source), payload);
    }
}

TEST(SecureInputFilter, SixEndReportsInARowBreakTheStream) {
    ByteVector stream;
    SecureEncrypt(stream, BytesOf("hello"));
    TrickleSource source(stream, 6);
    secure_input_filter filter;
    EXPECT_EQ(FailureOf([&] { ReadAll(filter, source); }), "Integrality of the stream is broken");
}

TEST(SecureInputFilter, ZeroRequestReadsNothingAndNegativeIsRefused) {
    ByteVector stream;
    SecureEncrypt(stream, BytesOf("hello"));
    basic_vector_source source(&stream);
    secure_input_filter filter;
    char byte = 0;
    EXPECT_EQ(filter.read(source, &byte, 0), 0);
    EXPECT_EQ(FailureOf([&] { filter.read(source, &byte, -1); }), "decrypt fault. No. 202");
    EXPECT_EQ(ReadAll(filter, source), BytesOf("hello"));
    EXPECT_EQ(filter.read(source, &byte, 1), -1);
}

TEST(SecureOutputFilter, SealsTheSameStreamWhateverTheWriteSizes) {
    const ByteVector payload = PatternBytes(40000, 12);
    for (const std::size_t step : {1u, 7u, 16384u, 40000u}) {
        SCOPED_TRACE(step);
        ByteVector stream;
        basic_vector_sink sink(&stream);
        secure_output_filter filter;
        for (std::size_t at = 0; at < payload.size(); at += step) {
            const auto n = static_cast<std::streamsize>(std::min(step, payload.size() - at));
            ASSERT_EQ(filter.write(sink, payload.data() + at, n), n);
        }
        filter.close(sink);
        EXPECT_EQ(stream.size(), 16384u + 16384u + 7264u);
        ByteVector decoded;
        SecureDecrypt(stream, decoded);
        EXPECT_EQ(decoded, payload);
    }
}

TEST(SecureOutputFilter, ReportsASinkThatTakesNothing) {
    basic_vector_sink detached;
    secure_output_filter filter;
    EXPECT_EQ(filter.write(detached, "hello", 5), 5);
    EXPECT_EQ(FailureOf([&] { filter.close(detached); }), "encrypt fail. The sink takes no data");
}

}  // namespace
