#include "core/des_ecb.h"

#include "core/des.h"
#include "core/message_error.h"
#include "core/secure_stream_format.h"
#include "core/secure_stream_messages.h"

namespace {

void TransformGroups(const ByteVector& in, ByteVector& out, const std::string& key,
                     DesKeySchedule::Order order) {
    if (key.size() != kDesGroupSize) throw CMessageError(kDesInvalidKeyLength);
    if (in.empty() || in.size() % kDesGroupSize != 0) throw CMessageError(kDesInvalidDataLength);

    const DesKeySchedule schedule(reinterpret_cast<const unsigned char*>(key.data()), order);
    out.resize(in.size());
    const auto* from = reinterpret_cast<const unsigned char*>(in.data());
    auto* to = reinterpret_cast<unsigned char*>(out.data());
    for (std::size_t at = 0; at < in.size(); at += kDesGroupSize) {
        DesBlock(schedule, from + at, to + at);
    }
}

}  // namespace

void DesEcbDecrypt(const ByteVector& in, ByteVector& out, const std::string& key) {
    TransformGroups(in, out, key, DesKeySchedule::Order::Decrypt);
}

void DesEcbEncrypt(const ByteVector& in, ByteVector& out, const std::string& key) {
    TransformGroups(in, out, key, DesKeySchedule::Order::Encrypt);
}
