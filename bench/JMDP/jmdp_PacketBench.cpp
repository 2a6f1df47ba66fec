// A full meter packet (30 blocks of 36 values) built with the meter buffer and walked by the
// client's decoder, each beside the plain byte work it cannot avoid: copying the same bytes. The
// figures that matter are the ratios to those baselines in the same run.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "JMDP/jmdp_Client.h"
#include "JMDP/jmdp_MeterBuffer.h"

namespace {

constexpr uint32_t kBlocks = 30;
constexpr uint32_t kValues = 36;
const JMDP::SendProductId kDevice(192, 168, 0, 10, 0, 0, 0, 0);

const std::vector<uint8_t>& values()
{
    static const std::vector<uint8_t> v = [] {
        std::vector<uint8_t> bytes(kValues);
        for (uint32_t i = 0; i < kValues; ++i) bytes[i] = static_cast<uint8_t>(i * 7);
        return bytes;
    }();
    return v;
}

void fill(JMDP::MeterBuffer& buffer)
{
    (void)buffer.clearAllBlocks(true);  // always 0
    const uint8_t* bytes = values().data();
    for (uint32_t i = 0; i < kBlocks; ++i) {
        if (buffer.addBlock(0, JMDP::MeterId(1, 0, static_cast<uint8_t>(i)), bytes, i * kValues, kValues, false) != 0) {
            std::abort();  // the packet is sized to hold every block
        }
    }
}

std::vector<uint8_t> fullPacket()
{
    JMDP::MeterBuffer buffer;
    if (buffer.initialize(kDevice, "PRCS", JMDP::kPacketMax) != 0) std::abort();
    fill(buffer);
    return std::vector<uint8_t>(buffer.buffPointer(), buffer.buffPointer() + buffer.size());
}

class SummingAccessor : public JMDP::IClientMeterDataAccessor {
public:
    JLIB::JResult decodeMeterPacket(const JMDP::MeterDataBlockHeaderEx&, const uint8_t* values, uint32_t size) override
    {
        for (uint32_t i = 0; i < size; ++i) sum += values[i];
        return 0;
    }
    uint32_t sum = 0;
};

void BM_DecodeFullPacket(benchmark::State& state)
{
    const std::vector<uint8_t> packet = fullPacket();
    SummingAccessor accessor;
    for (auto _ : state) {
        const JLIB::JResult r =
            JMDP::decodeMeterDatagram(packet.data(), static_cast<uint32_t>(packet.size()), kDevice, "PRCS", &accessor);
        benchmark::DoNotOptimize(r);
    }
    benchmark::DoNotOptimize(accessor.sum);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * packet.size()));
}
BENCHMARK(BM_DecodeFullPacket);

// Baseline: copy the datagram once and sum its values, as a decoder that copies would at least.
void BM_CopyAndSumBaseline(benchmark::State& state)
{
    const std::vector<uint8_t> packet = fullPacket();
    std::vector<uint8_t> copy(packet.size());
    uint32_t sum = 0;
    for (auto _ : state) {
        std::memcpy(copy.data(), packet.data(), packet.size());
        benchmark::ClobberMemory();
        for (size_t i = JMDP::kPacketHeaderSize; i < copy.size(); ++i) sum += copy[i];
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * packet.size()));
}
BENCHMARK(BM_CopyAndSumBaseline);

void BM_FillPacket(benchmark::State& state)
{
    JMDP::MeterBuffer buffer;
    if (buffer.initialize(kDevice, "PRCS", JMDP::kPacketMax) != 0) std::abort();
    for (auto _ : state) {
        fill(buffer);
        benchmark::DoNotOptimize(buffer.buffPointer());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * buffer.size()));
}
BENCHMARK(BM_FillPacket);

// Baseline: the same header and value bytes copied into a plain buffer.
void BM_FillBaseline(benchmark::State& state)
{
    const std::vector<uint8_t> packet = fullPacket();
    std::vector<uint8_t> out(JMDP::kPacketMax);
    for (auto _ : state) {
        size_t at = JMDP::kPacketHeaderSize;
        for (uint32_t i = 0; i < kBlocks; ++i) {
            std::memcpy(out.data() + at, packet.data() + at, JMDP::kBlockHeaderSize);
            at += JMDP::kBlockHeaderSize;
            std::memcpy(out.data() + at, values().data(), kValues);
            at += kValues;
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * packet.size()));
}
BENCHMARK(BM_FillBaseline);

}  // namespace
