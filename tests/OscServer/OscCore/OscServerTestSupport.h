#pragma once
// Shared by the OSC server tests: small providers of a pretend device that record what they are
// asked, OSC packets built and read with oscpack, and a wake-up target that does nothing.
#include <oscpack/osc/OscOutboundPacketStream.h>
#include <oscpack/osc/OscReceivedElements.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "OscServer/OscCore/IOscDeviceCallback.h"
#include "OscServer/OscCore/IOscParameterCallback.h"
#include "OscServer/OscCore/OscDeviceController.h"
#include "OscServer/OscCore/OscMeter.h"
#include "OscServer/OscCore/OscParameter.h"
#include "OscTestSupport.h"
#include "VUviRido/Socket/IVComWakeupFunction.h"
#include "oswrap/oswrap.h"

namespace OscTest {

using Lines = std::vector<std::string>;

inline bool startOsLayer()
{
    static const bool started = [] {
        const JLIB::JResult r = oswrap_init(nullptr, 0, 0);
        return r == 0 || r == OSWRAP::kWrongState;
    }();
    return started;
}

inline std::string join(const std::vector<uint32_t>& values)
{
    std::string text;
    for (uint32_t v : values) text += (text.empty() ? "" : ",") + std::to_string(static_cast<int32_t>(v));
    return text;
}

inline std::string joinLines(const Lines& lines)
{
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : " ") + line;
    return text;
}

// Three parameters: 0 "uz:AuxIn/Fader/Level" (integers, 8 x 2 elements), 1 "uz:Obj/Name" (text),
// 2 "uz:Obj/Mode" (three integer values); the group "uz:@Group" holds 0 and 2. Snapshots of the
// category "scene" are numbered 0 to 2 and named "S0" to "S2". Every call is logged as one line.
class TestParameter : public JOSC::OscParameter {
public:
    static constexpr JLIB::JResult kLookupFailure = 0x80000123u;

    Lines calls;
    JLIB::JResult writeResult = 0;
    bool notifyWrites = true;  // writes report themselves as a change, as a device does
    std::map<std::string, int32_t> values;  // by "index/x/y"

    JLIB::JResult getIndexFromAddress(uint32_t& index, const std::string& address) override
    {
        for (uint32_t i = 0; i < kAddresses.size(); ++i) {
            if (kAddresses[i] == address) {
                index = i;
                return 0;
            }
        }
        return kLookupFailure;
    }
    JLIB::JResult getIndexListFromAddress(JOSC::OscIndexList& indices, const std::string& address) override
    {
        if (address != "uz:@Group") return kLookupFailure;
        indices = {0, 2};
        return 0;
    }
    JLIB::JResult getAddress(std::string& address, uint32_t index) override
    {
        if (index >= kAddresses.size()) return kLookupFailure;
        address = kAddresses[index];
        return 0;
    }
    uint32_t getAddressNum() override { return static_cast<uint32_t>(kAddresses.size()); }

