#pragma once
// The eleven parameter databases as the console link sees them: index (the instance id), name,
// three-letter port name and synchronisation class (0 never, 1 when the link is made, 2 in the
// memory step of a synchronisation). Constant; any task.
#include <cstdint>

namespace KAVORI {

struct PDBConfigItem {
    uint32_t index;
    const char* name;
    const char* portName;
    uint32_t syncClass;
};

constexpr uint32_t kPDBConfigNum = 11;
extern const PDBConfigItem gPDBConfigTable[kPDBConfigNum];

// 11.
uint32_t getPDBConfigNum();
// The row, or null for an index of 11 or more.
const PDBConfigItem* getPDBConfig(uint32_t index);

}  // namespace KAVORI
