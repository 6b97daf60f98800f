#include "core/vector_devices.h"

#include <gtest/gtest.h>

#include "stream_test_support.h"

namespace {

TEST(BasicVectorSource, HandsOutTheVectorInPiecesThenReportsItsEnd) {
    const ByteVector bytes = BytesOf("abcdefg");
    basic_vector_source source(&bytes);
    char buffer[4] = {};
    EXPECT_EQ(source.read(buffer, 4), 4);
    EXPECT_EQ(std::string(buffer, 4), "abcd");
    EXPECT_EQ(source.read(buffer, 0), 0);
    EXPECT_EQ(source.read(buffer, 4), 3);
    EXPECT_EQ(std::string(buffer, 3), "efg");
    EXPECT_EQ(source.read(buffer, 4), -1);
    EXPECT_EQ(source.read(buffer, 4), -1);
}

TEST(BasicVectorSource, WithoutVectorOrBytesIsAtItsEnd) {
    char buffer[4] = {};
    basic_vector_source detached;
    EXPECT_EQ(detached.read(buffer, 4), -1);
    const ByteVector empty;
    basic_vector_source source(&empty);
    EXPECT_EQ(source.read(buffer, 4), -1);
}

TEST(BasicVectorSink, AppendsEverythingItIsGiven) {
    ByteVector bytes = BytesOf("ab");
    basic_vector_sink sink(&bytes);
    EXPECT_EQ(sink.write("cde", 3), 3);
    EXPECT_EQ(sink.write("f", 1), 1);
    EXPECT_EQ(bytes, BytesOf("abcdef"));

    basic_vector_sink detached;
    EXPECT_EQ(detached.write("x", 1), 0);
}

}  // namespace
