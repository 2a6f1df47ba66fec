#pragma once
// The standard module "Top": its help (with the list of modules) and "shutdown", which asks the
// root thread "System" to release the thread tree. Runs on the console's thread.
#include <cstdint>

#include "dbgc/dbgc_DebugConsole.h"

namespace DBGC {

// 0x80000000 for no tokens; every other command gives 0, also one it does not know.
JLIB::JResult dbgTopModule(DebugConsole& console, uint32_t count, const StringElement* tokens);

}  // namespace DBGC
