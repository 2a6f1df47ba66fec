#include "dravo/manager/dravo_OPVDManagerAccessor.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_ComponentInfoRepository.h"
#include "PDB/pdb_Mutex.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "dravo/common/dravo_VariantType.h"
#include "dravo/manager/dravo_MeterPool.h"
#include "dravo/manager/dravo_convertDRAVOValue.h"
#include "jlib/JHeap.h"
#include "parray/ArrayAccessorForServer.h"

namespace {

using DRAVO::IManagerAccessor_V1;
using DRAVO::VariantType;

constexpr uint32_t kId = 7;
constexpr uint32_t kFollowX = 0x10000000u | 1u;  // size pattern: the component's numX times 1

// "DravoAccessorT" 1: /U32 UINT32 2 x 1 (0..1000, default 5, nominal 6, step 1), /S32 SINT32
// (-100..100, default -3), /F FLOAT (-10..10, default 1.5, step 0.5), /B BOOL (default 1),
// /T STRING of 8 bytes ("abcdef"), /Bin BINARY of 8 bytes, /Wide UINT32 numX x 1.
void registerTestType()
{
    static const bool registered = [] {
        (void)JLIB::GetGlobalHeapManager();  // built before the repository, so destroyed after it
        const PDB::ParamAttr attr('T', PDB::ParamAttr::kRecallable);
        PDB::ComponentInfo t;
        EXPECT_EQ(0u, t.initialize("DravoAccessorT", 1, 1, 1, 8, 8, "x", "y", nullptr));
        EXPECT_EQ(0u, t.addAddressUINT32("/U32", 2, 1, "", "", 0, 1000, 5, 6, 1, 1, attr, "", "", ""));
        EXPECT_EQ(0u, t.addAddressSINT32("/S32", 1, 1, "", "", -100, 100, -3, 0, 2, 1, attr, "", "", ""));
        EXPECT_EQ(0u, t.addAddressFLOAT("/F", 1, 1, "", "", -10.0f, 10.0f, 1.5f, 0.0f, 0.5f, 1, attr, "", "", ""));
        EXPECT_EQ(0u, t.addAddressBOOL("/B", 1, 1, "", "", 0, 1, 1, attr, "", "", ""));
        EXPECT_EQ(0u, t.addAddressSTRING("/T", 1, 1, "", "", 8, "abcdef", attr, "", "", ""));
        EXPECT_EQ(0u, t.addAddressBINARY("/Bin", 1, 1, "", "", 8, attr, "", "", ""));
        EXPECT_EQ(0u, t.addAddressUINT32("/Wide", kFollowX, 1, "", "", 0, 9, 0, 0, 1, 1, attr, "", "", ""));
        return JLIB::isSuccess(PDB::getComponentInfoRepository().addComponentInfo(t));
    }();
    ASSERT_TRUE(registered);
}

// The audio component database, instance id 10, holding component 7 of the test type (3 x 2).
class OPVDManagerAccessorTest : public testing::Test {
protected:
    void SetUp() override
    {
        registerTestType();
        ASSERT_EQ(0u, PDB::createPDB(10, "AudioCompo", &lock, 0));
        ASSERT_EQ(0u, db().addComponent(PDB::UniqId(kId), "DravoAccessorT", 1, 3, 2, 0));
        ci = db().getComponentIndex(PDB::UniqId(kId));
    }
    void TearDown() override
    {
        DRAVO::destroyManagerAccessor(accessor);
        ASSERT_EQ(0u, PDB::destroyPDB(10));
    }

    PDB::IParameterDB& db() { return PDB::gPDBCollection.getPDB(10u); }
    uint32_t ai(const char* address) { return db().getAddressIndex(PDB::UniqId(kId), address); }
    void create(uint32_t id = kId) { accessor = DRAVO::createManagerAccessor(id, 3, 2, nullptr, nullptr, nullptr, nullptr); }
    DRAVO::OPVDManagerAccessor& own() { return *dynamic_cast<DRAVO::OPVDManagerAccessor*>(accessor); }

    PDB::ReadWriteMutex lock;  // declared first: it outlives the database
    uint32_t ci = 0;
    IManagerAccessor_V1* accessor = nullptr;
};

}  // namespace

