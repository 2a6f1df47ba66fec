#pragma once
// The one-byte meter value: 0 no signal (zero, negative, not a number or below about -126 dB),
// 1 to 125 the level in whole dB plus 126, 126 for 0 dB, 127 over (above 1.0). A gain-reduction
// meter's current byte is 254 after clearing. Plain functions; any task.
#include <cstdint>

namespace DRAVO {

constexpr uint8_t kSCPMeterNoSignal = 0;
constexpr uint8_t kSCPMeterZeroDB = 126;
constexpr uint8_t kSCPMeterOver = 127;
constexpr uint8_t kSCPMeterGRCleared = 254;

// The meter byte of a linear level with offsetDB added to its dB value, in single precision with
// the approximations of mtrp_aprx.h. A positive offset can give bytes above 126.
uint8_t floatLinearToSCPMeterData(float linear, float offsetDB);
// byte - 126 (so 0 gives -126); 0 for 127 and above.
int8_t scpMeterDataToDB(uint8_t data);
bool isSCPMeterDataOver(uint8_t data);

}  // namespace DRAVO
