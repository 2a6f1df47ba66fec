#include "dravo/manager/dravo_timeMs.h"

namespace DRAVO {

uint32_t diffTimeMs(uint32_t now, uint32_t before)
{
    return now - before;
}

uint32_t offsetTimeMs(uint32_t time, int32_t offset)
{
    return time + uint32_t(offset);
}

}  // namespace DRAVO