    JLIB::JResult setValue(uint8_t origin, uint32_t index, uint32_t x, uint32_t y,
                           const JOSC::JVariantList& list) override
    {
        return write("setValue", origin, index, x, y, list, "");
    }
    JLIB::JResult setRatio(uint8_t origin, uint32_t index, uint32_t x, uint32_t y, const JOSC::JVariantList& list,
                           uint32_t resolution) override
    {
        return write("setRatio", origin, index, x, y, list, " r" + std::to_string(resolution));
    }
    JLIB::JResult incDec(uint8_t origin, uint32_t index, uint32_t x, uint32_t y, const JOSC::JVariantList& list,
                         uint32_t a, uint32_t b) override
    {
        return write("incDec", origin, index, x, y, list, " " + std::to_string(a) + "," + std::to_string(b));
    }
    JLIB::JResult setText(uint8_t origin, uint32_t index, uint32_t x, uint32_t y,
                          const JOSC::JVariantList& list) override
    {
        return write("setText", origin, index, x, y, list, "");
    }
    JLIB::JResult getValue(JOSC::JVariantList& out, uint8_t, uint32_t index, uint32_t x, uint32_t y) override
    {
        if (index == 1) {
            out.emplace_back("Vocal", 1023u);
        } else {
            out.emplace_back(static_cast<int>(valueAt(index, x, y)));
        }
        return 0;
    }
    JLIB::JResult getRatio(JOSC::JVariantList& out, uint32_t resolution, uint8_t, uint32_t index, uint32_t x,
                           uint32_t y) override
    {
        // Values run 0 to 100: the ratio in the asked resolution.
        out.emplace_back(static_cast<unsigned int>(valueAt(index, x, y) * static_cast<int64_t>(resolution) / 100));
        return 0;
    }
    JLIB::JResult getText(JOSC::JVariantList& out, uint8_t, uint32_t index, uint32_t x, uint32_t y) override
    {
        out.emplace_back(("t" + std::to_string(valueAt(index, x, y))).c_str(), 1023u);
        return 0;
    }
    JLIB::JResult getAttrib(std::vector<JOSC::OscAddressAttrib>& attribs, uint32_t index) override
    {
        attribs.clear();
        if (index >= kAddresses.size()) return kLookupFailure;
        const int records = index == 2 ? 3 : 1;
        for (int i = 0; i < records; ++i) {
            JOSC::OscAddressAttrib a;
            a.address = kAddresses[index];
            a.xSize = 8;
            a.ySize = 2;
            a.minimum = -10;
            a.maximum = 100 + i;
            a.infoValue = static_cast<int>(i);
            a.infoText = "dB";
            a.type = index == 1 ? JOSC::OscAddressAttrib::kTypeString : JOSC::OscAddressAttrib::kTypeInteger;
            a.uiType = JOSC::OscAddressAttrib::kUiTypeFader;
            a.access = JOSC::OscAddressAttrib::kAccessRead;
            a.scaling = 3;
            attribs.push_back(a);
        }
        return 0;
    }
    uint32_t getSnapshotNum(const std::string& category) override { return category == "scene" ? 3 : 0; }
    JLIB::JResult getSnapshotAttrib(JOSC::OscSnapshotAttrib& attrib, const std::string& category,
                                    uint32_t number) override
    {
        calls.push_back("getSnapshotAttrib " + category + " " + std::to_string(number));
        if (category != "scene" || number >= 3) return kLookupFailure;
        attrib.name = "S" + std::to_string(number);
        attrib.title = "Title" + std::to_string(number);
        attrib.comment = "Comment";
        attrib.attrib = JOSC::OscSnapshotAttrib::kAttribUser;
        return 0;
    }
    JLIB::JResult getSnapshotAttrib(JOSC::OscSnapshotAttrib& attrib, const std::string& category,
                                    const std::string& name) override
    {
        calls.push_back("getSnapshotAttrib " + category + " " + name);
        attrib.name = name;
        attrib.title = "ByName";
        return 0;
    }
    JLIB::JResult getCurrentSnapshot(uint32_t& number, bool& modified, const std::string&) override
    {
        number = 2;
        modified = true;
        return 0;
    }
    JLIB::JResult getCurrentSnapshot(std::string& name, bool& modified, const std::string&) override
    {
        name = "S2";
        modified = false;
        return 0;
    }
    JLIB::JResult recallSnapshot(uint8_t origin, const std::string& category, uint32_t number) override
    {
        calls.push_back("recall o" + std::to_string(origin) + " " + category + " " + std::to_string(number));
        return writeResult;
    }
    JLIB::JResult recallSnapshot(uint8_t origin, const std::string& category, const std::string& name) override
    {
        calls.push_back("recall o" + std::to_string(origin) + " " + category + " " + name);
        return writeResult;
    }
    JLIB::JResult updateSnapshot(uint8_t origin, const std::string& category, uint32_t number) override
    {
        calls.push_back("update o" + std::to_string(origin) + " " + category + " " + std::to_string(number));
        return writeResult;
    }
    JLIB::JResult updateSnapshot(uint8_t origin, const std::string& category, const std::string& name) override
    {
        calls.push_back("update o" + std::to_string(origin) + " " + category + " " + name);
        return writeResult;
    }

    int32_t valueAt(uint32_t index, uint32_t x, uint32_t y) const
    {
        const auto it = values.find(key(index, x, y));
        return it == values.end() ? static_cast<int32_t>(index * 100 + x * 10 + y) : it->second;
    }

