#pragma once
// The debug console's command modules in the order the help of "Top" lists them: "Top",
// "Thread", "Component" and "PDB". The owner of the TCP console hands this table to it.
#include <cstdint>

#include "dbgc/dbgc_DebugConsole.h"

namespace DBGC {

extern const DBG_MODULE_INFO gDebugModuleTable[];

// 4.
uint32_t getDebugModuleTableSize();

}  // namespace DBGC
