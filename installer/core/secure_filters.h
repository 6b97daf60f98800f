#pragma once

#include <boost/iostreams/categories.hpp>
#include <boost/iostreams/operations.hpp>

#include <ios>
#include <memory>

#include "core/secure_stream_decoder.h"
#include "core/secure_stream_encoder.h"

// The secure stream as Boost.Iostreams filters. Both raise
// std::ios_base::failure (as CStreamFailure) with the stream's short texts.
// Copies of a filter share one stream's state, as a chain keeps its own copy;
// a filter serves one stream and is not reused.

// Encodes everything written through it; close appends the end block.
class secure_output_filter {
public:
    typedef char char_type;
    struct category : boost::iostreams::output_filter_tag,
                      boost::iostreams::multichar_tag,
                      boost::iostreams::closable_tag {};

    secure_output_filter() : encoder_(std::make_shared<SecureStreamEncoder>()) {}

    // Takes all n bytes, sending each block to sink as it fills.
    template <typename Sink>
    std::streamsize write(Sink& sink, const char* bytes, std::streamsize n) {
        if (n > 0) encoder_->Write(bytes, static_cast<std::size_t>(n), SenderFor(sink));
        return n;
    }

    // Finishes the last block, appends the end block and sends the rest.
    template <typename Sink>
    void close(Sink& sink) {
        encoder_->Close(SenderFor(sink));
    }

private:
    template <typename Sink>
    static SecureStreamEncoder::Sender SenderFor(Sink& sink) {
        return [&sink](const char* bytes, std::streamsize n) {
            return boost::iostreams::write(sink, bytes, n);
        };
    }

    std::shared_ptr<SecureStreamEncoder> encoder_;
};

// Delivers the payload of the secure stream read from its source.
class secure_input_filter {
public:
    typedef char char_type;
    struct category : boost::iostreams::input_filter_tag, boost::iostreams::multichar_tag {};

    secure_input_filter() : decoder_(std::make_shared<SecureStreamDecoder>()) {}

    // The number of payload bytes delivered (up to n), or -1 once the end
    // block has been read and the source is exhausted.
    template <typename Source>
    std::streamsize read(Source& source, char* buffer, std::streamsize n) {
        return decoder_->Read(buffer, n, [&source](char* bytes, std::streamsize room) {
            return boost::iostreams::read(source, bytes, room);
        });
    }

private:
    std::shared_ptr<SecureStreamDecoder> decoder_;
};
