#include "core/secure_stream_encoder.h"

#include <algorithm>
#include <cstring>

#include "core/key_carrier.h"
#include "core/random_bytes.h"
#include "core/secure_stream_messages.h"
#include "core/stream_failure.h"

namespace {

std::array<unsigned char, 8> DrawStreamKey() {
    std::array<unsigned char, 8> key;
    FillRandomBytes(key.data(), key.size());
    return key;
}

void SendAll(const SecureStreamEncoder::Sender& send, const unsigned char* bytes,
             std::size_t size) {
    while (size > 0) {
        const std::streamsize taken =
            send(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(size));
        if (taken <= 0) throw CStreamFailure(kStreamSinkRefused);
        bytes += taken;
        size -= static_cast<std::size_t>(taken);
    }
}

}  // namespace

SecureStreamEncoder::SecureStreamEncoder()
    : key_(DrawStreamKey()), schedule_(key_.data(), DesKeySchedule::Order::Encrypt) {}

void SecureStreamEncoder::Write(const char* bytes, std::size_t size, const Sender& send) {
    while (size > 0) {
        const std::size_t taken = std::min(size, kBlockCapacity - fill_);
        std::memcpy(plain_.data() + fill_, bytes, taken);
        fill_ += taken;
        bytes += taken;
        size -= taken;
        if (fill_ == kBlockCapacity) {
            FinishBlock(false);
            SealAndSend(send);
            StartContinuationBlock();
        }
    }
}

void SecureStreamEncoder::Close(const Sender& send) {
    FinishBlock(true);
    AppendEndBlock();
    SealAndSend(send);
    StartContinuationBlock();
}

void SecureStreamEncoder::FinishBlock(bool last) {
    const std::size_t payload = fill_ - headerSize_;
    if (payload == 0 && !InFirstBlock()) {
        // Only the close may find an empty continuation block: the end
        // block then goes alone.
        if (!last) throw CStreamFailure(kStreamEmptyBlock);
        return;
    }
    unsigned char* header = plain_.data() + headerSize_ - kBlockHeaderSize;
    header[0] = static_cast<unsigned char>(payload & 0xFF);
    header[1] = static_cast<unsigned char>(payload >> 8);
    header[2] = BlockChecksum(header, header + kBlockHeaderSize, payload);
}

void SecureStreamEncoder::AppendEndBlock() {
    const bool nothingPending = !InFirstBlock() && fill_ == headerSize_;
    const std::size_t offset =
        nothingPending ? 0
                       : std::max(RoundUpToGroup(fill_), InFirstBlock() ? kMinFirstBlockSize : 0);
    // All filler is random, the first block's up to the key carrier's end as
    // well as the tail of the last group and of the end block; nothing of an
    // earlier block is left in the buffer to be sent again.
    const std::size_t fillerStart = std::min(fill_, offset);
    FillRandomBytes(plain_.data() + fillerStart, offset + kDesGroupSize - fillerStart);
    plain_[offset] = kEndBlockLength & 0xFF;
    plain_[offset + 1] = kEndBlockLength >> 8;
    plain_[offset + 2] = kEndBlockChecksum;
    fill_ = offset + kDesGroupSize;
}

void SecureStreamEncoder::SealAndSend(const Sender& send) {
    // A block is sealed when full or when it holds the end block, so it ends
    // on a group boundary and the first block is never below its minimum.
    for (std::size_t at = 0; at < fill_; at += kDesGroupSize) {
        DesBlock(schedule_, plain_.data() + at, cipher_.data() + at);
    }
    if (InFirstBlock()) HideStreamKey(cipher_.data(), key_.data());
    SendAll(send, cipher_.data(), fill_);
}

void SecureStreamEncoder::StartContinuationBlock() {
    headerSize_ = kBlockHeaderSize;
    fill_ = kBlockHeaderSize;
}
