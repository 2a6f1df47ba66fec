#include "dravo/manager/dravo_SCPMeterData.h"

#include "dravo/manager/internal/dravo_meterByteInline.h"

namespace DRAVO {

uint8_t floatLinearToSCPMeterData(float linear, float offsetDB)
{
    return internal::linearToMeterByte(linear, offsetDB);
}

int8_t scpMeterDataToDB(uint8_t data)
{
    if (data >= kSCPMeterOver) return 0;
    return int8_t(int32_t(data) - 126);
}

bool isSCPMeterDataOver(uint8_t data)
{
    return data == kSCPMeterOver;
}

}  // namespace DRAVO
