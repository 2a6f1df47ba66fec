// Feeds arbitrary bytes as one meter-channel datagram (cut at 1472 bytes as the socket would)
// through the meter thread's handlers: player status goes through the meter thread's own
// processor into the process-wide status store, meter data into a meter pool of two float
// meters per channel over four channels, as the thread hands it to a component's pool.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "common/OPVDspMeterThread.h"
#include "common/PlayerStatusDB.h"
#include "common/tpcp/MeterChannelReader.h"
#include "common/tpcp/MeterNotificationCollection.h"
#include "common/tpcp/tpcp_constants.h"
#include "dravo/manager/dravo_MeterPool.h"
#include "parray/ArrayInfo.h"

namespace {

// Size word of one element per channel.
constexpr uint32_t kPerChannel = 1u << 28 | 1u;
const PARRAY::ArrayInfo kMeters[] = {{PARRAY::kTypeFLOAT, kPerChannel, 0, 0, "level"},
                                     {PARRAY::kTypeFLOAT, kPerChannel, 0, 0, "gr"},
                                     {PARRAY::kTypeUINT8, kPerChannel, 0, 0, "raw"}};

class Processor : public TPCP::IMeterNotificationProcessor {
public:
    explicit Processor(DRAVO::MeterPool& pool) : m_pool(pool) {}

    JLIB::JResult processMeterNotification(uint32_t, uint32_t, uint32_t arrayNo, uint32_t offset, uint32_t count,
                                           const unsigned char* bytes) override
    {
        if (!bytes) return 0x80000000u;
        return m_pool.setRawMeterDataBinary(arrayNo, offset, count, bytes);
    }
    JLIB::JResult processPlayerStatusNotification(uint32_t first, uint32_t word1, uint32_t word2, uint32_t firstCore,
                                                  uint32_t coreCount, uint32_t byteCount,
                                                  const TPCP::CoreInfo* cores) override
    {
        return m_thread.processPlayerStatusNotification(first, word1, word2, firstCore, coreCount, byteCount, cores);
    }

private:
    DRAVO::MeterPool& m_pool;
    KAVORI::OPVDspMeterThread m_thread{0};  // never started: only its processor is used
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TPCP::MeterNotificationCollection* handlers = [] {
        auto* table = new TPCP::MeterNotificationCollection;
        (void)table->createMeterNotificationMap();  // always 0
        return table;
    }();
    static DRAVO::MeterPool* pool = [] {
        auto* p = new DRAVO::MeterPool;
        if (p->initialize(kMeters, 3, 1, 4, 1, DRAVO::MeterPool::kDefaultReleaseStep,
                          DRAVO::MeterPool::kDefaultHoldTimeMs) != 0) {
            __builtin_trap();  // the pool is the point of this target
        }
        return p;
    }();
    static Processor* processor = new Processor(*pool);
    const size_t length = std::min<size_t>(size, TPCP::kMaxDatagramSize);
    (void)TPCP::MeterChannelReader::decodeDatagram(data, length, *handlers, *processor);  // 0 or a refusal
    return 0;
}
