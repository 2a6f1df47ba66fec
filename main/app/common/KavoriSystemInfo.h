#pragma once
// The shared system parameters through which the application threads publish their readiness
// and states to each other, declared once on the root thread. The table is constant.
#include <cstdint>

#include "TMS/SystemInfoNodeStruct.h"
#include "jlib/jlib_result.h"

namespace TMS {
class SystemThread;
}

namespace KAVORI {

constexpr uint32_t kSysInfoNodeNum = 13;
extern const TMS::SystemInfoNodeStruct gSysInfoNodeTable[kSysInfoNodeNum];

// The root's own task, in its initialisation: declares the 13 rows; the declaration's result.
[[nodiscard]] JLIB::JResult registSystemInfo(TMS::SystemThread& root);

}  // namespace KAVORI
