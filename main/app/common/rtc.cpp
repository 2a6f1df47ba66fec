#include "common/rtc.h"

uint32_t rtcInit() { return 0; }
uint32_t rtcStopStart(bool) { return 0; }
uint32_t rtcReset() { return 0; }
uint32_t rtcSetTime(const std::tm*) { return 0; }
uint32_t rtcGetTime(std::tm*) { return 0; }
uint32_t rtcGetFileDT(uint32_t*) { return 0; }
uint32_t rtcGetExtAct(bool*) { return 0; }
uint32_t rtcSetTime_ext(const std::tm*) { return 0; }
uint32_t rtcGetTime_ext(std::tm*) { return 0; }
uint32_t rtcSetTime_int(const std::tm*) { return 0; }
uint32_t rtcGetTime_int(std::tm*) { return 0; }
