#include "common/KavoriSystemInfo.h"

#include "TMS/SystemThread.h"

namespace KAVORI {

namespace {
constexpr uint32_t kUnsigned = 2;
}  // namespace

const TMS::SystemInfoNodeStruct gSysInfoNodeTable[kSysInfoNodeNum] = {
    {"ProductState", 1, 0, kUnsigned, "0", "4", "0"},
    {"RunMode", 1, 0, kUnsigned, "0", "3", "0"},
    {"DebugState", 1, 0, kUnsigned, "0", "1", "0"},
    {"PanelState/IsProper", 1, 0, kUnsigned, "0", "1", "0"},
    {"PDBState", 1, 0, kUnsigned, "0", "2", "0"},
    {"DRAVOmState", 1, 0, kUnsigned, "0", "5", "0"},
    {"DRAVOpState", 1, 0, kUnsigned, "0", "5", "0"},
    {"HUIState", 1, 0, kUnsigned, "0", "1", "0"},
    {"GUIState", 1, 0, kUnsigned, "0", "1", "0"},
    {"EditorState", 1, 0, kUnsigned, "0", "6", "0"},
    {"VDPState", 1, 0, kUnsigned, "0", "1", "0"},
    {"CurrentFs", 1, 0, kUnsigned, "0", "96000", "96000"},
    {"UpdateState/PNFDC", 1, 0, kUnsigned, "0", "2", "0"},
};

JLIB::JResult registSystemInfo(TMS::SystemThread& root) { return root.addSystemInfo(gSysInfoNodeTable, kSysInfoNodeNum); }

}  // namespace KAVORI
