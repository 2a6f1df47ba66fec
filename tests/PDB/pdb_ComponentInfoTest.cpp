#include "PDB/pdb_ComponentInfo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "PDB/pdb_ComponentInfoRepository.h"
#include "PDB/pdb_ParamRawArray.h"
#include "PDB/pdb_ParameterStrategy.h"

namespace {

using PDB::ComponentInfo;
using PDB::ParamAttr;

// Expected value of one JVariant field: its type and, for numbers, its 32 bits or float.
struct Value {
    int type;
    uint32_t bits;
    float f;
    const char* text;
};
Value none() { return {JVariant::kTypeInvalid, 0, 0, nullptr}; }
Value u32(uint32_t v) { return {JVariant::kTypeUInt32, v, 0, nullptr}; }
Value s32(int32_t v) { return {JVariant::kTypeInt32, static_cast<uint32_t>(v), 0, nullptr}; }
Value flt(float v) { return {JVariant::kTypeFloat, 0, v, nullptr}; }
Value str(const char* v) { return {JVariant::kTypeString, 0, 0, v}; }

void expectValue(const char* what, const Value& want, const JVariant& got)
{
    SCOPED_TRACE(what);
    ASSERT_EQ(want.type, got.getType());
    if (want.type == JVariant::kTypeFloat) {
        EXPECT_EQ(want.f, got.toFloat());
    } else if (want.type == JVariant::kTypeInt32 || want.type == JVariant::kTypeUInt32) {
        EXPECT_EQ(want.bits, got.toUInt32());
    } else if (want.type == JVariant::kTypeString) {
        EXPECT_STREQ(want.text, got.toString());
    }
}

ComponentInfo initialized(const char* name, uint32_t version, uint32_t minX = 1, uint32_t minY = 1,
                          uint32_t maxX = 16, uint32_t maxY = 16)
{
    ComponentInfo info;
    EXPECT_EQ(0u, info.initialize(name, version, minX, minY, maxX, maxY, "ch", "band", nullptr));
    return info;
}

JLIB::JResult addU32(ComponentInfo& info, const char* address, uint32_t patternX = 1, uint32_t patternY = 1)
{
    return info.addAddressUINT32(address, patternX, patternY, "", "", 0, 100, 5, 0, 1, 1, ParamAttr(0, 0x0F), "",
                                 "", "");
}

std::string captured(const std::function<void()>& action)
{
    testing::internal::CaptureStdout();
    action();
    return testing::internal::GetCapturedStdout();
}

}  // namespace

TEST(ComponentInfoTest, InitializeChecksTheSizeLimits)
{
    struct Case {
        uint32_t minX, minY, maxX, maxY;
        JLIB::JResult result;
    };
    const Case cases[] = {
        {1, 1, 1, 1, 0},
        {1, 1, 0xFFFF, 0xFFFF, 0},
        {3, 2, 8, 4, 0},
        {0, 1, 4, 4, 0x80000001},
        {1, 0, 4, 4, 0x80000001},
        {1, 1, 0x10000, 4, 0x80000001},
        {1, 1, 4, 0x10000, 0x80000001},
        {5, 1, 4, 4, 0x80000001},
        {1, 5, 4, 4, 0x80000001},
        {1, 1, 0, 4, 0x80000001},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.minX << "," << c.minY << "," << c.maxX << "," << c.maxY);
        ComponentInfo info;
        ASSERT_EQ(0u, addU32(info, "stale"));  // initialize must drop what was there
        EXPECT_EQ(c.result, info.initialize("Mixer", 2, c.minX, c.minY, c.maxX, c.maxY, "ch", "band", nullptr));
        EXPECT_FALSE(info.isValid());
        EXPECT_EQ(0u, info.addressNum());
        if (JLIB::isFailure(c.result)) {
            EXPECT_EQ(-1, info.generation());
            EXPECT_EQ("", info.componentName());
            continue;
        }
        EXPECT_EQ(0, info.generation());
        EXPECT_EQ("Mixer", info.componentName());
        EXPECT_EQ(2u, info.componentVersion());
        EXPECT_EQ(c.minX, info.numX());
        EXPECT_EQ(c.minY, info.numY());
        EXPECT_EQ(c.maxX, info.maxX());
        EXPECT_EQ(c.maxY, info.maxY());
        EXPECT_EQ("ch", info.commentX());
        EXPECT_EQ("band", info.commentY());
        EXPECT_EQ(nullptr, info.parameterStrategy());
        EXPECT_FALSE(info.uniqId().isValid());
    }
}

