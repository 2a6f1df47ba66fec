#pragma once
// Models for the read, meter and snapshot commands: two-dimensional parameters whose reads the
// tests steer and log, snapshot categories, and a bank of meters. Set up before the server
// starts or changed on the owner's thread (ServerOwner::call).
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "textcontrol/ScpMeter.h"
#include "textcontrol/ScpParameter.h"

namespace ScpTest {

inline std::string latin1Of(const SCP::ScpString& s)
{
    char buffer[400] = {};
    uint32_t written = 0;
    (void)s.toLatin1(buffer, sizeof buffer, &written, '?');
    return buffer;
}

// Each address is "GRID:" and its short name; element (x, y) holds 100 * y + x, as an Int32, a
// String "s<x>.<y>" or a Float; its display text is "t<x>.<y>" and its position the
// resolution plus x.
class GridParameters : public SCP::ScpParameter {
public:
    enum Values { kInt, kText, kFloat };
    struct Param {
        std::string name;
        uint32_t xnum = 1;
        uint32_t ynum = 1;
        Values values = kInt;
        int32_t min = 0;
        int32_t max = 100;
        JVariant def = JVariant(0);
        const char* unit = "dB";
        int32_t type = 0;
        int32_t ui = 0;
        int32_t access = 0;
        int32_t scaling = 0;
    };
    struct Category {
        bool hasCurrent = true;
        uint32_t current = 0;
        bool modified = false;
        uint32_t count = 0;
    };
    struct Call {
        std::string what;
        int session;
        std::string category;
        uint32_t index;
        bool operator==(const Call& o) const
        {
            return what == o.what && session == o.session && category == o.category && index == o.index;
        }
    };
    static constexpr uint32_t kRefused = 0x8000000Au;  // "NoPermission": an unknown category

    std::vector<Param> params;
    std::map<std::pair<uint32_t, uint32_t>, uint32_t> readCodes;  // (x, y) of any address -> code
    std::vector<std::pair<uint32_t, uint32_t>> reads;
    uint32_t lastResolution = 0;
    std::string displayText;  // in place of "t<x>.<y>" when not empty
    std::map<std::string, Category> categories;
    std::vector<Call> calls;
    std::string longTitle;  // the title of snapshot 9 of every category when not empty

    uint32_t getIndexFromAddress(uint32_t& index, const SCP::ScpString& address) override
    {
        const std::string name = latin1Of(address);
        for (uint32_t i = 0; i < params.size(); ++i) {
            if (params[i].name == name) {
                index = i;
                return 0;
            }
        }
        return 0x80000005u;
    }
    uint32_t getAddress(SCP::ScpString& address, uint32_t index) override
    {
        if (index >= params.size()) return 0x80000005u;
        return address.fromLatin1(("GRID:" + params[index].name).c_str(), 0xFFFFFFFFu);
    }
    uint32_t getAddressNum() override { return static_cast<uint32_t>(params.size()); }
    uint32_t read(uint32_t x, uint32_t y)
    {
        reads.emplace_back(x, y);
        const auto it = readCodes.find({x, y});
        return it == readCodes.end() ? 0 : it->second;
    }
    uint32_t getValue(JVariant& value, uint8_t, uint32_t index, uint32_t x, uint32_t y) override
    {
        const uint32_t code = read(x, y);
        if (code & 0x80000000u) return code;
        switch (params[index].values) {
        case kInt: (void)value.setInt32(static_cast<int>(100 * y + x)); break;
        case kText: {
            const std::string text = "s" + std::to_string(x) + "." + std::to_string(y);
            (void)value.setString(text.c_str(), 64);
            break;
        }
        case kFloat: (void)value.setFloat(1.5f); break;
        }
        return code;
    }
    uint32_t getRatio(uint32_t& ratio, uint32_t resolution, uint8_t, uint32_t, uint32_t x, uint32_t y) override
    {
        const uint32_t code = read(x, y);
        lastResolution = resolution;
        ratio = resolution + x;
        return code;
    }
    uint32_t getText(SCP::ScpString& text, uint8_t, uint32_t, uint32_t x, uint32_t y) override
    {
        const uint32_t code = read(x, y);
        const std::string t = displayText.empty() ? "t" + std::to_string(x) + "." + std::to_string(y) : displayText;
        (void)text.fromLatin1(t.c_str(), 0xFFFFFFFFu);  // cut to the server's text
        return code;
    }
    uint32_t getAttrib(SCP::ScpAddressAttrib& attrib, uint32_t index) override
    {
        attrib.clear();
        if (index >= params.size()) return 0x80000005u;
        const Param& p = params[index];
        (void)attrib.address.fromLatin1(("GRID:" + p.name).c_str(), 0xFFFFFFFFu);
        attrib.xnum = p.xnum;
        attrib.ynum = p.ynum;
        attrib.min = p.min;
        attrib.max = p.max;
        attrib.def = p.def;
        attrib.unit = p.unit;
        attrib.type = static_cast<SCP::ScpAddressAttrib::Type>(p.type);
        attrib.uiType = static_cast<SCP::ScpAddressAttrib::UiType>(p.ui);
        attrib.access = static_cast<SCP::ScpAddressAttrib::Access>(p.access);
        attrib.scaling = p.scaling;
        return 0;
    }

