#pragma once
// What the OSC framework takes from the process and the OS layer: the heap its lists draw from
// (recorded once by the server's creator), the calling task's id and the millisecond count.
// Any task may call.
#include <cstdint>

#include "jlib/JHeap.h"
#include "jlib/jlib_result.h"

namespace JOSC {

// The heap of the framework's fixed lists; the global heap (0) until one is recorded.
JLIB::HeapId getOscHeapId();
void setOscHeapId(JLIB::HeapId id);

// The calling task's id as the OS layer gives it; its result unchanged.
[[nodiscard]] JLIB::JResult OscGetTaskId(uint16_t& id);
// The OS layer's millisecond count (wraps at 32 bits); its result unchanged.
[[nodiscard]] JLIB::JResult OscGet1msCount(uint32_t& count);

}  // namespace JOSC
