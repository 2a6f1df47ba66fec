// Feeds arbitrary bytes as one meter block, a block header (with its extended area when the flags
// say so) and the data after it, to the "Sync" thread's meter block decoder, against the meter
// store of a component with a known table: three arrays of 4, 16 and 12 bytes. Every byte the
// decoder was not asked to write must keep its value, and a block it takes must land whole.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "JMDP/jmdp_Packet.h"
#include "dravo/manager/dravo_MeterPool.h"
#include "editor/KavoriClientSyncThread.h"
#include "parray/ArrayInfo.h"

namespace {

const PARRAY::ArrayInfo kMeters[] = {{PARRAY::kTypeUINT8, 4, 0, 0, "level"},
                                     {PARRAY::kTypeUINT8, 16, 0, 0, "gr"},
                                     {PARRAY::kTypeUINT32, 3, 0, 0, "raw"}};
constexpr uint32_t kArrays = 3;

using Snapshot = std::vector<std::vector<uint8_t>>;

// Normal arrays, then peak-hold arrays.
Snapshot snapshot(DRAVO::MeterPool& pool)
{
    Snapshot out;
    for (PARRAY::ArrayAccessorForServer* table : {&pool.normalMeterArrayAccessor(), &pool.holdMeterArrayAccessor()}) {
        for (uint32_t id = 0; id < kArrays; ++id) {
            void* data = nullptr;
            uint32_t size = 0;
            if (table->getArrayPointer(data, size, id) != 0) __builtin_trap();
            const auto* first = static_cast<const uint8_t*>(data);
            out.emplace_back(first, first + size);
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static DRAVO::MeterPool* pool = [] {
        auto* p = new DRAVO::MeterPool;
        if (p->initialize(kMeters, kArrays, 0, 1, 1, DRAVO::MeterPool::kDefaultReleaseStep,
                          DRAVO::MeterPool::kDefaultHoldTimeMs) != 0) {
            __builtin_trap();  // the pool is the point of this target
        }
        return p;
    }();
    JMDP::MeterDataBlockHeaderEx header;
    uint32_t used = 0;
    if (header.setBinaryEx(data, static_cast<uint32_t>(size), used) != 0) return 0;
    const uint8_t* values = data + used;
    const uint32_t count = static_cast<uint32_t>(size - used);

    (void)pool->clearAllData();  // always 0
    Snapshot expected = snapshot(*pool);
    const JLIB::JResult result = KAVORI::KavoriClientSyncThread::decodeMeterBlock(*pool, header, values, count);
    if (result == 0 && count > 0) {
        const JMDP::MeterFormat format = header.getDataFormat();
        const bool normal = format == 0 || format == 2 || format == 5;
        if (normal || format == 1) {
            std::vector<uint8_t>& array = expected[(normal ? 0 : kArrays) + header.getMeterId().getId3()];
            if (uint64_t{header.getStartPos()} + count > array.size()) __builtin_trap();  // taken past its end
            std::memcpy(array.data() + header.getStartPos(), values, count);
        }
    }
    if (snapshot(*pool) != expected) __builtin_trap();
    return 0;
}