    uint32_t getSnapshotNum(const SCP::ScpString& category) override
    {
        const auto it = categories.find(latin1Of(category));
        return it == categories.end() ? 0 : it->second.count;
    }
    uint32_t getSnapshotAttrib(SCP::ScpSnapshotAttrib& attrib, const SCP::ScpString& category,
                               uint32_t index) override
    {
        attrib.clear();
        const uint32_t code = check(latin1Of(category), index);
        if (code) return code;
        char numtext[12];
        std::snprintf(numtext, sizeof numtext, "%03u", index + 1);
        (void)attrib.numtext.fromLatin1(numtext, 0xFFFFFFFFu);
        const std::string title = index == 9 && !longTitle.empty() ? longTitle : "Title " + std::to_string(index);
        (void)attrib.title.fromLatin1(title.c_str(), 0xFFFFFFFFu);
        (void)attrib.comment.fromLatin1(("Comment " + std::to_string(index)).c_str(), 0xFFFFFFFFu);
        attrib.attrib = static_cast<SCP::ScpSnapshotAttrib::Attrib>(index % 5);  // 4 is outside the words
        return 0;
    }
    uint32_t getCurrentSnapshot(uint32_t& index, bool& modified, const SCP::ScpString& category) override
    {
        const auto it = categories.find(latin1Of(category));
        if (it == categories.end() || !it->second.hasCurrent) return kRefused;
        index = it->second.current;
        modified = it->second.modified;
        return 0;
    }
    uint32_t recallSnapshot(uint8_t session, const SCP::ScpString& category, uint32_t index) override
    {
        calls.push_back({"recall", session, latin1Of(category), index});
        return check(latin1Of(category), index);
    }
    uint32_t updateSnapshot(uint8_t session, const SCP::ScpString& category, uint32_t index) override
    {
        calls.push_back({"update", session, latin1Of(category), index});
        return check(latin1Of(category), index);
    }

private:
    uint32_t check(const std::string& category, uint32_t index) const
    {
        const auto it = categories.find(category);
        if (it == categories.end()) return kRefused;
        return index < it->second.count ? 0 : 0x80000004u;
    }
};

// Meters "MTR:<name>" of `num` values; value k of meter i is 16 * i + k.
class MeterBank : public SCP::ScpMeter {
public:
    struct Meter {
        std::string name;
        uint32_t num = 1;
        int32_t type = 0;
        std::wstring address;  // the attribute's text
        bool noAddress = false;
        uint32_t index = 0xFFFFFFFFu;  // the index the model answers in place of its position
    };
    std::vector<Meter> meters;
    uint32_t addressNum = 0xFFFFFFFFu;  // the count in place of the number of meters
    std::vector<uint8_t> values = std::vector<uint8_t>(256);

    MeterBank()
    {
        for (size_t i = 0; i < values.size(); ++i) values[i] = static_cast<uint8_t>(i);
    }
    uint32_t getIndexFromAddress(uint32_t& index, const SCP::ScpString& address) override
    {
        const std::string name = latin1Of(address);
        for (uint32_t i = 0; i < meters.size(); ++i) {
            if (meters[i].name == name) {
                index = meters[i].index != 0xFFFFFFFFu ? meters[i].index : i;
                return 0;
            }
        }
        return 0x80000005u;
    }
    uint32_t getAddress(SCP::ScpString& address, uint32_t index) override
    {
        if (index >= meters.size()) return 0x80000005u;
        return address.fromLatin1(("MTR:" + meters[index].name).c_str(), 0xFFFFFFFFu);
    }
    uint32_t getAddressNum() override
    {
        return addressNum != 0xFFFFFFFFu ? addressNum : static_cast<uint32_t>(meters.size());
    }
    uint32_t getMeters(const uint8_t*& out, uint32_t& count, uint32_t index) override
    {
        if (index >= meters.size()) return 0x80000005u;
        out = values.data() + 16 * index;
        count = meters[index].num;
        return 0;
    }
    uint32_t getAttrib(SCP::ScpMeterAttrib& attrib, uint32_t index) override
    {
        attrib.clear();
        if (index >= meters.size()) return 0x80000005u;
        const Meter& m = meters[index];
        attrib.address = m.noAddress ? nullptr : m.address.c_str();
        attrib.num = m.num;
        attrib.type = static_cast<SCP::ScpMeterAttrib::Type>(m.type);
        return 0;
    }
};

}  // namespace ScpTest
