#pragma once
// The rack targets of every element of the protocol memory, for the protocol memory's own units
// only (the OSC meter space keeps a list of the same name of its own, private to its unit).
// Written by LpcUzProtoMemory::initialize and finalize; read by any task in between.
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "common/Lpc/LpcMemoryIndex.h"
#include "common/Lpc/LpcPluginSendInfo.h"

namespace LPC {

// (x, y) to the targets of that element.
using PluginAddressMap = std::map<std::pair<uint64_t, uint64_t>, PluginSendInfoList>;
// One map per member.
using PluginAddressList = std::vector<PluginAddressMap>;

// One entry per row with plug-in lists.
extern std::map<MemoryIndex, PluginAddressList> g_PluginAddressListForAllItem;

}  // namespace LPC