TEST_F(OPVDManagerAccessorTest, ReadsTheValuesTheComponentHadWhenItWasCopied)
{
    ASSERT_FALSE(JLIB::isFailure(db().setUInt32(ci, ai("/U32"), 1, 0, 77, 0)));
    ASSERT_FALSE(JLIB::isFailure(db().setFloat(ci, ai("/F"), 0, 0, -2.5f, 0)));
    create();
    ASSERT_NE(nullptr, accessor);
    EXPECT_EQ(ci, own().componentIndex());
    EXPECT_EQ(kId, own().uniqID());
    EXPECT_EQ(3u, own().numX());

    EXPECT_EQ(5u, accessor->getParamUInt32(ai("/U32"), 0, 0));
    EXPECT_EQ(77u, accessor->getParamUInt32(ai("/U32"), 1, 0));
    EXPECT_EQ(-3, accessor->getParamSInt32(ai("/S32"), 0, 0));
    EXPECT_EQ(-2.5f, accessor->getParamFloat(ai("/F"), 0, 0));
    EXPECT_TRUE(accessor->getParamBool(ai("/B"), 0, 0));
    // Failed reads: an element or an address beyond the component.
    EXPECT_EQ(0u, accessor->getParamUInt32(ai("/U32"), 5, 0));
    EXPECT_EQ(0u, accessor->getParamUInt32(99, 0, 0));
    EXPECT_FALSE(accessor->getParamBool(99, 0, 0));

    EXPECT_EQ(2u, accessor->getParamNumX(ai("/U32")));
    EXPECT_EQ(1u, accessor->getParamNumY(ai("/U32")));
    EXPECT_EQ(3u, accessor->getParamNumX(ai("/Wide")));  // follows the component's size
    EXPECT_EQ(0u, accessor->getParamNumX(99));
}

