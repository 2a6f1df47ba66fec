#pragma once
// Expands the catalogue entries of one member of a protocol parameter into the rack targets of
// one element index, and the diagnostic dump "pluginParameters.txt" of every target of every
// protocol parameter. The listing keeps no state and reads only program constants: any task.
// The dump keeps a register of claimed plug-in parameters for the whole run, unlocked: one task
// at a time.
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "common/Lpc/LpcMemoryItem.h"
#include "jlib/jlib_result.h"

namespace LPC {

// One plug-in parameter that receives a value. The texts are borrowed from the catalogue's
// constant module tables and never null in a listed target.
struct PluginSendInfo {
    PluginSendInfo(const char* guid, uint64_t paramNo, const char* moduleName, bool isInvert)
        : guid(guid), paramNo(paramNo), moduleName(moduleName), isInvert(isInvert)
    {
    }

    const char* guid;
    uint64_t paramNo;
    const char* moduleName;  // the instance path, such as "//o/VL1/#0"
    bool isInvert;
};

using PluginSendInfoList = std::vector<PluginSendInfo>;

// Appends the targets of element index to out, entry by entry (null entries skipped); a target
// whose module is beyond its entry's table is left out. 0x80000000 with nothing appended for an
// empty list, a null first entry or an index not below the first entry's total. An entry that
// sends to all parameters serves index 0 only: any other index stops the walk there with 0 and
// what earlier entries appended.
[[nodiscard]] JLIB::JResult listUpPluginSendInfo(const ModuleParamList& entries, uint64_t index,
                                                 PluginSendInfoList& out);

// Writes "pluginParameters.txt" in the working folder (replaced), one line per target of every
// member of every row with plug-in lists. A file that cannot be opened writes nothing. 0.
JLIB::JResult showPluginParameters();
// The header line.
void showHeader(std::ostream& out);
// The lines of every element index of one member, under the member's name.
void show(std::ostream& out, const std::string& name, const ModuleParamList& entries);
// One target line. A plug-in parameter that an earlier line of this run (of any dump) claimed
// gets the first claimant appended.
void showInternal(std::ostream& out, const std::string& name, uint64_t x, bool isInvert, const char* guid,
                  uint64_t paramNo, const char* moduleName);

}  // namespace LPC
