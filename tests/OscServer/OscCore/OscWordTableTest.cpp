// The word tables of the three attribute records, both directions.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "OscServer/OscCore/OscAddressAttrib.h"
#include "OscServer/OscCore/OscMeterAttrib.h"
#include "OscServer/OscCore/OscSnapshotAttrib.h"

using JOSC::OscAddressAttrib;
using JOSC::OscMeterAttrib;
using JOSC::OscSnapshotAttrib;

namespace {

struct Table {
    const char* name;
    std::vector<const char*> words;
    std::function<std::string(int32_t)> toWord;
    // Result and value of the reverse lookup; the value is poisoned first.
    std::function<JLIB::JResult(const char*, int32_t&)> fromWord;
};

std::vector<Table> tables()
{
    return {
        {"address type",
         {"integer", "freq", "binary", "string", "float"},
         [](int32_t v) {
             OscAddressAttrib a;
             a.type = OscAddressAttrib::Type(v);
             return a.typeToString();
         },
         [](const char* t, int32_t& v) {
             auto e = OscAddressAttrib::Type(99);
             const JLIB::JResult r = OscAddressAttrib::stringToType(e, t);
             v = e;
             return r;
         }},
        {"ui type",
         {"any", "fader", "latchsw", "unlatchsw", "list", "knob"},
         [](int32_t v) {
             OscAddressAttrib a;
             a.uiType = OscAddressAttrib::UiType(v);
             return a.uiTypeToString();
         },
         [](const char* t, int32_t& v) {
             auto e = OscAddressAttrib::UiType(99);
             const JLIB::JResult r = OscAddressAttrib::stringToUiType(e, t);
             v = e;
             return r;
         }},
        {"access",
         {"rw", "r", "w"},
         [](int32_t v) {
             OscAddressAttrib a;
             a.access = OscAddressAttrib::Access(v);
             return a.accessToString();
         },
         [](const char* t, int32_t& v) {
             auto e = OscAddressAttrib::Access(99);
             const JLIB::JResult r = OscAddressAttrib::stringToAccess(e, t);
             v = e;
             return r;
         }},
        {"meter type",
         {"level", "hold", "gr", "vu"},
         [](int32_t v) {
             OscMeterAttrib a;
             a.type = OscMeterAttrib::Type(v);
             return a.typeToString();
         },
         [](const char* t, int32_t& v) {
             auto e = OscMeterAttrib::Type(99);
             const JLIB::JResult r = OscMeterAttrib::stringToType(e, t);
             v = e;
             return r;
         }},
        {"snapshot attribute",
         {"empty", "user", "preinst", "reserve"},
         [](int32_t v) {
             OscSnapshotAttrib a;
             a.attrib = OscSnapshotAttrib::Attrib(v);
             return a.attribToString();
         },
         [](const char* t, int32_t& v) {
             auto e = OscSnapshotAttrib::Attrib(99);
             const JLIB::JResult r = OscSnapshotAttrib::stringToAttrib(e, t);
             v = e;
             return r;
         }},
    };
}

}  // namespace

TEST(OscWordTableTest, EveryValueHasItsWordAndBack)
{
    for (const Table& table : tables()) {
        SCOPED_TRACE(table.name);
        for (size_t i = 0; i < table.words.size(); ++i) {
            SCOPED_TRACE(table.words[i]);
            EXPECT_EQ(table.words[i], table.toWord(static_cast<int32_t>(i)));
            int32_t value = -1;
            EXPECT_EQ(0u, table.fromWord(table.words[i], value));
            EXPECT_EQ(static_cast<int32_t>(i), value);
        }
    }
}

TEST(OscWordTableTest, ValuesOutsideTheTableGiveAQuestionMark)
{
    for (const Table& table : tables()) {
        SCOPED_TRACE(table.name);
        const auto size = static_cast<int32_t>(table.words.size());
        for (int32_t value : {size, size + 1, -1, INT32_MIN, INT32_MAX}) {
            SCOPED_TRACE(value);
            EXPECT_EQ("?", table.toWord(value));
        }
    }
}

TEST(OscWordTableTest, OnlyAnExactWordMatchesElseZero)
{
    for (const Table& table : tables()) {
        SCOPED_TRACE(table.name);
        std::string capital = table.words[1];
        capital[0] = static_cast<char>(capital[0] - 'a' + 'A');
        const std::string longer = std::string(table.words[1]) + " ";
        const std::string prefix = std::string(table.words[1]).substr(0, 1) + "x";
        for (const char* text : {capital.c_str(), longer.c_str(), prefix.c_str(), "", "?", "unknown",
                                 static_cast<const char*>(nullptr)}) {
            SCOPED_TRACE(text ? text : "(null)");
            int32_t value = -1;
            EXPECT_EQ(0x80000000u, table.fromWord(text, value));
            EXPECT_EQ(0, value);
        }
    }
}

TEST(OscWordTableTest, ClearResetsEveryRecord)
{
    OscAddressAttrib address;
    address.address = "uz:A";
    address.xSize = 2;
    address.ySize = 3;
    address.minimum = -4;
    address.maximum = 5;
    address.infoValue = 6;
    address.infoText = "info";
    address.type = OscAddressAttrib::kTypeFloat;
    address.uiType = OscAddressAttrib::kUiTypeKnob;
    address.access = OscAddressAttrib::kAccessWrite;
    address.scaling = 7;
    address.clear();
    EXPECT_EQ("", address.address);
    EXPECT_EQ(0u, address.xSize + address.ySize);
    EXPECT_EQ(0, address.minimum);
    EXPECT_EQ(0, address.maximum);
    EXPECT_FALSE(address.infoValue.isValid());
    EXPECT_EQ(nullptr, address.infoText);
    EXPECT_EQ(0, address.type);
    EXPECT_EQ(0, address.uiType);
    EXPECT_EQ(0, address.access);
    EXPECT_EQ(0, address.scaling);
    EXPECT_FALSE(OscAddressAttrib().infoValue.isValid());

    OscMeterAttrib meter;
    meter.address = "uz:M";
    meter.count = 64;
    meter.type = OscMeterAttrib::kTypeVu;
    meter.clear();
    EXPECT_EQ("", meter.address);
    EXPECT_EQ(0u, meter.count);
    EXPECT_EQ(0, meter.type);

    OscSnapshotAttrib snapshot;
    snapshot.name = "12";
    snapshot.title = "t";
    snapshot.comment = "c";
    snapshot.attrib = OscSnapshotAttrib::kAttribReserve;
    snapshot.clear();
    EXPECT_EQ("", snapshot.name + snapshot.title + snapshot.comment);
    EXPECT_EQ(0, snapshot.attrib);
}
