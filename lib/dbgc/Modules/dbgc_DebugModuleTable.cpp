#include "dbgc/Modules/dbgc_DebugModuleTable.h"

#include "dbgc/Modules/dbgc_ComponentModule.h"
#include "dbgc/Modules/dbgc_PDBModule.h"
#include "dbgc/Modules/dbgc_ThreadModule.h"
#include "dbgc/Modules/dbgc_TopModule.h"

namespace DBGC {

const DBG_MODULE_INFO gDebugModuleTable[] = {
    {"Top", dbgTopModule, "基本コマンド"},
    {"Thread", dbgThreadModule, "Threadコマンド"},
    {"Component", dbgComponentModule, "Componentコマンド"},
    {"PDB", dbgPDBModule, "PDBコマンド"},
};

uint32_t getDebugModuleTableSize() { return sizeof gDebugModuleTable / sizeof gDebugModuleTable[0]; }

}  // namespace DBGC