TEST(ComponentInfoTest, AddOperationsStoreValuesAsTheTypeTableSays)
{
    const ParamAttr attr(0, 0x13);
    struct Case {
        const char* what;
        std::function<JLIB::JResult(ComponentInfo&)> add;
        uint8_t type;
        uint32_t itemSize;
        Value min, max, def, nominal, step;
        uint32_t scaling;
    };
    const Case cases[] = {
        {"UINT32",
         [&](ComponentInfo& i) {
             return i.addAddressUINT32("a", 1, 1, "x", "y", 1, 0xFFFFFFFF, 7, 3, 2, 10, attr, "dB", "Level", "ui");
         },
         PDB::kTypeUInt32, 4, u32(1), u32(0xFFFFFFFF), u32(7), u32(3), u32(2), 10},
        {"UINT32 nominal equal to min",
         [&](ComponentInfo& i) {
             return i.addAddressUINT32("a", 1, 1, "x", "y", 4, 9, 7, 4, 2, 10, attr, "dB", "Level", "ui");
         },
         PDB::kTypeUInt32, 4, u32(4), u32(9), u32(7), none(), u32(2), 10},
        {"UINT16",
         [&](ComponentInfo& i) {
             return i.addAddressUINT16("a", 1, 1, "x", "y", 0, 0xFFFF, 9, 1, 5, 3, attr, "dB", "Level", "ui");
         },
         PDB::kTypeUInt16, 2, u32(0), u32(0xFFFF), u32(9), u32(1), u32(5), 3},
        {"UINT8",
         [&](ComponentInfo& i) {
             return i.addAddressUINT8("a", 1, 1, "x", "y", 2, 200, 9, 2, 5, 3, attr, "dB", "Level", "ui");
         },
         PDB::kTypeUInt8, 1, u32(2), u32(200), u32(9), none(), u32(5), 3},
        {"SINT32",
         [&](ComponentInfo& i) {
             return i.addAddressSINT32("a", 1, 1, "x", "y", -100, 100, -5, 0, 0xFFFFFFFF, 1, attr, "dB", "Level", "ui");
         },
         PDB::kTypeSInt32, 4, s32(-100), s32(100), s32(-5), s32(0), u32(0xFFFFFFFF), 1},
        {"SINT16",
         [&](ComponentInfo& i) {
             return i.addAddressSINT16("a", 1, 1, "x", "y", -32768, 32767, -1, -32768, 1, 1, attr, "dB", "Level", "ui");
         },
         PDB::kTypeSInt16, 2, s32(-32768), s32(32767), s32(-1), none(), u32(1), 1},
        {"SINT8",
         [&](ComponentInfo& i) {
             return i.addAddressSINT8("a", 1, 1, "x", "y", -128, 127, 0, 5, 1, 1, attr, "dB", "Level", "ui");
         },
         PDB::kTypeSInt8, 1, s32(-128), s32(127), s32(0), s32(5), u32(1), 1},
        {"FLOAT nominal kept",
         [&](ComponentInfo& i) {
             return i.addAddressFLOAT("a", 1, 1, "x", "y", -1.5f, 2.5f, 0.5f, 1.0f, 0.25f, 100, attr, "dB", "Level",
                                      "ui");
         },
         PDB::kTypeFloat, 4, flt(-1.5f), flt(2.5f), flt(0.5f), flt(1.0f), flt(0.25f), 100},
        {"FLOAT nominal equal to min",
         [&](ComponentInfo& i) {
             return i.addAddressFLOAT("a", 1, 1, "x", "y", -1.5f, 2.5f, 0.5f, -1.5f, 0.25f, 100, attr, "dB", "Level",
                                      "ui");
         },
         PDB::kTypeFloat, 4, flt(-1.5f), flt(2.5f), flt(0.5f), none(), flt(0.25f), 100},
        {"BOOL",
         [&](ComponentInfo& i) {
             return i.addAddressBOOL("a", 1, 1, "x", "y", 0, 5, 7, attr, "dB", "Level", "ui");
         },
         PDB::kTypeBool, 1, u32(0), u32(1), u32(1), none(), u32(1), 1},
        {"STRING",
         [&](ComponentInfo& i) {
             return i.addAddressSTRING("a", 1, 1, "x", "y", 16, "a default longer than sixteen", attr, "dB",
                                       "Level", "ui");
         },
         PDB::kTypeString, 16, u32(0), u32(0), str("a default longer than sixteen"), none(), u32(0), 0},
        {"STRING null default",
         [&](ComponentInfo& i) {
             return i.addAddressSTRING("a", 1, 1, "x", "y", 8, nullptr, attr, "dB", "Level", "ui");
         },
         PDB::kTypeString, 8, u32(0), u32(0), str(""), none(), u32(0), 0},
        {"BINARY",
         [&](ComponentInfo& i) {
             return i.addAddressBINARY("a", 1, 1, "x", "y", 33, attr, "dB", "Level", "ui");
         },
         PDB::kTypeBinary, 33, u32(0), u32(0), u32(0), none(), u32(0), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ComponentInfo info = initialized("Types", 1);
        ASSERT_EQ(0u, c.add(info));
        ASSERT_TRUE(info.isValid());
        ASSERT_EQ(1u, info.addressNum());
        const PDB::ParameterInfo& p = info.paramInfo(0);
        EXPECT_EQ("a", p.strAddress);
        EXPECT_EQ(c.type, p.type);
        EXPECT_EQ(c.itemSize, p.itemSize);
        EXPECT_EQ(1u, p.numX);
        EXPECT_EQ(1u, p.numY);
        EXPECT_EQ("x", p.commentX);
        EXPECT_EQ("y", p.commentY);
        EXPECT_EQ("dB", p.unit);
        EXPECT_EQ("Level", p.kind);
        EXPECT_EQ("ui", p.defUI);
        EXPECT_EQ(0x13, p.attr.flags());
        EXPECT_EQ(c.scaling, p.scaling);
        expectValue("min", c.min, p.min);
        expectValue("max", c.max, p.max);
        expectValue("def", c.def, p.def);
        expectValue("nominal", c.nominal, p.nominal);
        expectValue("step", c.step, p.step);
        EXPECT_TRUE(p.isValid());
    }
}

TEST(ComponentInfoTest, AddingAnAddressAgainRefillsItsSlot)
{
    ComponentInfo info = initialized("Refill", 1);
    ASSERT_EQ(0u, addU32(info, "gain"));
    ASSERT_EQ(0u, addU32(info, "mute"));
    ASSERT_EQ(0u, info.addAddressFLOAT("gain", 2, 1, nullptr, nullptr, 0.f, 1.f, 0.5f, 0.f, 0.1f, 1, ParamAttr(),
                                       nullptr, nullptr, nullptr));
    EXPECT_EQ(2u, info.addressNum());
    EXPECT_EQ(0u, info.addressIndex("gain"));
    EXPECT_EQ(1u, info.addressIndex("mute"));
    const PDB::ParameterInfo& p = info.paramInfo(0);
    EXPECT_EQ(PDB::kTypeFloat, p.type);
    EXPECT_EQ(2u, p.numX);
    EXPECT_EQ("", p.unit);  // null texts are stored empty
    expectValue("def", flt(0.5f), p.def);
    EXPECT_EQ(ComponentInfo::kInvalidIndex, info.addressIndex("Gain"));  // exact, case-sensitive
    EXPECT_EQ(ComponentInfo::kInvalidIndex, info.addressIndex(nullptr));
}

TEST(ComponentInfoTest, ASlotWithoutAddressIsTakenOverWithoutAStaleIndexEntry)
{
    ComponentInfo info = initialized("Empty", 1);
    ASSERT_EQ(0u, addU32(info, ""));
    EXPECT_EQ(0u, info.addressIndex(""));
    ASSERT_EQ(0u, addU32(info, "level"));
    EXPECT_EQ(1u, info.addressNum());
    EXPECT_EQ(0u, info.addressIndex("level"));
    EXPECT_EQ(ComponentInfo::kInvalidIndex, info.addressIndex(""));
}

TEST(ComponentInfoTest, ParamInfoOutsideTheListIsTheSharedEmptyDefinition)
{
    ComponentInfo info = initialized("Outside", 1);
    ASSERT_EQ(0u, addU32(info, "a"));
    const PDB::ParameterInfo& first = info.paramInfo(1);
    const PDB::ParameterInfo& second = ComponentInfo().paramInfo(0xFFFFFFFF);
    EXPECT_EQ(&first, &second);
    EXPECT_EQ("<unknown>", first.strAddress);
    EXPECT_EQ(0, first.type);
    EXPECT_EQ(ComponentInfo::kInvalidIndex, info.addressIndex("b"));
}

TEST(ComponentInfoTest, SizePatternsFollowTheComponentSizes)
{
    ComponentInfo info = initialized("Shapes", 1, 2, 3, 10, 8);
    const uint32_t kMultiple = 0x10000000u, kFraction = 0x20000000u;
    ASSERT_EQ(0u, addU32(info, "fixed", 5, 1));
    ASSERT_EQ(0u, addU32(info, "times", kMultiple | 2, kMultiple | 1));
    ASSERT_EQ(0u, addU32(info, "part", kFraction | 4, kFraction | 2));
    struct Case {
        uint32_t x, y;
        int16_t generation;
        JLIB::JResult result;
        uint32_t numX, numY;
        uint32_t fixedX, timesX, timesY, partX, partY;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 2, 3, 5, 4, 3, 1, 2},  // as after initialize: the minima
        {10, 8, 7, 0, 10, 8, 5, 20, 8, 3, 4},
        {0, 0, -3, 0, 2, 3, 5, 4, 3, 1, 2},
        {11, 3, 9, 0x80000001, 2, 3, 5, 4, 3, 1, 2},  // refused: nothing changes
        {2, 9, 9, 0x80000001, 2, 3, 5, 4, 3, 1, 2},
        {1, 3, 9, 0x80000001, 2, 3, 5, 4, 3, 1, 2},
    };
    int16_t generation = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "x" << c.y);
        EXPECT_EQ(c.result, info.resize(c.x, c.y, c.generation));
        if (JLIB::isSuccess(c.result)) generation = c.generation;
        EXPECT_EQ(generation, info.generation());
        EXPECT_EQ(c.numX, info.numX());
        EXPECT_EQ(c.numY, info.numY());
        EXPECT_EQ(c.fixedX, info.paramInfo(0).numX);
        EXPECT_EQ(1u, info.paramInfo(0).numY);
        EXPECT_EQ(c.timesX, info.paramInfo(1).numX);
        EXPECT_EQ(c.timesY, info.paramInfo(1).numY);
        EXPECT_EQ(c.partX, info.paramInfo(2).numX);
        EXPECT_EQ(c.partY, info.paramInfo(2).numY);
    }
}

