#include "core/secure_stream_decoder.h"

#include <algorithm>
#include <cstring>

#include "core/key_carrier.h"
#include "core/secure_stream_messages.h"
#include "core/stream_failure.h"

namespace {

// A truncated stream is told from a slow source by asking again this often.
constexpr int kEndReportsBeforeFailure = 6;

}  // namespace

std::streamsize SecureStreamDecoder::Read(char* buffer, std::streamsize size,
                                          const Receiver& receive) {
    if (size < 0) throw CStreamFailure(kStreamNegativeRead);
    std::streamsize copied = 0;
    while (copied < size) {
        if (readPosition_ >= payloadEnd_) {
            if (endOfData_) break;
            ParseNextBlock(receive);
            continue;
        }
        const auto count =
            std::min(size - copied, static_cast<std::streamsize>(payloadEnd_ - readPosition_));
        std::memcpy(buffer + copied, plain_.data() + readPosition_,
                    static_cast<std::size_t>(count));
        copied += count;
        readPosition_ += static_cast<std::size_t>(count);
    }
    return copied > 0 || size == 0 ? copied : -1;
}

void SecureStreamDecoder::ParseNextBlock(const Receiver& receive) {
    payloadEnd_ = 0;
    readPosition_ = headerSize_;
    if (!schedule_) ExtractKey(receive);

    // The header group sits where the header does: after the first block's
    // reserved group, at the very start of every later block.
    const std::size_t start = headerSize_ - kBlockHeaderSize;
    while (!endOfData_) {
        if (rawFill_ < start + kDesGroupSize) {
            ReceiveMore(receive);
            continue;
        }
        if (payloadLength_ < 0) {
            DesBlock(*schedule_, raw_.data() + start, plain_.data() + start);
            payloadLength_ = plain_[start] | plain_[start + 1] << 8;
        }
        if (payloadLength_ == kEndBlockLength) {
            endBlockSeen_ = true;
            DropBlock(start + kDesGroupSize);
            return;
        }
        const auto length = static_cast<std::size_t>(payloadLength_);
        if (length > kBlockLimit - headerSize_) throw CStreamFailure(kStreamLengthTooLarge);

        // The first block reaches at least to the end of the key carrier.
        const std::size_t end = std::max(start + RoundUpToGroup(kBlockHeaderSize + length),
                                         start == 0 ? 0 : kMinFirstBlockSize);
        if (rawFill_ < end) {
            ReceiveMore(receive);
            continue;
        }
        for (std::size_t at = start + kDesGroupSize; at < end; at += kDesGroupSize) {
            DesBlock(*schedule_, raw_.data() + at, plain_.data() + at);
        }
        if (BlockChecksum(plain_.data() + start, plain_.data() + headerSize_, length) !=
            plain_[start + 2]) {
            throw CStreamFailure(kStreamChecksumFail);
        }
        payloadEnd_ = headerSize_ + length;
        DropBlock(end);
        return;
    }
}

void SecureStreamDecoder::ExtractKey(const Receiver& receive) {
    while (rawFill_ < kMinFirstBlockSize) ReceiveMore(receive);
    unsigned char key[8];
    RecoverStreamKey(raw_.data(), key);
    schedule_.emplace(key, DesKeySchedule::Order::Decrypt);
}

void SecureStreamDecoder::ReceiveMore(const Receiver& receive) {
    const std::streamsize received = receive(reinterpret_cast<char*>(raw_.data() + rawFill_),
                                             static_cast<std::streamsize>(kBufferSize - rawFill_));
    if (received > 0) {
        rawFill_ += static_cast<std::size_t>(received);
        endReports_ = 0;
        return;
    }
    // Any answer without data counts as an end report, so a source that
    // never delivers cannot hold the decoder in a loop.
    if (endBlockSeen_) {
        endOfData_ = true;
        return;
    }
    if (++endReports_ >= kEndReportsBeforeFailure) throw CStreamFailure(kStreamBroken);
}

void SecureStreamDecoder::DropBlock(std::size_t consumed) {
    if (consumed > rawFill_) throw CStreamFailure(kStreamOverConsumed);
    std::memmove(raw_.data(), raw_.data() + consumed, rawFill_ - consumed);
    rawFill_ -= consumed;
    headerSize_ = kBlockHeaderSize;
    payloadLength_ = -1;
}
