#include "dravo/manager/dravo_PDBAccessor.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>

#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_ComponentInfoJSON.h"
#include "PDB/pdb_ComponentInfoRepository.h"
#include "PDB/pdb_Mutex.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "dravo/common/dravo_VariantType.h"
#include "jlib/JHeap.h"
#include "jlib/JVariant.h"

namespace {

using DRAVO::PDBAccessor;
using DRAVO::VariantType;

constexpr uint32_t kId = 21;
enum Address : uint32_t { kU32, kS32, kF, kB, kT, kBin, kWide };

const char kDefinition[] = R"({"component": {"name": "AccessorProbe", "majorVer": 1,
  "minX": 1, "minY": 1, "maxX": 4, "maxY": 1, "parameters": [
    {"strAddress": "/U32", "type": "UINT32", "min": "0", "max": "1000", "def": "5", "nominal": "6", "step": "1"},
    {"strAddress": "/S32", "type": "SINT32", "min": "-100", "max": "100", "def": "-3", "step": "2"},
    {"strAddress": "/F", "type": "FLOAT", "min": "-10", "max": "10", "def": "1.5", "step": "0.5"},
    {"strAddress": "/B", "type": "BOOL", "min": "0", "max": "1", "def": "1"},
    {"strAddress": "/T", "type": "STRING", "max": "8", "def": "abcdef"},
    {"strAddress": "/Bin", "type": "BINARY", "max": "8"},
    {"strAddress": "/Wide", "type": "UINT32", "patternX": "*1", "patternY": "2", "min": "0", "max": "9", "def": "0"}
  ]}})";

const uint8_t kEightBytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};

// The audio component database (instance id 10) holding component 21 of the probe type, 3 x 1.
class PDBAccessorTest : public testing::Test {
protected:
    void SetUp() override
    {
        (void)JLIB::GetGlobalHeapManager();  // built before the definition repository, destroyed after it
        const JLIB::JResult added =
            PDB::getComponentInfoRepository().addComponentInfo(PDB::parseComponentInfoJSON(kDefinition));
        ASSERT_TRUE(added == 0 || added == PDB::ComponentInfoRepository::kAlreadyRegistered) << added;
        ASSERT_EQ(0u, PDB::createPDB(10, "AudioCompo", &m_lock, 0));
        ASSERT_EQ(0u, db().addComponent(PDB::UniqId(kId), "AccessorProbe", 1, 3, 1, 0));
        m_ci = db().getComponentIndex(PDB::UniqId(kId));
        ASSERT_EQ(0u, db().setBinary(m_ci, kBin, 0, 0, kEightBytes, 8, 0));
    }
    void TearDown() override { EXPECT_EQ(0u, PDB::destroyPDB(10)); }

    static PDB::IParameterDB& db() { return PDB::gPDBCollection.getPDB(10); }
    PDBAccessor accessor() const { return PDBAccessor(db(), m_ci); }

    PDB::SimpleReadWriteMutex m_lock;
    uint32_t m_ci = 0;
};

}  // namespace

TEST_F(PDBAccessorTest, ReadsAnswerTheDatabaseValues)
{
    const PDBAccessor a = accessor();
    EXPECT_EQ(5u, a.getParamUInt32(kU32, 0, 0));
    EXPECT_EQ(-3, a.getParamSInt32(kS32, 0, 0));
    EXPECT_EQ(1.5f, a.getParamFloat(kF, 0, 0));
    EXPECT_TRUE(a.getParamBool(kB, 0, 0));
    // Elements the database does not hold read as its failed reads do.
    EXPECT_EQ(0u, a.getParamUInt32(kU32, 1, 0));
    EXPECT_EQ(0u, a.getParamUInt32(99, 0, 0));
    EXPECT_FALSE(PDBAccessor(db(), 77).getParamBool(kB, 0, 0));

    EXPECT_EQ(3u, a.getParamNumX(kWide));
    EXPECT_EQ(2u, a.getParamNumY(kWide));
    EXPECT_EQ(1u, a.getParamNumX(kT));
}

