#include "OscServer/OscCore/OscSystem.h"

#include <atomic>

#include "OscServer/OscCore/internal/OscSessionCounter.h"
#include "oswrap/oswrap_task.h"
#include "oswrap/oswrap_time.h"

namespace JOSC {

namespace {

// Both are process-wide: one heap for every server's lists and one session numbering for all
// clients. Atomics only so that a reader on another task sees a whole value.
std::atomic<unsigned char> s_oscHeapId{0};
std::atomic<int32_t> s_sessionCounter{0};

}  // namespace

JLIB::HeapId getOscHeapId() { return JLIB::HeapId(s_oscHeapId.load()); }

void setOscHeapId(JLIB::HeapId id) { s_oscHeapId.store(id.id()); }

JLIB::JResult OscGetTaskId(uint16_t& id) { return oswrap_GetTskId(&id); }

JLIB::JResult OscGet1msCount(uint32_t& count) { return oswrap_Get1msCount(&count); }

namespace internal {

uint32_t nextSessionNo()
{
    // Counted in unsigned arithmetic: the step past 0x7FFFFFFF must wrap, not overflow.
    const uint32_t next = static_cast<uint32_t>(s_sessionCounter.load()) + 1u;
    const int32_t value = static_cast<int32_t>(next) > 0 ? static_cast<int32_t>(next) : 1;
    s_sessionCounter.store(value);
    return static_cast<uint32_t>(value);
}

int32_t currentSessionNo() { return s_sessionCounter.load(); }

void setSessionCounter(int32_t value) { s_sessionCounter.store(value); }

}  // namespace internal

}  // namespace JOSC
