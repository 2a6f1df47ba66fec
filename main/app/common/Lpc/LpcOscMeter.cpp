#include "common/Lpc/LpcOscMeter.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <new>
#include <utility>

#include "common/Lpc/LpcMurRemote.h"
#include "common/Lpc/LpcPluginSendInfo.h"
#include "common/Lpc/ModuleParamCatalogue.h"
#include "common/Lpc/internal/LpcOscMeterLevels.h"
#include "jlib/jlib_cfg.h"
#include "oswrap/oswrap_time.h"

namespace LPC {

namespace {

constexpr JLIB::JResult kNoAddress = 0x80000005u;

using internal::MeterTargetMap;
// One map per argument of a row; empty for a row without a level source.
using MeterTargetList = std::vector<MeterTargetMap>;

// The meter rows' rack targets. Internal to this unit: the protocol memory keeps a list of the
// same name for its own rows, and the two must never meet at link time.
std::vector<MeterTargetList> g_PluginAddressListForAllItem;

void buildTargets()
{
    g_PluginAddressListForAllItem.assign(kMeterItemNum, MeterTargetList());
    for (uint32_t row = 0; row < kMeterItemNum; ++row) {
        const MeterItem& item = g_MeterTable[row];
        if (item.pluginParams.empty() || item.pluginParams[0].empty()) continue;
        MeterTargetMap channels;
        for (uint32_t c = 0; c < item.channelNum; ++c) {
            PluginSendInfoList targets;
            // The table promises no more channels than its catalogue entry serves.
            JLIB_ASSERT(JLIB::isSuccess(listUpPluginSendInfo(item.pluginParams[0], c, targets)));
            channels.emplace(std::make_pair(uint64_t{c}, uint64_t{0}), std::move(targets));
        }
        g_PluginAddressListForAllItem[row].push_back(std::move(channels));
    }
}

}  // namespace

const MeterItem g_MeterTable[kMeterItemNum] = {
    {"uz:Current/AuxIn/InputLevel", {{&CurrentAuxInInputLevel}}, 96, 96, false, 0},
    {"uz:Current/AuxOut/OutputLevel", {{&CurrentAuxOutOutputLevel}}, 1, 1, false, 0},
    {"uz:Current/Binaural/OutputLevel", {{&CurrentBinauralOutputLevel}}, 2, 2, false, 0},
    {"uz:Current/Binaural/SurroundLevel", {{&CurrentBinauralSurroundLevel}}, 12, 12, false, 0},
    {"uz:Current/Binaural/ExternalInLevel", {{&CurrentBinauralExternalInLevel}}, 128, 128, false, 0},
    {"uz:Current/Binaural/ReverbLevel", {{&CurrentBinauralReverbLevel}}, 1, 64, true, 0},
    {"uz:Current/OBA/InputLevel", {{&CurrentOBAInputLevel}}, 128, 128, false, 0},
    {"uz:Current/OBA/DirectOutLevel", {}, 64, 64, false, 0},
    {"uz:Current/OBA/RecOutLevel", {{&CurrentOBARecOutLevel}}, 64, 64, false, 0},
    {"uz:Current/ToSpeaker/OutputLevel", {{&CurrentToSpeakerOutputLevel}}, 64, 64, false, 0},
};

const MeterItem* getMeterItem(uint32_t index) { return index < kMeterItemNum ? &g_MeterTable[index] : nullptr; }

uint8_t convertToLevelMeterValue(double x, bool mark)
{
    uint8_t level = 0;
    if (x > 0.0) {  // also false for NaN: no finite logarithm
        // std::round halves away from zero.
        const double c = std::round(20.0 * std::log10(1024.0 * x));
        if (c > 0.0) {
            level = 127;
        } else if (c > -126.0) {
            level = static_cast<uint8_t>(static_cast<int32_t>(c) + 126);
        }
    }
    return mark ? static_cast<uint8_t>(level | 0x80u) : level;
}

JLIB::JResult internal::readMeterLevels(const MeterTargetMap& channels, uint32_t channelNum, uint8_t* buffer,
                                        uint32_t length, uint32_t& written)
{
    written = 0;
    for (uint32_t c = 0; c < channelNum; ++c) {
        const auto found = channels.find({c, 0});
        if (found == channels.end()) return JLIB::kFailed;
        for (const PluginSendInfo& target : found->second) {
            // A channel with several targets must not run past the buffer.
            if (written >= length) return JLIB::kFailed;
            const double value =
                LpcMurRemote::getInstance().getModulePluginParam(target.guid, static_cast<int32_t>(target.paramNo));
            buffer[written++] = convertToLevelMeterValue(value, false);
        }
    }
    return JLIB::kOk;
}

LpcOscMeter::LpcOscMeter() = default;

LpcOscMeter::~LpcOscMeter() { g_PluginAddressListForAllItem.clear(); }

JLIB::JResult LpcOscMeter::initialize()
{
    uint32_t length = 0;
    for (const MeterItem& item : g_MeterTable) length = std::max(length, item.meterNum);
    if (length == 0) return JLIB::kFailed;
    // The buffer is drawn once; a repeated set-up only clears it.
    if (!m_pBuffer || m_bufferLength != length) {
        m_pBuffer.reset(new (std::nothrow) uint8_t[length]);
        m_bufferLength = m_pBuffer ? length : 0;
    }
    if (m_pBuffer) std::fill_n(m_pBuffer.get(), m_bufferLength, uint8_t{0});
    if (g_PluginAddressListForAllItem.empty()) buildTargets();
    return JLIB::kOk;
}

JLIB::JResult LpcOscMeter::getIndexFromAddress(uint32_t& index, const std::string& address)
{
    for (uint32_t row = 0; row < kMeterItemNum; ++row) {
        if (address == g_MeterTable[row].address) {
            index = row;
            return JLIB::kOk;
        }
    }
    index = 0;
    return kNoAddress;
}

JLIB::JResult LpcOscMeter::getAddress(std::string& address, uint32_t index)
{
    const MeterItem* item = getMeterItem(index);
    if (!item) {
        address.clear();
        return kNoAddress;
    }
    address = item->address;
    return JLIB::kOk;
}

uint32_t LpcOscMeter::getAddressNum() { return kMeterItemNum; }

JLIB::JResult LpcOscMeter::getMeters(const uint8_t*& bytes, uint32_t& count, uint32_t index)
{
    bytes = nullptr;
    count = 0;
    if (!m_pBuffer) return JLIB::kFailed;
    const MeterItem* item = getMeterItem(index);
    if (!item) return kNoAddress;
    uint8_t* buffer = m_pBuffer.get();

    if (!LpcMurRemote::getInstance().isConnected()) {
        uint32_t ms = 0;
        (void)oswrap_Get1msCount(&ms);  // cannot fail for a valid output
        const uint32_t n = std::min(item->meterNum, m_bufferLength);
        for (uint32_t k = 0; k < n; ++k) buffer[k] = static_cast<uint8_t>(ms / 64 + 10 * k);
        bytes = buffer;
        count = n;
        return JLIB::kOk;
    }

    if (index >= g_PluginAddressListForAllItem.size() || g_PluginAddressListForAllItem[index].empty()) {
        return JLIB::kFailed;  // no level source
    }
    uint32_t written = 0;
    JLIB_RETURN_IF_FAILED(
        internal::readMeterLevels(g_PluginAddressListForAllItem[index][0], item->channelNum, buffer, m_bufferLength,
                                  written));
    if (item->isMaximum) {
        buffer[0] = written ? *std::max_element(buffer, buffer + written) : uint8_t{0};
        written = 1;
    }
    bytes = buffer;
    count = written;
    return JLIB::kOk;
}

JLIB::JResult LpcOscMeter::getAttrib(JOSC::OscMeterAttrib& attrib, uint32_t index)
{
    const MeterItem* item = getMeterItem(index);
    if (!item) {
        attrib.clear();
        return kNoAddress;
    }
    attrib.address = item->address;
    attrib.count = item->meterNum;
    attrib.type = static_cast<JOSC::OscMeterAttrib::Type>(item->type);
    return JLIB::kOk;
}

}  // namespace LPC
