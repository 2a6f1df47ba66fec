#include "textcontrol/ScpHeap.h"

namespace SCP {

JLIB::HeapId gScpHeapId = 0;

JLIB::HeapId getScpHeapId() { return gScpHeapId; }

ScpString makeScpString(uint32_t capacity)
{
    return ScpString(capacity, JLIB::JAllocator<JLIB::JUnicode>(getScpHeapId(), "UnicodeString"));
}

}  // namespace SCP
