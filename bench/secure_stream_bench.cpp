// Throughput of the two codecs on a small body (a request or a response
// document) and on a large one.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>

#include "core/secure_stream.h"

namespace {

const std::string kKey = "8bytekey";

ByteVector Payload(std::int64_t size) {
    std::mt19937 generator(static_cast<std::uint32_t>(size));
    ByteVector bytes(static_cast<std::size_t>(size));
    for (char& byte : bytes) byte = static_cast<char>(generator());
    return bytes;
}

void BM_SecureEncrypt(benchmark::State& state) {
    const ByteVector payload = Payload(state.range(0));
    ByteVector stream;
    for (auto _ : state) {
        SecureEncrypt(stream, payload);
        benchmark::DoNotOptimize(stream.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_SecureDecrypt(benchmark::State& state) {
    ByteVector stream;
    SecureEncrypt(stream, Payload(state.range(0)));
    for (auto _ : state) {
        ByteVector payload;
        SecureDecrypt(stream, payload);
        benchmark::DoNotOptimize(payload.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_DesEcbDecrypt(benchmark::State& state) {
    const ByteVector cipher = Payload(state.range(0));
    ByteVector plain;
    for (auto _ : state) {
        DesEcbDecrypt(cipher, plain, kKey);
        benchmark::DoNotOptimize(plain.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_SecureEncrypt)->Arg(4 << 10)->Arg(4 << 20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SecureDecrypt)->Arg(4 << 10)->Arg(4 << 20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DesEcbDecrypt)->Arg(4 << 10)->Arg(4 << 20)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