TEST(ComponentInfoTest, ResizeOfADefinitionWithoutParametersIsRefused)
{
    ComponentInfo info = initialized("Bare", 1, 1, 1, 4, 4);
    EXPECT_EQ(0x80000001u, info.resize(2, 2, 1));
    EXPECT_EQ(0, info.generation());
    EXPECT_EQ(1u, info.numX());
    EXPECT_EQ(0x80000001u, ComponentInfo().resize(1, 1, 1));
}

TEST(ComponentInfoTest, AddRefusesShapesWhoseStorageOverflowsAndChangesNothing)
{
    ComponentInfo info = initialized("Huge", 1, 1, 1, 0xFFFF, 0xFFFF);
    ASSERT_EQ(0u, addU32(info, "keep"));
    struct Case {
        const char* what;
        std::function<JLIB::JResult(ComponentInfo&)> add;
    };
    const Case cases[] = {
        {"text slot rounds past 32 bits",
         [](ComponentInfo& i) {
             return i.addAddressSTRING("s", 1, 1, "", "", 0xFFFFFFFF, "", ParamAttr(), "", "", "");
         }},
        {"byte blocks times count past 32 bits",
         [](ComponentInfo& i) {
             return i.addAddressBINARY("b", 0xFFFF, 0xFFFF, "", "", 0x10000, ParamAttr(), "", "", "");
         }},
        {"pattern count 0", [](ComponentInfo& i) { return addU32(i, "z", 0x10000000u, 1); }},
        {"re-add of an existing address", [](ComponentInfo& i) {
             return i.addAddressSTRING("keep", 1, 1, "", "", 0xFFFFFFFD, "", ParamAttr(), "", "", ""); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing::internal::CaptureStdout();
        EXPECT_EQ(0x80000001u, c.add(info));
        (void)testing::internal::GetCapturedStdout();
        EXPECT_EQ(1u, info.addressNum());
        EXPECT_EQ(PDB::kTypeUInt32, info.paramInfo(0).type);
        EXPECT_EQ("keep", info.paramInfo(0).strAddress);
    }
    // The largest slot that still fits is accepted.
    EXPECT_EQ(0u, info.addAddressBINARY("big", 1, 1, "", "", 0xFFFFFFFC, ParamAttr(), "", "", ""));
}

TEST(ComponentInfoTest, CopiesAreDeepAndMovesTakeOver)
{
    PDB::ParameterStrategy strategy;
    ComponentInfo original = initialized("Deep", 3, 1, 1, 8, 8);
    ASSERT_EQ(0u, original.setParameterStrategy(&strategy));
    ASSERT_EQ(0u, addU32(original, "a", 0x10000000u | 1));
    ASSERT_EQ(0u, addU32(original, "b"));
    ASSERT_EQ(0u, original.setUserName("desk"));
    ASSERT_EQ(0u, original.setAttribute(0x12345));
    ASSERT_EQ(0u, original.setUniqId(PDB::UniqId(77)));

    ComponentInfo copy(original);
    ASSERT_EQ(0u, copy.resize(4, 1, 5));
    ASSERT_EQ(0u, copy.addAddressBOOL("a", 1, 1, "", "", 0, 1, 0, ParamAttr(), "", "", ""));
    EXPECT_NE(&original.paramInfo(0), &copy.paramInfo(0));
    EXPECT_EQ(PDB::kTypeUInt32, original.paramInfo(0).type);
    EXPECT_EQ(1u, original.paramInfo(0).numX);
    EXPECT_EQ(PDB::kTypeBool, copy.paramInfo(0).type);
    EXPECT_EQ(1u, copy.addressIndex("b"));
    EXPECT_EQ(&strategy, copy.parameterStrategy());
    EXPECT_EQ("desk", copy.userName());
    EXPECT_EQ(0x12345u, copy.attribute());
    EXPECT_EQ(77u, copy.uniqId().id());

    ComponentInfo assigned;
    assigned = original;
    ComponentInfo& self = assigned;
    assigned = self;
    EXPECT_EQ(2u, assigned.addressNum());
    EXPECT_EQ(1u, assigned.addressIndex("b"));
    EXPECT_EQ("b", assigned.paramInfo(1).strAddress);

    const PDB::ParameterInfo* held = &assigned.paramInfo(1);
    ComponentInfo moved(std::move(assigned));
    EXPECT_EQ(held, &moved.paramInfo(1));
    EXPECT_EQ(1u, moved.addressIndex("b"));
    EXPECT_EQ("Deep", moved.componentName());
}

TEST(ComponentInfoTest, ClearEmptiesAllButTheStrategy)
{
    PDB::ParameterStrategy strategy;
    ComponentInfo info = initialized("Clear", 1, 2, 2, 4, 4);
    ASSERT_EQ(0u, info.setParameterStrategy(&strategy));
    ASSERT_EQ(0u, addU32(info, "a"));
    ASSERT_EQ(0u, info.setUserName("n"));
    ASSERT_EQ(0u, info.setUniqId(PDB::UniqId(1)));
    EXPECT_EQ(0u, info.clear());
    EXPECT_FALSE(info.isValid());
    EXPECT_EQ(-1, info.generation());
    EXPECT_EQ("", info.componentName());
    EXPECT_EQ("", info.userName());
    EXPECT_FALSE(info.uniqId().isValid());
    EXPECT_EQ(1u, info.numX());
    EXPECT_EQ(1u, info.minX());
    EXPECT_EQ(ComponentInfo::kInvalidIndex, info.addressIndex("a"));
    EXPECT_EQ(&strategy, info.parameterStrategy());
    EXPECT_EQ(&PDB::ParameterStrategy::getNullObject(), ComponentInfo().parameterStrategy());
}

TEST(ComponentInfoTest, StringToBinaryCutsAndZeroFillsInsideTheField)
{
    struct Case {
        const char* text;
        uint32_t width;
        JLIB::JResult result;
        const char* stored;
    };
    const Case cases[] = {
        {"abc", 6, 0, "abc"},
        {"abcdef", 4, 0, "abc"},
        {"", 3, 0, ""},
        {nullptr, 3, 0, ""},
        {"abc", 0, 0x80000001, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "(null)");
        uint8_t buffer[10];
        std::memset(buffer, 0xA5, sizeof(buffer));
        EXPECT_EQ(c.result, PDB::stringToBinary(buffer + 1, c.width, c.text));
        EXPECT_EQ(0xA5, buffer[0]);
        EXPECT_EQ(0xA5, buffer[1 + c.width]);
        if (!c.stored) continue;
        EXPECT_STREQ(c.stored, reinterpret_cast<const char*>(buffer + 1));
        for (uint32_t i = std::strlen(c.stored); i < c.width; ++i) EXPECT_EQ(0, buffer[1 + i]);
    }
    EXPECT_EQ(0x80000001u, PDB::stringToBinary(nullptr, 4, "x"));
}

TEST(ComponentInfoTest, ExportWritesTheBigEndianDefinitionImage)
{
    const std::string longName = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcd";  // 30 characters
    ComponentInfo info = initialized(longName.c_str(), 0x01020304, 1, 1, 0x1234, 16);
    ASSERT_EQ(0u, addU32(info, "a"));
    ASSERT_EQ(0u, addU32(info, "b"));
    ASSERT_EQ(0u, info.resize(0x1234, 5, 0));
    ASSERT_EQ(0u, info.setUniqId(PDB::UniqId(0xA1B2C3D4)));
    ASSERT_EQ(0u, info.setUserName(std::string(60, 'u').c_str()));
    ASSERT_EQ(0u, info.setAttribute(0xABCD8765));
    ASSERT_EQ(92u, info.exportSize());

    uint8_t image[96];
    std::memset(image, 0xEE, sizeof(image));
    EXPECT_EQ(0u, info.exportBinary(image, 92));
    const uint8_t head[] = {'#', 'C', 'I', '1', 0xA1, 0xB2, 0xC3, 0xD4};
    EXPECT_EQ(0, std::memcmp(head, image, sizeof(head)));
    EXPECT_EQ(0, std::memcmp(longName.data(), image + 8, 23));
    EXPECT_EQ(0, image[31]);
    const uint8_t mid[] = {0x01, 0x02, 0x03, 0x04, 0x12, 0x34, 0x00, 0x05};
    EXPECT_EQ(0, std::memcmp(mid, image + 32, sizeof(mid)));
    EXPECT_EQ(std::string(47, 'u'), std::string(reinterpret_cast<const char*>(image + 40)));
    const uint8_t tail[] = {0x00, 0x02, 0x87, 0x65};
    EXPECT_EQ(0, std::memcmp(tail, image + 88, sizeof(tail)));
    EXPECT_EQ(0xEE, image[92]);  // nothing beyond the image

    EXPECT_EQ(0x80000001u, info.exportBinary(image, 91));
    EXPECT_EQ(0x80000001u, info.exportBinary(nullptr, 92));
}

TEST(ComponentInfoTest, ImportTakesTheRegisteredTypeAndTheImageFields)
{
    // The registered type is the 23-character cut of the name the writer held.
    ComponentInfo registered = initialized("ImportTypeWithALongName", 4, 2, 1, 8, 3);
    ASSERT_EQ(0u, addU32(registered, "gain", 0x10000000u | 1));
    ASSERT_EQ(0u, addU32(registered, "mute"));
    ASSERT_EQ(0u, PDB::getComponentInfoRepository().addComponentInfo(registered));

    ComponentInfo writer = initialized("ImportTypeWithALongNameAndMore", 4, 1, 1, 8, 3);
    ASSERT_EQ(0u, addU32(writer, "x"));
    ASSERT_EQ(0u, writer.resize(6, 2, 9));
    ASSERT_EQ(0u, writer.setUniqId(PDB::UniqId(31)));
    ASSERT_EQ(0u, writer.setUserName("front"));
    ASSERT_EQ(0u, writer.setAttribute(0x30001));
    uint8_t image[92];
    ASSERT_EQ(0u, writer.exportBinary(image, sizeof(image)));

    ComponentInfo reader;
    uint32_t records = 0xA5A5A5A5;
    EXPECT_EQ(0u, reader.importBinary(image, 92, records));
    EXPECT_EQ(1u, records);
    EXPECT_EQ("ImportTypeWithALongName", reader.componentName());
    EXPECT_EQ(2u, reader.addressNum());
    EXPECT_EQ(1u, reader.addressIndex("mute"));
    EXPECT_EQ(31u, reader.uniqId().id());
    EXPECT_EQ("front", reader.userName());
    EXPECT_EQ(1u, reader.attribute());
    EXPECT_EQ(6u, reader.numX());
    EXPECT_EQ(2u, reader.numY());
    EXPECT_EQ(6u, reader.paramInfo(0).numX);
    EXPECT_EQ(0, reader.generation());
}

TEST(ComponentInfoTest, ImportRefusesImagesItCannotTake)
{
    ComponentInfo registered = initialized("ImportChecks", 1, 2, 3, 8, 8);
    ASSERT_EQ(0u, addU32(registered, "a"));
    ASSERT_EQ(0u, PDB::getComponentInfoRepository().addComponentInfo(registered));
    ComponentInfo writer = registered;
    uint8_t good[92];
    ASSERT_EQ(0u, writer.exportBinary(good, sizeof(good)));

    struct Case {
        const char* what;
        std::function<void(uint8_t*)> edit;
        uint32_t length;
        JLIB::JResult result;
        bool untouched;  // the previous content stays
        uint32_t numX, numY;
        const char* log;
    };
    const Case cases[] = {
        {"exactly 92 bytes", [](uint8_t*) {}, 92, 0, false, 2, 3, ""},
        {"sizes 0 stand for the minima", [](uint8_t* p) { p[37] = 0; p[39] = 0; }, 92, 0, false, 2, 3, ""},
        {"sizes inside the limits", [](uint8_t* p) { p[37] = 8; p[39] = 5; }, 92, 0, false, 8, 5, ""},
        {"91 bytes", [](uint8_t*) {}, 91, 0x80000001, true, 0, 0, "[E] ComponentInfo::importBinary - "},
        {"wrong magic", [](uint8_t* p) { p[3] = '2'; }, 92, ComponentInfo::kBadMagic, false, 0, 0,
         "[E] ComponentInfo::importBinary - "},
        {"unknown version", [](uint8_t* p) { p[35] = 2; }, 92, 0x80000002, false, 0, 0,
         "[E] ComponentInfo::importBinary - Unknown ComponentInfo found. [name=ImportChecks, ver=2]\n"},
        {"name without terminator", [](uint8_t* p) { std::memset(p + 8, 'N', 24); }, 92, 0x80000002, false, 0, 0,
         "[E] ComponentInfo::importBinary - Unknown ComponentInfo found. [name=NNNNNNNNNNNNNNNNNNNNNNNN, ver=1]\n"},
        {"X above the maximum", [](uint8_t* p) { p[37] = 9; }, 92, 0x80000001, false, 0, 0,
         "[E] ComponentInfo::importBinary - "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        uint8_t image[92];
        std::memcpy(image, good, sizeof(image));
        c.edit(image);
        ComponentInfo reader = initialized("Before", 1);
        ASSERT_EQ(0u, addU32(reader, "old"));
        uint32_t records = 0xA5A5A5A5;
        JLIB::JResult result = 0;
        const std::string log = captured([&] { result = reader.importBinary(image, c.length, records); });
        EXPECT_EQ(c.result, result);
        EXPECT_EQ(0, log.compare(0, std::strlen(c.log), c.log)) << log;
        if (JLIB::isSuccess(c.result)) {
            EXPECT_EQ(1u, records);
            EXPECT_EQ("ImportChecks", reader.componentName());
            EXPECT_EQ(c.numX, reader.numX());
            EXPECT_EQ(c.numY, reader.numY());
            continue;
        }
        EXPECT_EQ(0u, records);
        if (c.untouched) {
            EXPECT_EQ("Before", reader.componentName());
            EXPECT_TRUE(reader.isValid());
        } else {
            EXPECT_EQ("", reader.componentName());
            EXPECT_FALSE(reader.isValid());
            EXPECT_EQ(-1, reader.generation());
        }
    }
    ComponentInfo reader;
    uint32_t records = 0xA5A5A5A5;
    EXPECT_EQ(0x80000001u, reader.importBinary(nullptr, 92, records));
    EXPECT_EQ(0u, records);
}
