#include "common/KavoriPDBConfig.h"

namespace KAVORI {

// Row 10's database is created as "AudioCompo"; the name here only describes the row.
const PDBConfigItem gPDBConfigTable[kPDBConfigNum] = {
    {0, "Profile", "PRF", 1},      {1, "DeviceSetup", "DVS", 1}, {2, "StaticSetup", "STS", 1},
    {3, "LocalSetup", "LCS", 0},   {4, "VDeviceSetup", "VDS", 0}, {5, "CommonSetup", "CMS", 2},
    {6, "Status", "STT", 1},       {7, "SnapshotInfo", "SSI", 0}, {8, "PresetInfo", "PSI", 0},
    {9, "ProjectInfo", "PJI", 0},  {10, "Component", "CMP", 2},
};

uint32_t getPDBConfigNum() { return kPDBConfigNum; }

const PDBConfigItem* getPDBConfig(uint32_t index) { return index < kPDBConfigNum ? &gPDBConfigTable[index] : nullptr; }

}  // namespace KAVORI