    JOSC::IOscParameterCallback* callback() const { return m_pCallback; }

    const std::vector<std::string> kAddresses = {"uz:AuxIn/Fader/Level", "uz:Obj/Name", "uz:Obj/Mode"};

private:
    static std::string key(uint32_t index, uint32_t x, uint32_t y)
    {
        return std::to_string(index) + "/" + std::to_string(x) + "/" + std::to_string(y);
    }

    JLIB::JResult write(const char* what, uint8_t origin, uint32_t index, uint32_t x, uint32_t y,
                        const JOSC::JVariantList& list, const std::string& tail)
    {
        calls.push_back(std::string(what) + " o" + std::to_string(origin) + " i" + std::to_string(index) + " x" +
                        std::to_string(x) + " y" + std::to_string(y) + " [" + joinLines(describe(list)) + "]" + tail);
        if (JLIB::isFailure(writeResult)) return writeResult;
        if (!list.empty() && list[0].getType() != JVariant::kTypeString) values[key(index, x, y)] = list[0].toInt32();
        if (notifyWrites && m_pCallback) (void)m_pCallback->onFoundDirty(origin, index, x, y);  // counted by the test
        return writeResult;
    }
};

// Two meters, "uz:Current/Meter/A" and "uz:Current/Meter/B", of three bytes each.
class TestMeter : public JOSC::OscMeter {
public:
    JLIB::JResult getIndexFromAddress(uint32_t& index, const std::string& address) override
    {
        if (address == "uz:Current/Meter/A") index = 0;
        else if (address == "uz:Current/Meter/B") index = 1;
        else return 0x80000077u;
        return 0;
    }
    JLIB::JResult getAddress(std::string& address, uint32_t index) override
    {
        address = index == 0 ? "uz:Current/Meter/A" : "uz:Current/Meter/B";
        return 0;
    }
    uint32_t getAddressNum() override { return 2; }
    JLIB::JResult getMeters(const uint8_t*& bytes, uint32_t& count, uint32_t) override
    {
        bytes = m_bytes;
        count = sizeof(m_bytes);
        return 0;
    }
    JLIB::JResult getAttrib(JOSC::OscMeterAttrib& attrib, uint32_t index) override
    {
        if (index >= 2) return 0x80000078u;
        attrib.address = index == 0 ? "uz:Current/Meter/A" : "uz:Current/Meter/B";
        attrib.count = 3;
        attrib.type = JOSC::OscMeterAttrib::kTypeHold;
        return 0;
    }

private:
    uint8_t m_bytes[3] = {1, 2, 3};
};

// Device information "name" = "UZ", status "runmode" = "normal", the mode "normal", a list
// "scenes" of 4 items; every call is logged.
class TestDevice : public JOSC::OscDeviceController {
public:
    Lines calls;
    JLIB::JResult identifyResult = 0;
    JLIB::JResult eventResult = 0;
    JLIB::JResult listResult = 0;
    bool listFlag = false;
    bool listItemValid = true;

    JLIB::JResult getDeviceInfo(std::string& value, const std::string& key) override
    {
        calls.push_back("info " + key);
        if (key != "name") return 0x80000006u;
        value = "UZ";
        return 0;
    }
    JLIB::JResult getDeviceStatus(std::string& value, const std::string& key) override
    {
        calls.push_back("status " + key);
        if (key != "runmode") return 0x80000123u;
        value = "normal";
        return 0;
    }
    JLIB::JResult changeDeviceMode(const std::string& mode) override
    {
        calls.push_back("mode " + mode);
        return mode == "normal" ? 0 : 0x80000009u;
    }
    JLIB::JResult runEvent(uint8_t origin, const std::string& event, const JOSC::JVariantList& arguments) override
    {
        calls.push_back("event o" + std::to_string(origin) + " " + event + " [" + joinLines(describe(arguments)) + "]");
        return eventResult;
    }
    JLIB::JResult getListItemNum(const std::string& list, uint32_t& count, uint32_t& head, uint32_t& tail) override
    {
        calls.push_back("listnum " + list);
        count = 4;
        head = 1;
        tail = 4;
        return listResult;
    }
    JLIB::JResult getListItem(const std::string& list, uint32_t index, JVariant& item, bool& flag) override
    {
        calls.push_back("list " + list + " " + std::to_string(index));
        if (listItemValid) item = static_cast<int>(index * 2);
        flag = listFlag;
        return listResult;
    }
    JLIB::JResult runIdentify(uint32_t duration) override
    {
        calls.push_back("identify " + std::to_string(duration));
        return identifyResult;
    }

