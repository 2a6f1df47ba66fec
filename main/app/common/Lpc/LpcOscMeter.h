#pragma once
// The device's meter provider for the OSC server: ten "uz:Current/..." meter addresses whose
// levels are read from the level-meter plug-in parameters of the rack's modules, one byte per
// channel (or the largest of them as one byte), and a moving test pattern while the rack is not
// connected. The table is a program constant; the provider runs on the OSC server's thread only.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "OscServer/OscCore/OscMeter.h"
#include "common/Lpc/LpcMemoryItem.h"
#include "jlib/jlib_result.h"

namespace LPC {

struct MeterItem {
    const char* address;
    // One catalogue list per argument; only the first is used, an empty vector means no source.
    std::vector<ModuleParamList> pluginParams;
    uint32_t meterNum;    // level bytes the address reports, and the length of the test pattern
    uint32_t channelNum;  // channels read from the rack
    bool isMaximum;       // only the largest channel level, as one byte
    uint32_t type;        // JOSC::OscMeterAttrib::Type
};

constexpr uint32_t kMeterItemNum = 10;

// Row i is the meter of index i.
extern const MeterItem g_MeterTable[kMeterItemNum];

// The row, or null for an index of 10 or more.
const MeterItem* getMeterItem(uint32_t index);
// A normalised plug-in level as a meter byte: decibels above 126 dB below 1/1024 (0 to 127;
// 0 for x of 0 or less), with 0x80 added when mark is set.
uint8_t convertToLevelMeterValue(double x, bool mark);

class LpcOscMeter : public JOSC::OscMeter {
public:
    LpcOscMeter();
    ~LpcOscMeter() override;

    // Allocates the level buffer (the largest meter, zero-filled; kept by a repeated call) and
    // lists the rack targets of every channel once. 0; 0x80000000 when the table has no meter
    // bytes at all.
    [[nodiscard]] JLIB::JResult initialize() override;
    // 0 with the row whose address equals the text exactly; index 0 and 0x80000005 otherwise.
    [[nodiscard]] JLIB::JResult getIndexFromAddress(uint32_t& index, const std::string& address) override;
    // 0x80000005 with the text emptied for an index of 10 or more.
    [[nodiscard]] JLIB::JResult getAddress(std::string& address, uint32_t index) override;
    uint32_t getAddressNum() override;
    // The levels of the meter in the provider's buffer, valid until the next call. Outputs null
    // and 0 on failure: 0x80000000 without a buffer, for a meter without a source or a channel
    // without targets while the rack is connected, and when the targets would overrun the
    // buffer; 0x80000005 for an index of 10 or more.
    [[nodiscard]] JLIB::JResult getMeters(const uint8_t*& bytes, uint32_t& count, uint32_t index) override;
    // 0x80000005 with the record cleared for an index of 10 or more.
    [[nodiscard]] JLIB::JResult getAttrib(JOSC::OscMeterAttrib& attrib, uint32_t index) override;

private:
    std::unique_ptr<uint8_t[]> m_pBuffer;  // null until initialize
    uint32_t m_bufferLength = 0;
};

}  // namespace LPC
