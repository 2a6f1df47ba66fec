#pragma once
// The module "Thread": lists the registered threads ("tlist"), shows a thread's log ring ("tlog")
// and empties it ("tlogc"). Runs on the console's thread; reads other threads' rings under their
// own locks.
#include <cstdint>

#include "dbgc/dbgc_DebugConsole.h"

namespace TMS {
class AbstractThread;
}

namespace DBGC {

// 0x80000000 for no tokens and for a "tlog" or "tlogc" it cannot run; unknown commands give 0.
JLIB::JResult dbgThreadModule(DebugConsole& console, uint32_t count, const StringElement* tokens);

// A token with a letter is a thread name, otherwise a task id in decimal; the null thread when no
// thread matches (a number above 0xFFFF names no task).
TMS::AbstractThread& getThread(const StringElement& token);

// The status's name ("UNINITIALIZED" ... "DESTROY"), "UNKNOWN" for any other value.
const char* threadStatus(uint32_t status);

}  // namespace DBGC
