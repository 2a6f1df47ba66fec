#pragma once
// The process-wide session number counter behind OscSessionData::makeSessionNo. It lives beside
// the heap id in OscSystem.cpp; only this module (and its tests) reach it.
#include <cstdint>

namespace JOSC::internal {

// Advances the counter and returns it: 1, 2, ... 0x7FFFFFFF, then 1 again.
uint32_t nextSessionNo();
// The number last handed out, 0 before the first. For tests.
int32_t currentSessionNo();
// Puts the counter at a value so that a test can reach the wrap. For tests.
void setSessionCounter(int32_t value);

}  // namespace JOSC::internal
