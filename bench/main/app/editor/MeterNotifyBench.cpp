// One meter notification of a component with 1024 meter bytes (two arrays of 512), built from its
// meter table and encoded to the line the editor link sends, as the editor-link thread does for
// each registered component every 60 ms; against nlohmann::json building and dumping an array of
// the same 1024 {index, value} objects from the same bytes, in the same run.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include <nlohmann/json.hpp>

#include "dravo/manager/dravo_MeterPool.h"
#include "editor/PacketContainer.h"
#include "editor/PacketConvcertor.h"
#include "editor/VDProtocolDefine.h"
#include "editor/VDProtocolExecutor.h"
#include "parray/ArrayInfo.h"

namespace {

constexpr uint32_t kBytesPerArray = 512;
const PARRAY::ArrayInfo kMeters[] = {{PARRAY::kTypeUINT8, kBytesPerArray, 0, 0, "level"},
                                     {PARRAY::kTypeUINT8, kBytesPerArray, 0, 0, "gr"}};

// A pool whose normal bytes run through every value.
DRAVO::MeterPool& pool()
{
    static DRAVO::MeterPool* p = [] {
        auto* made = new DRAVO::MeterPool;
        if (made->initialize(kMeters, 2, 0, 1, 1, DRAVO::MeterPool::kDefaultReleaseStep,
                             DRAVO::MeterPool::kDefaultHoldTimeMs) != 0) {
            std::abort();  // the pool is the point of this benchmark
        }
        for (uint32_t id = 0; id < 2; ++id) {
            void* data = nullptr;
            uint32_t size = 0;
            if (made->normalMeterArrayAccessor().getArrayPointer(data, size, id) != 0) std::abort();
            for (uint32_t i = 0; i < size; ++i) static_cast<uint8_t*>(data)[i] = static_cast<uint8_t>(i * 7 + id);
        }
        return made;
    }();
    return *p;
}

void BM_MeterNotificationLine(benchmark::State& state)
{
    const PARRAY::ArrayAccessorForServer& table = pool().normalMeterArrayAccessor();
    std::string line;
    for (auto _ : state) {
        VDProtocol::PacketContainer packet;
        if (VDevice::VDProtocolExecutor::buildMeterNotify(packet, "AudioCompo/#5", table) != 0) std::abort();
        // What the executor adds before the line is encoded.
        (void)packet.setCategory(VDProtocol::COM_NOTIFY);
        (void)packet.setFrom("dev01");
        if (VDProtocol::PacketConvcertor::Encode_VDProtocol(line, packet) != 0) std::abort();
        benchmark::DoNotOptimize(line.data());
    }
    state.counters["bytes"] = static_cast<double>(line.size());
}
BENCHMARK(BM_MeterNotificationLine)->Unit(benchmark::kMicrosecond);

void BM_JsonArrayOfTheSameObjects(benchmark::State& state)
{
    const PARRAY::ArrayAccessorForServer& table = pool().normalMeterArrayAccessor();
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string line;
    for (auto _ : state) {
        nlohmann::json list = nlohmann::json::array();
        for (uint32_t id = 0; id < table.arrayIDNum(); ++id) {
            void* data = nullptr;
            uint32_t size = 0;
            if (table.getArrayPointer(data, size, id) != 0) std::abort();
            const auto* bytes = static_cast<const uint8_t*>(data);
            for (uint32_t i = 0; i < size; ++i) {
                const std::string value{kDigits[bytes[i] >> 4], kDigits[bytes[i] & 0x0F]};
                list.push_back({{"index", i}, {"value", value}});
            }
        }
        line = list.dump();
        benchmark::DoNotOptimize(line.data());
    }
    state.counters["bytes"] = static_cast<double>(line.size());
}
BENCHMARK(BM_JsonArrayOfTheSameObjects)->Unit(benchmark::kMicrosecond);

// The dump alone of an array built once: the floor of any line of these objects.
void BM_JsonDumpOfABuiltArray(benchmark::State& state)
{
    nlohmann::json list = nlohmann::json::array();
    for (uint32_t i = 0; i < 2 * kBytesPerArray; ++i) list.push_back({{"index", i % kBytesPerArray}, {"value", "C8"}});
    std::string line;
    for (auto _ : state) {
        line = list.dump();
        benchmark::DoNotOptimize(line.data());
    }
}
BENCHMARK(BM_JsonDumpOfABuiltArray)->Unit(benchmark::kMicrosecond);

}  // namespace