    JOSC::IOscDeviceCallback* callback() const { return m_pCallback; }
};

class NullWakeup : public VCOM::IVComWakeupFunction {
public:
    JLIB::JResult wakeup(uint16_t, VCOM::IVCom&) override { return 0; }
};

// One OSC argument of a packet the test builds.
struct Arg {
    char type;  // 'i', 'f', 'd', 's', 'b', 'h', 'T'
    std::string text;
    int64_t number = 0;
    double real = 0;
};
inline Arg I(int32_t v) { return Arg{'i', "", v, 0}; }
inline Arg S(const std::string& v) { return Arg{'s', v, 0, 0}; }
inline Arg F(float v) { return Arg{'f', "", 0, v}; }
inline Arg D(double v) { return Arg{'d', "", 0, v}; }
inline Arg B(const std::string& bytes) { return Arg{'b', bytes, 0, 0}; }
inline Arg H(int64_t v) { return Arg{'h', "", v, 0}; }

inline void writeMessage(osc::OutboundPacketStream& p, const std::string& address, const std::vector<Arg>& args)
{
    p << osc::BeginMessage(address.c_str());
    for (const Arg& a : args) {
        switch (a.type) {
        case 'i': p << static_cast<osc::int32>(a.number); break;
        case 'h': p << static_cast<osc::int64>(a.number); break;
        case 'f': p << static_cast<float>(a.real); break;
        case 'd': p << a.real; break;
        case 's': p << a.text.c_str(); break;
        case 'b':
            p << osc::Blob(a.text.data(), static_cast<osc::osc_bundle_element_size_t>(a.text.size()));
            break;
        case 'T': p << true; break;
        }
    }
    p << osc::EndMessage;
}

inline std::vector<char> message(const std::string& address, const std::vector<Arg>& args = {})
{
    std::vector<char> buffer(65536);
    osc::OutboundPacketStream p(buffer.data(), buffer.size());
    writeMessage(p, address, args);
    buffer.resize(p.Size());
    return buffer;
}

// The messages of a datagram, one line each ("address i:1 s:x ..."), with "[" and "]" around the
// elements of each bundle.
inline void readElements(const osc::ReceivedMessage& m, Lines& lines)
{
    std::string line = m.AddressPattern();
    for (auto it = m.ArgumentsBegin(); it != m.ArgumentsEnd(); ++it) {
        switch (it->TypeTag()) {
        case 'i': line += " i:" + std::to_string(it->AsInt32()); break;
        case 'h': line += " h:" + std::to_string(it->AsInt64()); break;
        case 'f': line += " f:" + std::to_string(it->AsFloat()); break;
        case 's': line += std::string(" s:") + it->AsString(); break;
        case 'b': {
            const void* data = nullptr;
            osc::osc_bundle_element_size_t size = 0;
            it->AsBlob(data, size);
            line += " b:" + std::to_string(size);
            break;
        }
        default: line += std::string(" ?") + it->TypeTag(); break;
        }
    }
    lines.push_back(line);
}

inline void readElements(const osc::ReceivedBundle& b, Lines& lines)
{
    lines.push_back("[");
    for (auto it = b.ElementsBegin(); it != b.ElementsEnd(); ++it) {
        if (it->IsBundle()) readElements(osc::ReceivedBundle(*it), lines);
        else readElements(osc::ReceivedMessage(*it), lines);
    }
    lines.push_back("]");
}

inline Lines readDatagram(const std::vector<char>& datagram)
{
    Lines lines;
    const osc::ReceivedPacket packet(datagram.data(), datagram.size());
    if (packet.IsBundle()) readElements(osc::ReceivedBundle(packet), lines);
    else readElements(osc::ReceivedMessage(packet), lines);
    return lines;
}

}  // namespace OscTest
