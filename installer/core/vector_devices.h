#pragma once

#include <boost/iostreams/categories.hpp>

#include <cstddef>
#include <ios>

#include "core/byte_vector.h"

// Boost.Iostreams devices over byte vectors in memory. Neither owns its
// vector, which must outlive the device.

// Reads the vector from the start.
class basic_vector_source {
public:
    typedef char char_type;
    typedef boost::iostreams::source_tag category;

    explicit basic_vector_source(const ByteVector* vector = nullptr) : vector_(vector) {}

    // Copies min(n, remaining) bytes; -1 when nothing remains or no vector
    // is attached.
    std::streamsize read(char* buffer, std::streamsize n);

private:
    const ByteVector* vector_;
    std::size_t position_ = 0;
};

// Appends to the vector.
class basic_vector_sink {
public:
    typedef char char_type;
    typedef boost::iostreams::sink_tag category;

    explicit basic_vector_sink(ByteVector* vector = nullptr) : vector_(vector) {}

    // Appends all n bytes and returns n; 0 when no vector is attached.
    std::streamsize write(const char* bytes, std::streamsize n);

private:
    ByteVector* vector_;
};
