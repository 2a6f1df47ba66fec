#pragma once
// The module "PDB": asks the device-control thread to save or load a database file. The console
// listens on every interface without a password, so the file name must stay inside the user
// folder: a name with a ".." part, a leading "/" or a backslash is refused.
#include <cstdint>

#include "dbgc/dbgc_DebugConsole.h"

namespace DBGC {

// "save" and "load" with a database id and a file name: the send's result. 0x80000000 for no
// tokens, any other command, fewer than 3 tokens or a refused file name.
JLIB::JResult dbgPDBModule(DebugConsole& console, uint32_t count, const StringElement* tokens);

}  // namespace DBGC
