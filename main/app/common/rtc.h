#pragma once
// Real-time clock functions of the hardware products; on this platform each does nothing and
// answers 0, leaving its outputs as they are. Any task.
#include <cstdint>
#include <ctime>

uint32_t rtcInit();
uint32_t rtcStopStart(bool start);
uint32_t rtcReset();
uint32_t rtcSetTime(const std::tm* time);
uint32_t rtcGetTime(std::tm* time);
uint32_t rtcGetFileDT(uint32_t* fileDateTime);
uint32_t rtcGetExtAct(bool* active);
uint32_t rtcSetTime_ext(const std::tm* time);
uint32_t rtcGetTime_ext(std::tm* time);
uint32_t rtcSetTime_int(const std::tm* time);
uint32_t rtcGetTime_int(std::tm* time);
