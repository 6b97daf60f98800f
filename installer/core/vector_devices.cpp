#include "core/vector_devices.h"

#include <algorithm>
#include <cstring>

std::streamsize basic_vector_source::read(char* buffer, std::streamsize n) {
    if (vector_ == nullptr || position_ >= vector_->size()) return -1;
    if (n <= 0) return 0;
    const std::size_t count = std::min(static_cast<std::size_t>(n), vector_->size() - position_);
    std::memcpy(buffer, vector_->data() + position_, count);
    position_ += count;
    return static_cast<std::streamsize>(count);
}

std::streamsize basic_vector_sink::write(const char* bytes, std::streamsize n) {
    if (vector_ == nullptr || n <= 0) return 0;
    vector_->insert(vector_->end(), bytes, bytes + n);
    return n;
}