TEST_F(PDBAccessorTest, TextIsZeroFilledAndCutToTheBuffer)
{
    struct Case {
        const char* name;
        uint32_t ai;
        uint32_t size;
        bool buffer;
        uint32_t result;
        std::string expected;  // the whole buffer
    };
    const Case cases[] = {
        {"into 4 bytes", kT, 4, true, 0, std::string("abc\0", 4)},
        {"into 16 bytes", kT, 16, true, 0, std::string("abcdef") + std::string(10, '\0')},
        {"number element", kU32, 6, true, 0, std::string(6, '\0')},
        {"no element", 99, 6, true, 0, std::string(6, '\0')},
        {"no buffer", kT, 16, false, 0x80000000u, std::string(16, '#')},
        {"size 0", kT, 0, true, 0, std::string(16, '#')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        char buffer[16];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(c.result, accessor().getParamString(c.ai, 0, 0, c.buffer ? buffer : nullptr, c.size));
        const size_t compared = c.size != 0 && c.buffer ? c.size : sizeof buffer;
        EXPECT_EQ(c.expected, std::string(buffer, compared));
        EXPECT_EQ(std::string(sizeof buffer - compared, '#'), std::string(buffer + compared, sizeof buffer - compared));
    }
}

TEST_F(PDBAccessorTest, BytesAreCopiedOnlyWhenTheyAllFit)
{
    struct Case {
        const char* name;
        uint32_t ai;
        uint32_t size;
        bool copied;
    };
    const Case cases[] = {
        {"8 bytes into 4", kBin, 4, false},
        {"8 bytes into 8", kBin, 8, true},
        {"8 bytes into 12", kBin, 12, true},
        {"text element", kT, 12, false},
        {"no element", 99, 12, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        uint8_t buffer[12];
        std::memset(buffer, 0xEE, sizeof buffer);
        EXPECT_EQ(0u, accessor().getParamBinary(c.ai, 0, 0, buffer, c.size));
        EXPECT_EQ(c.copied, std::memcmp(buffer, kEightBytes, 8) == 0);
        for (uint32_t i = c.copied ? 8 : 0; i < sizeof buffer; ++i) EXPECT_EQ(0xEE, buffer[i]) << i;
    }
    EXPECT_EQ(0x80000000u, accessor().getParamBinary(kBin, 0, 0, nullptr, 8));
}

TEST_F(PDBAccessorTest, WritesCarryTag255AndAnswerOnlySuccessOrFailure)
{
    const PDBAccessor a = accessor();
    struct Case {
        const char* name;
        std::function<uint32_t()> write;
        uint32_t result;
        uint32_t ai;
        std::function<bool()> stored;
    };
    const uint8_t four[4] = {9, 9, 9, 9};
    const Case cases[] = {
        {"uint32", [&] { return a.setParamUInt32(kU32, 0, 0, 700); }, 0, kU32,
         [&] { return a.getParamUInt32(kU32, 0, 0) == 700; }},
        {"uint32 clamped", [&] { return a.setParamUInt32(kU32, 0, 0, 5000); }, 0, kU32,
         [&] { return a.getParamUInt32(kU32, 0, 0) == 1000; }},
        {"sint32", [&] { return a.setParamSInt32(kS32, 0, 0, -50); }, 0, kS32,
         [&] { return a.getParamSInt32(kS32, 0, 0) == -50; }},
        {"float", [&] { return a.setParamFloat(kF, 0, 0, -2.5f); }, 0, kF,
         [&] { return a.getParamFloat(kF, 0, 0) == -2.5f; }},
        {"bool from any non-zero", [&] { return a.setParamBool(kB, 0, 0, 0); }, 0, kB,
         [&] { return !a.getParamBool(kB, 0, 0); }},
        {"bool true", [&] { return a.setParamBool(kB, 0, 0, 0x100); }, 0, kB, [&] { return a.getParamBool(kB, 0, 0); }},
        {"string", [&] { return a.setParamString(kT, 0, 0, "xyz"); }, 0, kT,
         [&] {
             char t[8];
             return a.getParamString(kT, 0, 0, t, sizeof t) == 0 && std::string(t) == "xyz";
         }},
        {"binary", [&] { return a.setParamBinary(kBin, 0, 0, four, 4); }, 0, kBin,
         [&] { return db().getFactor(m_ci, kBin, 0, 0) == 255; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.result, c.write());
        EXPECT_TRUE(c.stored());
        EXPECT_EQ(255, db().getFactor(m_ci, c.ai, 0, 0));
    }

    const Case refused[] = {
        {"no element", [&] { return a.setParamUInt32(kU32, 3, 0, 1); }, 0x80000000u, 0, nullptr},
        {"no address", [&] { return a.setParamFloat(99, 0, 0, 1.0f); }, 0x80000000u, 0, nullptr},
        {"no component", [&] { return PDBAccessor(db(), 77).setParamSInt32(kS32, 0, 0, 1); }, 0x80000000u, 0, nullptr},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.result, c.write());
    }
}

TEST_F(PDBAccessorTest, LimitsComeAsVariantValuesSizedByTheCaller)
{
    const PDBAccessor a = accessor();
    VariantType value;
    ASSERT_EQ(0u, a.getParamMin(kS32, value));
    EXPECT_EQ(-100, value.toInt32());
    ASSERT_EQ(0u, a.getParamMax(kF, value));
    EXPECT_EQ(10.0f, value.toFloat());
    ASSERT_EQ(0u, a.getParamDefault(kU32, value));
    EXPECT_EQ(5u, value.toUInt32());
    ASSERT_EQ(0u, a.getParamNominal(kU32, value));
    EXPECT_EQ(6u, value.toUInt32());
    ASSERT_EQ(0u, a.getParamStep(kS32, value));
    EXPECT_EQ(2u, value.toUInt32());  // steps are unsigned for every integer type

    VariantType text(9);
    ASSERT_EQ(0u, a.getParamDefault(kT, text));
    EXPECT_STREQ("abcdef", text.toString());
    EXPECT_EQ(0x80000000u, a.getParamDefault(kT, value));  // no buffer for the text
    EXPECT_EQ(VariantType::kTypeInvalid, value.type());
}