TEST_F(OPVDManagerAccessorTest, TextIsCutToTheBufferAndOtherElementsLeaveItEmpty)
{
    create();
    struct Case {
        const char* name;
        uint32_t address;
        uint32_t size;
        std::vector<char> expected;
    };
    const Case cases[] = {
        {"text into 4 bytes", ai("/T"), 4, {'a', 'b', 'c', 0}},
        {"text into 8 bytes", ai("/T"), 8, {'a', 'b', 'c', 'd', 'e', 'f', 0, 0}},
        {"number", ai("/U32"), 4, {0, 0, 0, 0}},
        {"missing address", 99, 4, {0, 0, 0, 0}},
        {"empty buffer", ai("/T"), 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<char> buffer(c.size + 1, 'Z');  // one guard byte past the given size
        EXPECT_EQ(0u, accessor->getParamString(c.address, 0, 0, buffer.data(), c.size));
        EXPECT_EQ(c.expected, std::vector<char>(buffer.begin(), buffer.begin() + c.size));
        EXPECT_EQ('Z', buffer[c.size]);
    }
    EXPECT_EQ(0x80000000u, accessor->getParamString(ai("/T"), 0, 0, nullptr, 4));
}

TEST_F(OPVDManagerAccessorTest, ByteStringIsCopiedOnlyWhenItFits)
{
    const uint8_t bytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_FALSE(JLIB::isFailure(db().setBinary(ci, ai("/Bin"), 0, 0, bytes, 8, 0)));
    create();
    struct Case {
        const char* name;
        uint32_t address;
        uint32_t size;
        bool copied;
    };
    const Case cases[] = {
        {"fits", ai("/Bin"), 8, true},       {"larger buffer", ai("/Bin"), 12, true},
        {"too small", ai("/Bin"), 4, false}, {"not a byte string", ai("/T"), 12, false},
        {"missing address", 99, 12, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> buffer(c.size, 0xEE);
        EXPECT_EQ(0u, accessor->getParamBinary(c.address, 0, 0, buffer.data(), c.size));
        std::vector<uint8_t> expected(c.size, 0xEE);
        if (c.copied) std::memcpy(expected.data(), bytes, 8);
        EXPECT_EQ(expected, buffer);
    }
    EXPECT_EQ(0x80000000u, accessor->getParamBinary(ai("/Bin"), 0, 0, nullptr, 8));
}

TEST_F(OPVDManagerAccessorTest, LimitsComeFromTheDefinition)
{
    create();
    using Getter = uint32_t (IManagerAccessor_V1::*)(uint32_t, VariantType&) const;
    struct Case {
        const char* name;
        Getter get;
        uint32_t address;
        uint32_t result;
        uint32_t type;
        std::function<bool(const VariantType&)> holds;
    };
    const Case cases[] = {
        {"uint32 min", &IManagerAccessor_V1::getParamMin, ai("/U32"), 0, 1,
         [](const VariantType& v) { return v.toUInt32() == 0; }},
        {"uint32 max", &IManagerAccessor_V1::getParamMax, ai("/U32"), 0, 1,
         [](const VariantType& v) { return v.toUInt32() == 1000; }},
        {"uint32 nominal", &IManagerAccessor_V1::getParamNominal, ai("/U32"), 0, 1,
         [](const VariantType& v) { return v.toUInt32() == 6; }},
        {"int32 default", &IManagerAccessor_V1::getParamDefault, ai("/S32"), 0, 3,
         [](const VariantType& v) { return v.toInt32() == -3; }},
        {"int32 min", &IManagerAccessor_V1::getParamMin, ai("/S32"), 0, 3,
         [](const VariantType& v) { return v.toInt32() == -100; }},
        {"float step", &IManagerAccessor_V1::getParamStep, ai("/F"), 0, 5,
         [](const VariantType& v) { return v.toFloat() == 0.5f; }},
        {"text default", &IManagerAccessor_V1::getParamDefault, ai("/T"), 0, 7,
         [](const VariantType& v) { return std::strcmp(v.toString(), "abcdef") == 0; }},
        {"missing address", &IManagerAccessor_V1::getParamMax, 99, 0x80000000u, 0,
         [](const VariantType&) { return true; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // As a library must: the buffer its parameter asks for.
        VariantType value(c.address == 99 ? 0 : DRAVO::calcDRAVOValueMemorySizeToAllocate(db().paramInfo(ci, c.address)));
        (void)value.setDouble(9.0);
        EXPECT_EQ(c.result, (accessor->*c.get)(c.address, value));
        EXPECT_EQ(c.type, value.type());
        EXPECT_TRUE(c.holds(value));
    }
    VariantType noBuffer;
    EXPECT_EQ(0x80000000u, accessor->getParamDefault(ai("/T"), noBuffer));
    EXPECT_EQ(0u, noBuffer.type());
}

TEST_F(OPVDManagerAccessorTest, WritesReachTheDatabaseAndTheCopyOnlyThroughReflection)
{
    create();
    const uint8_t bytes[8] = {8, 7, 6, 5, 4, 3, 2, 1};
    struct Case {
        const char* name;
        const char* address;
        uint32_t x;
        std::function<uint32_t()> write;
        std::function<bool()> copyChanged;
        JVariant expected;
    };
    const Case cases[] = {
        {"uint32", "/U32", 1, [&] { return accessor->setParamUInt32(ai("/U32"), 1, 0, 42); },
         [&] { return accessor->getParamUInt32(ai("/U32"), 1, 0) == 42; }, JVariant(42u)},
        {"int32", "/S32", 0, [&] { return accessor->setParamSInt32(ai("/S32"), 0, 0, -50); },
         [&] { return accessor->getParamSInt32(ai("/S32"), 0, 0) == -50; }, JVariant(-50)},
        {"float", "/F", 0, [&] { return accessor->setParamFloat(ai("/F"), 0, 0, 7.25f); },
         [&] { return accessor->getParamFloat(ai("/F"), 0, 0) == 7.25f; }, JVariant(7.25f)},
        {"bool", "/B", 0, [&] { return accessor->setParamBool(ai("/B"), 0, 0, 0); },
         [&] { return !accessor->getParamBool(ai("/B"), 0, 0); }, JVariant(0u)},
        {"text", "/T", 0, [&] { return accessor->setParamString(ai("/T"), 0, 0, "xyz"); },
         [&] {
             char text[8];
             return accessor->getParamString(ai("/T"), 0, 0, text, 8) == 0 && std::strcmp(text, "xyz") == 0;
         },
         JVariant("xyz", 8)},
        {"bytes", "/Bin", 0, [&] { return accessor->setParamBinary(ai("/Bin"), 0, 0, bytes, 8); },
         [&] {
             uint8_t out[8] = {};
             return accessor->getParamBinary(ai("/Bin"), 0, 0, out, 8) == 0 && std::memcmp(out, bytes, 8) == 0;
         },
         JVariant(bytes, 8)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(0u, c.write());
        JVariant live;
        uint8_t tag = 0;
        ASSERT_EQ(0u, db().getVariant(live, ci, ai(c.address), c.x, 0, &tag) & 0x80000000u);
        EXPECT_TRUE(live == c.expected);
        EXPECT_EQ(255, tag);
        EXPECT_FALSE(c.copyChanged());  // the library still sees the value of its calculation
        EXPECT_EQ(0u, own().refrectChangedParameter(ai(c.address), c.x, 0) & 0x80000000u);
        EXPECT_TRUE(c.copyChanged());
    }
    ASSERT_EQ(0u, accessor->setParamUInt32(ai("/U32"), 0, 0, 9));
    EXPECT_EQ(0u, DRAVO::refrectParamChangeToManagerAccessor(accessor, ai("/U32"), 0, 0));
    EXPECT_EQ(9u, accessor->getParamUInt32(ai("/U32"), 0, 0));
}

TEST_F(OPVDManagerAccessorTest, ClampedWritesSucceedAndRefusedOnesFail)
{
    create();
    EXPECT_EQ(0u, accessor->setParamUInt32(ai("/U32"), 0, 0, 5000));  // clamped to 1000
    EXPECT_EQ(1000u, db().getUInt32(ci, ai("/U32"), 0, 0, nullptr));
    EXPECT_EQ(0u, accessor->setParamSInt32(ai("/S32"), 0, 0, -500));
    EXPECT_EQ(-100, db().getSInt32(ci, ai("/S32"), 0, 0, nullptr));

    EXPECT_EQ(0x80000000u, accessor->setParamUInt32(ai("/U32"), 9, 0, 1));
    EXPECT_EQ(0x80000000u, accessor->setParamUInt32(99, 0, 0, 1));
    EXPECT_EQ(0x80000000u, accessor->setParamString(ai("/T"), 5, 5, "x"));
    const uint8_t bytes[2] = {1, 2};
    EXPECT_EQ(0x80000000u, accessor->setParamBinary(ai("/Bin"), 1, 0, bytes, 2));
}

TEST_F(OPVDManagerAccessorTest, UnknownComponentGivesEmptyReadsAndRefusedWrites)
{
    create(99);
    ASSERT_NE(nullptr, accessor);
    EXPECT_EQ(0xFFFFFFFFu, own().componentIndex());
    EXPECT_EQ(0u, accessor->getParamUInt32(0, 0, 0));
    EXPECT_EQ(0u, accessor->getParamNumX(0));
    char text[4] = {'Z', 'Z', 'Z', 'Z'};
    EXPECT_EQ(0u, accessor->getParamString(ai("/T"), 0, 0, text, 4));
    EXPECT_EQ(0, text[0]);
    VariantType value(16);
    EXPECT_EQ(0x80000000u, accessor->getParamMin(0, value));
    EXPECT_EQ(0x80000000u, accessor->setParamUInt32(0, 0, 0, 1));
    EXPECT_EQ(0x80000000u, accessor->setParamBool(0, 0, 0, 1));
    EXPECT_EQ(5u, db().getUInt32(ci, ai("/U32"), 0, 0, nullptr));  // the real component untouched
    EXPECT_FALSE(db().isComponentUsed(PDB::UniqId(kId)));
}

TEST_F(OPVDManagerAccessorTest, ComponentIsMarkedUsedWhileTheAccessorExists)
{
    create();
    EXPECT_TRUE(db().isComponentUsed(PDB::UniqId(kId)));
    EXPECT_EQ(0u, DRAVO::destroyManagerAccessor(accessor));
    EXPECT_EQ(nullptr, accessor);
    EXPECT_FALSE(db().isComponentUsed(PDB::UniqId(kId)));
    EXPECT_EQ(0u, DRAVO::destroyManagerAccessor(accessor));  // nothing to destroy
    EXPECT_EQ(0u, DRAVO::refrectParamChangeToManagerAccessor(nullptr, 0, 0, 0));
}

TEST(OPVDManagerAccessorTablesTest, NeverInitialisedAccessorReflectsNothing)
{
    DRAVO::OPVDManagerAccessor accessor;
    EXPECT_EQ(0u, accessor.refrectChangedParameter(0, 0, 0));
    EXPECT_EQ(0xFFFFFFFFu, accessor.uniqID());
    EXPECT_EQ(0u, accessor.getParamUInt32(0, 0, 0));
    EXPECT_EQ(0x80000000u, accessor.setParamUInt32(0, 0, 0, 1));
    EXPECT_EQ(0u, accessor.finalize());
}

TEST(OPVDManagerAccessorTablesTest, CoefficientSettersAnswerOneWithAndWithoutTable)
{
    const PARRAY::ArrayInfo infos[] = {{PARRAY::kTypeUINT32, 4, 0, 0, "u"}, {PARRAY::kTypeSINT32, 4, 0, 0, "s"},
                                       {PARRAY::kTypeFLOAT, 4, 0, 0, "f"},  {PARRAY::kTypeDOUBLE, 4, 0, 0, "d"}};
    PARRAY::ArrayAccessorForServer coef;
    ASSERT_EQ(0u, coef.initialize(infos, 4, 1, 1));
    IManagerAccessor_V1* with = DRAVO::createManagerAccessor(1, 1, 1, &coef, nullptr, nullptr, nullptr);
    IManagerAccessor_V1* without = DRAVO::createManagerAccessor(1, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, with);
    ASSERT_NE(nullptr, without);

    for (IManagerAccessor_V1* a : {with, without}) {
        EXPECT_EQ(1u, a->setCoefUInt32(0, 1, 0, 0, 0xDEADBEEFu));
        EXPECT_EQ(1u, a->setCoefSInt32(1, 2, 0, 0, -7));
        EXPECT_EQ(1u, a->setCoefFloat(2, 3, 0, 0, 0.75f));
        EXPECT_EQ(1u, a->setCoefDouble(3, 0, 0, 0, -1.25));
        EXPECT_EQ(1u, a->setCoefFloat(9, 0, 0, 0, 1.0f));  // no such array: nothing written
    }
    EXPECT_EQ(0xDEADBEEFu, coef.getParam<uint32_t>(0, 1, 0, 0));
    EXPECT_EQ(-7, coef.getParam<int32_t>(1, 2, 0, 0));
    EXPECT_EQ(0.75f, coef.getParam<float>(2, 3, 0, 0));
    EXPECT_EQ(-1.25, coef.getParam<double>(3, 0, 0, 0));
    uint32_t id = 0;
    std::vector<uint32_t> dirty;
    while (coef.checkNextDirty(id) == 0) dirty.push_back(id++);
    EXPECT_EQ((std::vector<uint32_t>{0, 1, 2, 3}), dirty);

    EXPECT_EQ(0u, DRAVO::destroyManagerAccessor(with));
    EXPECT_EQ(0u, DRAVO::destroyManagerAccessor(without));
}

TEST(OPVDManagerAccessorTablesTest, MeterReadersTakeThePoolsTables)
{
    const PARRAY::ArrayInfo infos[] = {{PARRAY::kTypeFLOAT, 4, 0, 0, "level"}, {PARRAY::kTypeFLOAT, 4, 0, 0, "gr"},
                                       {PARRAY::kTypeSINT32, 2, 0, 0, "raw"}};
    DRAVO::MeterPool pool;
    ASSERT_EQ(0u, pool.initialize(infos, 3, 1, 1, 1, -1, 1000));
    const float levels[2] = {0.5f, 2.0f};
    ASSERT_EQ(0u, pool.setRawMeterDataBinary(0, 4, 8, levels));
    const int32_t raw[1] = {-9};
    ASSERT_EQ(0u, pool.setRawMeterDataBinary(2, 4, 4, raw));

    IManagerAccessor_V1* a =
        DRAVO::createManagerAccessor(1, 1, 1, nullptr, &pool.rawMeterArrayAccessor(),
                                     &pool.normalMeterArrayAccessor(), &pool.holdMeterArrayAccessor());
    ASSERT_NE(nullptr, a);
    EXPECT_EQ(0.5f, a->getMeterFloat(0, 1, 0, 0));
    EXPECT_EQ(0x3F000000u, a->getMeterUInt32(0, 1, 0, 0));  // the raw bits, like getMeterSInt32
    EXPECT_EQ(0x3F000000, a->getMeterSInt32(0, 1, 0, 0));
    EXPECT_EQ(-9, a->getMeterSInt32(2, 1, 0, 0));
    EXPECT_EQ(120, a->getLevelMeter(0, 1, 0, 0));
    EXPECT_EQ(127, a->getLevelMeter(0, 2, 0, 0));
    EXPECT_EQ(127, a->getHoldLevelMeter(0, 2, 0, 0));
    EXPECT_EQ(254, a->getGRMeter(1, 0, 0, 0));
    EXPECT_EQ(0u, a->getMeterUInt32(5, 0, 0, 0));  // no such array
    EXPECT_EQ(0u, DRAVO::destroyManagerAccessor(a));

    IManagerAccessor_V1* none = DRAVO::createManagerAccessor(1, 1, 1, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(0u, none->getMeterUInt32(0, 0, 0, 0));
    EXPECT_EQ(0, none->getMeterSInt32(0, 0, 0, 0));
    EXPECT_EQ(0.0f, none->getMeterFloat(0, 0, 0, 0));
    EXPECT_EQ(0, none->getLevelMeter(0, 0, 0, 0));
    EXPECT_EQ(0, none->getHoldLevelMeter(0, 0, 0, 0));
    EXPECT_EQ(254, none->getGRMeter(0, 0, 0, 0));
    EXPECT_EQ(0u, DRAVO::destroyManagerAccessor(none));
}
