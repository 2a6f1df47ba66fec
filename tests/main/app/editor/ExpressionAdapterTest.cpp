// Value texts and the editor's parameter descriptions: ExpressionAdapter and ParameterConvertor.
#include "editor/ExpressionAdapter.h"

#include <gtest/gtest.h>

#include <string>

#include "PDB/pdb_ParamRawArray.h"
#include "PDB/pdb_ParameterInfo.h"
#include "editor/ArgumentMap.h"
#include "editor/ParameterConvertor.h"

using VDProtocol::ArgumentMap;
using VDProtocol::ExpressionAdapter;
using VDProtocol::ParameterConvertor;

namespace {

PDB::ParameterInfo info(uint8_t type, const char* kind = "", int min = 0, int max = 100)
{
    PDB::ParameterInfo i;
    i.strAddress = "/P";
    i.type = type;
    i.kind = kind;
    i.min = JVariant(min);
    i.max = JVariant(max);
    i.numX = 1;
    i.numY = 1;
    return i;
}

std::string text(const JVariant& value)
{
    const char* chars = value.toString();
    return chars ? chars : "<invalid>";
}

}  // namespace

TEST(ExpressionAdapterTest, ValueTextsByKindOrByType)
{
    const ExpressionAdapter adapter;
    struct Case {
        const char* name;
        PDB::ParameterInfo info;
        JVariant value;
        const char* text;
    };
    const Case cases[] = {
        {"float", info(PDB::kTypeFloat), JVariant(1.5f), "1.500000"},
        {"int32", info(PDB::kTypeSInt32), JVariant(-3), "-3"},
        {"uint32 all ones", info(PDB::kTypeUInt32), JVariant(0xFFFFFFFFu), "-1"},
        {"string", info(PDB::kTypeString), JVariant("Vocal", 5), "Vocal"},
        {"on/off", info(PDB::kTypeSInt32, "OnOff", 0, 1), JVariant(1), "ON"},
        {"kind not registered", info(PDB::kTypeSInt32, "Nothing"), JVariant(7), "7"},
        {"binary", info(PDB::kTypeBinary), JVariant(reinterpret_cast<const unsigned char*>("ab"), 2), "<invalid>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.text, text(adapter.toText(c.info, c.value)));
    }
    EXPECT_NE(nullptr, adapter.getExpression("Level"));
    EXPECT_EQ(nullptr, adapter.getExpression("level"));
}

// Numbers are fitted to the parameter's type whatever kind of literal they were written as: no
// float bits in an integer, no integer bits in a float.
TEST(ExpressionAdapterTest, TextsAndNumbersAreConvertedByKind)
{
    const ExpressionAdapter adapter;
    struct Case {
        const char* name;
        uint8_t type;
        JVariant input;
        JVariant expected;
    };
    const Case cases[] = {
        {"fraction for an integer", PDB::kTypeSInt32, JVariant("2.6", 3), JVariant(3)},
        {"negative fraction", PDB::kTypeSInt32, JVariant("-2.6", 4), JVariant(-3)},
        {"integer for a float", PDB::kTypeFloat, JVariant("2", 1), JVariant(2.0f)},
        {"negative integer for a float", PDB::kTypeFloat, JVariant("-2", 2), JVariant(-2.0f)},
        {"fraction for a float", PDB::kTypeFloat, JVariant("0.25", 4), JVariant(0.25f)},
        {"hexadecimal for unsigned", PDB::kTypeUInt32, JVariant("0x10", 4), JVariant(16u)},
        {"negative for unsigned", PDB::kTypeUInt16, JVariant("-1", 2), JVariant(0u)},
        {"JSON fraction for an integer", PDB::kTypeSInt32, JVariant(2.5f), JVariant(3)},
        {"JSON integer for a float", PDB::kTypeFloat, JVariant(7u), JVariant(7.0f)},
        {"JSON unsigned above the signed range", PDB::kTypeSInt32, JVariant(0xFFFFFFFFu), JVariant(0x7FFFFFFF)},
        {"on/off text", PDB::kTypeSInt32, JVariant("on", 2), JVariant(1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PDB::ParameterInfo i = info(c.type, std::string(c.name) == "on/off text" ? "OnOff" : "");
        JVariant out;
        if (c.input.getType() == JVariant::kTypeString) {
            ASSERT_TRUE(JLIB::isSuccess(adapter.fromText(out, i, c.input)));
        } else {
            out = ExpressionAdapter::fitNumber(i, c.input);
        }
        EXPECT_EQ(c.expected.getType(), out.getType());
        EXPECT_TRUE(out == c.expected) << out.toDouble();
    }
    JVariant untouched(42);
    EXPECT_TRUE(JLIB::isFailure(adapter.fromText(untouched, info(PDB::kTypeSInt32), JVariant("abc", 3))));
    EXPECT_TRUE(JLIB::isFailure(adapter.fromText(untouched, info(PDB::kTypeBinary), JVariant("1", 1))));
    EXPECT_TRUE(JLIB::isFailure(adapter.fromText(untouched, info(PDB::kTypeSInt32), JVariant(1))));
    EXPECT_TRUE(untouched == JVariant(42));
}

TEST(ParameterConvertorTest, EditorTypeNumbersAndDescriptions)
{
    struct Case {
        uint8_t type;
        uint32_t prmType;
    };
    const Case cases[] = {{PDB::kTypeSInt8, 1},  {PDB::kTypeSInt16, 2}, {PDB::kTypeSInt32, 3},
                          {PDB::kTypeUInt8, 4},  {PDB::kTypeUInt16, 5}, {PDB::kTypeBool, 5},
                          {PDB::kTypeUInt32, 6}, {PDB::kTypeFloat, 10}, {PDB::kTypeString, 11}};
    for (const Case& c : cases) {
        uint32_t prmType = 0;
        EXPECT_EQ(0u, ParameterConvertor::Decode_ParameterType(prmType, c.type));
        EXPECT_EQ(c.prmType, prmType) << int(c.type);
    }
    uint32_t untouched = 99;
    EXPECT_EQ(0x80000000u, ParameterConvertor::Decode_ParameterType(untouched, PDB::kTypeBinary));
    EXPECT_EQ(99u, untouched);

    ArgumentMap map;
    EXPECT_EQ(0x80000000u, ParameterConvertor::Decode_ParameterInfo(map, info(PDB::kTypeBinary), JVariant()));
    EXPECT_EQ(0u, map.size());
    PDB::ParameterInfo level = info(PDB::kTypeSInt32, "Level", -13800, 1000);
    level.unit = "dB";
    level.scaling = 100;
    ASSERT_EQ(0u, ParameterConvertor::Decode_ParameterInfo(map, level, JVariant(-600)));
    EXPECT_EQ(3u, map.toUInt32("prmType"));
    EXPECT_EQ(-13800, map.toInt32("prmMin"));
    EXPECT_STREQ("100", map.toString("prmScale"));
    EXPECT_STREQ("dB", map.toString("prmUnit"));
    EXPECT_STREQ("Level", map.toString("prmKind"));
    EXPECT_EQ(-600, map.toInt32("prmValue"));
    ArgumentMap text;
    ASSERT_EQ(0u, ParameterConvertor::Decode_ParameterInfo(text, info(PDB::kTypeString), JVariant("x", 1)));
    EXPECT_FALSE(text.hasKey("prmMin"));
    EXPECT_STREQ("x", text.toString("prmValue"));

    JVariant value;
    EXPECT_EQ(0u, ParameterConvertor::Encode_ParameterValue(value, PDB::kTypeSInt16, "  -12 dB"));
    EXPECT_EQ(-12, value.toInt32());
    EXPECT_EQ(0x80000000u, ParameterConvertor::Encode_ParameterValue(value, PDB::kTypeUInt32, "dB"));
    EXPECT_EQ(0x80000000u, ParameterConvertor::Encode_ParameterValue(value, PDB::kTypeBinary, "1"));
}
