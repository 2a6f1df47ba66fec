#pragma once
// Semaphores: each one a binary semaphore that the waiting task takes and the signalling task
// gives back. Any task may call; wait and signal do not look at whether the id was created.
#include "oswrap/oswrap_types.h"

// Id 1..149. 0x80000005 for a null record or bad id, 0x80000008 when taken.
[[nodiscard]] JLIB::JResult oswrap_CreSem(uint16_t id, const T_OSW_CSEM* pk);
// Picks the highest free id in 150..300; *id is 0 when the create failed and untouched on 0x80000010.
[[nodiscard]] JLIB::JResult oswrap_AcreSem(uint16_t* id, const T_OSW_CSEM* pk);
// 0x80000008 when not created. A semaphore deleted while taken is given back for the next owner of the id.
[[nodiscard]] JLIB::JResult oswrap_DelSem(uint16_t id);
// Blocks without limit.
[[nodiscard]] JLIB::JResult oswrap_WaiSem(uint16_t id);
// 0x80000002: there is no timed wait.
[[nodiscard]] JLIB::JResult oswrap_TwaiSem(uint16_t id, int32_t timeoutMs);
[[nodiscard]] JLIB::JResult oswrap_SigSem(uint16_t id);
// 0x80000002.
[[nodiscard]] JLIB::JResult oswrap_SigSemFromISR(uint16_t id);
// First created semaphore whose name matches over 9 characters; 0x8000000E when none.
[[nodiscard]] JLIB::JResult oswrap_VinqSem(uint16_t* id, const char* name);
