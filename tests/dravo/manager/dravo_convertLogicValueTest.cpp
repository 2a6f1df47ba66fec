#include "dravo/manager/dravo_convertLogicValue.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "LogicCtrl/logic_LogicData.h"
#include "LogicCtrl/logic_LogicPortInfo.h"
#include "dravo/common/dravo_LogicPortInfo_V1.h"
#include "dravo/common/dravo_VariantType.h"
#include "jlib/JVariant.h"

namespace {

using DRAVO::VariantType;
using LogicCtrl::LogicData;

struct Converted {
    uint32_t result = 0x5A5A5A5A;  // poisoned: shows what the call wrote
    uint32_t type = 0x5A5A5A5A;
    float normalized = -1.0f;
    uint32_t dirty = 0x5A5A5A5A;
};

Converted convert(const LogicData& data, VariantType& value)
{
    Converted out;
    out.result = DRAVO::convertValue(out.type, value, out.normalized, out.dirty, data);
    return out;
}

}  // namespace

TEST(convertLogicValueTest, NumericPortsCarryTheirValueByKind)
{
    struct Case {
        const char* what;
        LogicCtrl::LogicDataType kind;
        JVariant value;
        JVariant minimum;
        JVariant maximum;
        uint32_t variantType;
    };
    const Case cases[] = {
        {"normalised", LogicCtrl::kLogicDataNormalized, JVariant(0.25f), JVariant(), JVariant(), VariantType::kTypeFloat},
        {"float", LogicCtrl::kLogicDataFloat, JVariant(-3.5f), JVariant(-10.0f), JVariant(10.0f),
         VariantType::kTypeFloat},
        {"unsigned", LogicCtrl::kLogicDataUInt, JVariant(7u), JVariant(0u), JVariant(10u), VariantType::kTypeUInt32},
        {"unsigned, kind 5", LogicCtrl::kLogicDataUInt2, JVariant(8u), JVariant(0u), JVariant(10u),
         VariantType::kTypeUInt32},
        {"unsigned, kind 6", LogicCtrl::kLogicDataUInt3, JVariant(9u), JVariant(0u), JVariant(10u),
         VariantType::kTypeUInt32},
        {"signed", LogicCtrl::kLogicDataSInt, JVariant(-4), JVariant(-10), JVariant(10), VariantType::kTypeInt32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const LogicData data(c.kind, c.value, nullptr, c.minimum, c.maximum);
        VariantType value;
        const Converted out = convert(data, value);
        EXPECT_EQ(0u, out.result);
        EXPECT_EQ(c.kind, out.type);
        ASSERT_EQ(c.variantType, value.type());
        // Each reader answers 0 for another type: all three compare.
        EXPECT_EQ(c.variantType == VariantType::kTypeFloat ? c.value.toFloat() : 0.0f, value.toFloat());
        EXPECT_EQ(c.variantType == VariantType::kTypeUInt32 ? c.value.toUInt32() : 0u, value.toUInt32());
        EXPECT_EQ(c.variantType == VariantType::kTypeInt32 ? c.value.toInt32() : 0, value.toInt32());
        EXPECT_EQ(data.getNormValue(), out.normalized);
        EXPECT_EQ(data.isDirty() ? 1u : 0u, out.dirty);
    }
}

TEST(convertLogicValueTest, TextPortsNeedRoomInTheValue)
{
    LogicData data(LogicCtrl::kLogicDataString, JVariant(), nullptr, JVariant(), JVariant());
    ASSERT_EQ(0u, data.setString("Hello"));

    VariantType roomy(16);
    Converted out = convert(data, roomy);
    EXPECT_EQ(0u, out.result);
    EXPECT_EQ(LogicCtrl::kLogicDataString, out.type);
    EXPECT_STREQ("Hello", roomy.toString());
    EXPECT_EQ(1u, out.dirty);

    VariantType tight(4);  // "Hel" fits: cut and reported
    out = convert(data, tight);
    EXPECT_EQ(0x80000000u, out.result);
    EXPECT_STREQ("Hel", tight.toString());
    EXPECT_EQ(LogicCtrl::kLogicDataString, out.type);
}

TEST(convertLogicValueTest, EventPortsCarryTheEventsNotYetConsumed)
{
    LogicData data(LogicCtrl::kLogicDataEvent, nullptr);
    ASSERT_EQ(0u, data.setEvent());
    ASSERT_EQ(0u, data.setEvent());
    VariantType value;
    const Converted out = convert(data, value);
    EXPECT_EQ(0u, out.result);
    EXPECT_EQ(LogicCtrl::kLogicDataEvent, out.type);
    ASSERT_EQ(VariantType::kTypeUInt32, value.type());
    EXPECT_EQ(2u, value.toUInt32());
}

TEST(convertLogicValueTest, APortWithoutDataGivesTheNeutralAnswer)
{
    VariantType value(8);
    (void)value.setUInt32(3);
    const Converted out = convert(LogicData(), value);
    EXPECT_EQ(0x80000000u, out.result);
    EXPECT_EQ(0u, out.type);
    EXPECT_EQ(VariantType::kTypeInvalid, value.type());
    EXPECT_EQ(0.0f, out.normalized);
    EXPECT_EQ(0u, out.dirty);
}

TEST(convertLogicValueTest, NumericLimitsBecomeDatabaseValuesOfTheirType)
{
    struct Case {
        const char* what;
        void (*set)(VariantType&);
        int jvariantType;
    };
    const Case cases[] = {
        {"invalid", [](VariantType&) {}, JVariant::kTypeInvalid},
        {"unsigned", [](VariantType& v) { (void)v.setUInt32(5); }, JVariant::kTypeUInt32},
        {"signed", [](VariantType& v) { (void)v.setInt32(-5); }, JVariant::kTypeInt32},
        {"float", [](VariantType& v) { (void)v.setFloat(0.5f); }, JVariant::kTypeFloat},
        {"64-bit", [](VariantType& v) { (void)v.setUInt64(5); }, JVariant::kTypeInvalid},
        {"double", [](VariantType& v) { (void)v.setDouble(0.5); }, JVariant::kTypeInvalid},
        {"text", [](VariantType& v) { (void)v.setString("5"); }, JVariant::kTypeInvalid},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        VariantType in(8);
        c.set(in);
        JVariant out(12345u);
        DRAVO::convertNumericValue(out, in);
        EXPECT_EQ(c.jvariantType, out.getType());
    }
    VariantType negative;
    (void)negative.setInt32(-5);
    JVariant out;
    DRAVO::convertNumericValue(out, negative);
    EXPECT_EQ(-5, out.toInt32());
}

TEST(convertLogicValueTest, PortRecordsBecomePortsInOrderWithUnknownKindsMadeNone)
{
    DRAVO::LogicPortInfo_V1 records[3];
    (void)records[0].name.setString("Level");
    records[0].type = 1;
    (void)records[0].expressionName.setString("dB");
    (void)records[0].min.setFloat(0.0f);
    (void)records[0].max.setFloat(1.0f);
    (void)records[1].name.setString("Count");
    records[1].type = 8;
    (void)records[1].min.setUInt32(2);
    (void)records[2].name.setString("Odd");
    records[2].type = 9;

    std::vector<LogicCtrl::LogicPortInfo> ports(5);  // emptied first
    EXPECT_EQ(0u, DRAVO::convertLogicPortInfoTable(ports, records, 3));
    ASSERT_EQ(3u, ports.size());
    EXPECT_EQ("Level", ports[0].m_name);
    EXPECT_EQ(1u, ports[0].m_type);
    EXPECT_EQ("dB", ports[0].m_expressionName);
    EXPECT_EQ(1.0f, ports[0].m_maximum.toFloat());
    EXPECT_EQ(8u, ports[1].m_type);
    EXPECT_EQ(2u, ports[1].m_minimum.toUInt32());
    EXPECT_FALSE(ports[1].m_maximum.isValid());
    EXPECT_EQ("Odd", ports[2].m_name);
    EXPECT_EQ(0u, ports[2].m_type);
    EXPECT_EQ("", ports[2].m_expressionName);

    EXPECT_EQ(0u, DRAVO::convertLogicPortInfoTable(ports, nullptr, 0));
    EXPECT_TRUE(ports.empty());
}
