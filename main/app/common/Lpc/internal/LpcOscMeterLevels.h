#pragma once
// The level reading of the OSC meter space, for its own unit and its tests only.
#include <cstdint>
#include <map>
#include <utility>

#include "common/Lpc/LpcPluginSendInfo.h"
#include "jlib/jlib_result.h"

namespace LPC::internal {

// (channel, 0) to the rack targets of that channel.
using MeterTargetMap = std::map<std::pair<uint64_t, uint64_t>, PluginSendInfoList>;

// One level byte per target of channels 0 to channelNum - 1, in order, read from the rack into
// buffer. 0 with written set; 0x80000000 for a channel without an entry or when the targets would
// run past length (written then tells how far it got, never beyond length).
[[nodiscard]] JLIB::JResult readMeterLevels(const MeterTargetMap& channels, uint32_t channelNum, uint8_t* buffer,
                                            uint32_t length, uint32_t& written);

}  // namespace LPC::internal
