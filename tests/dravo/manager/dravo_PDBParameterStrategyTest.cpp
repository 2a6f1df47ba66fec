#include "dravo/manager/dravo_PDBParameterStrategy.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_ComponentInfoJSON.h"
#include "PDB/pdb_ComponentInfoRepository.h"
#include "PDB/pdb_Mutex.h"
#include "PDB/pdb_ParameterArray.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "dravo/common/DravoFunctionTestSupport.h"
#include "dravo/common/dravo_VariantType.h"
#include "jlib/JHeap.h"
#include "jlib/JVariant.h"

namespace {

using DRAVO::IDataBaseAccessor_V1;
using DRAVO::PDBParameterStrategy;
using DRAVO::VariantType;

constexpr uint32_t kId = 31;
enum Address : uint32_t { kF, kU, kT, kBin };

const char kDefinition[] = R"({"component": {"name": "StrategyProbe", "majorVer": 1,
  "minX": 1, "minY": 1, "maxX": 4, "maxY": 1, "parameters": [
    {"strAddress": "/F", "type": "FLOAT", "patternX": "*1", "min": "0", "max": "10", "def": "1", "step": "0.5"},
    {"strAddress": "/U", "type": "UINT32", "min": "0", "max": "100", "def": "5", "step": "1"},
    {"strAddress": "/T", "type": "STRING", "max": "8", "def": "abc"},
    {"strAddress": "/Bin", "type": "BINARY", "max": "8"}
  ]}})";

// Installed in the probe type's definition for the whole run, as the repository keeps its own.
PDBParameterStrategy& strategy()
{
    static PDBParameterStrategy s_strategy;
    return s_strategy;
}

std::string describe(const VariantType& v)
{
    switch (v.type()) {
    case VariantType::kTypeUInt32:
        return "u" + std::to_string(v.toUInt32());
    case VariantType::kTypeFloat:
        return "f" + std::to_string(v.toFloat());
    case VariantType::kTypeString:
        return "t" + std::string(v.toString());
    default:
        return "type" + std::to_string(v.type());
    }
}

// The audio component database (instance id 10); the probe component is added by each test once
// the strategy is set up, because defaults are taken when the component is built.
class PDBParameterStrategyTest : public testing::Test {
protected:
    void SetUp() override
    {
        (void)JLIB::GetGlobalHeapManager();  // built before the definition repository, destroyed after it
        static const bool registered = [] {
            PDB::ComponentInfo info = PDB::parseComponentInfoJSON(kDefinition);
            (void)info.setParameterStrategy(&strategy());
            return JLIB::isSuccess(PDB::getComponentInfoRepository().addComponentInfo(info));
        }();
        ASSERT_TRUE(registered);
        ASSERT_EQ(0u, PDB::createPDB(10, "AudioCompo", &m_lock, 0));
    }
    void TearDown() override
    {
        (void)strategy().clear();  // the fake function goes with the test
        EXPECT_EQ(0u, PDB::destroyPDB(10));
    }

    void addComponent()
    {
        ASSERT_EQ(0u, db().addComponent(PDB::UniqId(kId), "StrategyProbe", 1, 2, 1, 0));
        m_ci = db().getComponentIndex(PDB::UniqId(kId));
    }
    static PDB::IParameterDB& db() { return PDB::gPDBCollection.getPDB(10); }
    std::string text(uint32_t ai) const
    {
        JVariant v;
        (void)db().getVariant(v, m_ci, ai, 0, 0, nullptr);  // a failed read leaves it invalid
        return v.getType() == JVariant::kTypeString ? v.toString() : "<none>";
    }

    PDB::SimpleReadWriteMutex m_lock;
    dravotest::FakeParamInfo m_function;
    uint32_t m_ci = 0;
};

}  // namespace

TEST_F(PDBParameterStrategyTest, EachHookIsEnabledByItsOwnCapabilityQuery)
{
    struct Case {
        bool limits, defaults, links;
    };
    const Case cases[] = {{true, false, false}, {false, true, false}, {false, false, true}, {true, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.limits) + std::to_string(c.defaults) + std::to_string(c.links));
        PDBParameterStrategy s;
        m_function.limits = c.limits;
        m_function.defaults = c.defaults;
        m_function.links = c.links;
        EXPECT_EQ(0u, s.initialize(&m_function));
        EXPECT_EQ(&m_function, s.paramInfoFunction());
        EXPECT_EQ(c.limits, s.isLimitsHookEnabled());
        EXPECT_EQ(c.defaults, s.isDefaultHookEnabled());
        EXPECT_EQ(c.links, s.isLinkHookEnabled());

        EXPECT_EQ(0x80000000u, s.initialize(nullptr));
        EXPECT_EQ(nullptr, s.paramInfoFunction());
        EXPECT_FALSE(s.isLimitsHookEnabled() || s.isDefaultHookEnabled() || s.isLinkHookEnabled());

        ASSERT_EQ(0u, s.initialize(&m_function));
        EXPECT_EQ(0u, s.clear());
        EXPECT_EQ(nullptr, s.paramInfoFunction());
        EXPECT_FALSE(s.isLimitsHookEnabled() || s.isDefaultHookEnabled() || s.isLinkHookEnabled());
    }
}

TEST_F(PDBParameterStrategyTest, WithoutFunctionDefinitionsDefaultsAndChangesPassUntouched)
{
    int calls = 0;
    m_function.limits = m_function.defaults = m_function.links = true;
    m_function.onLimits = [&](const IDataBaseAccessor_V1&, uint32_t, uint32_t, uint32_t, VariantType&,
                              VariantType&) { return uint32_t(++calls); };
    m_function.onDefault = [&](const IDataBaseAccessor_V1&, uint32_t, uint32_t, uint32_t, VariantType&) {
        return uint32_t(++calls);
    };
    m_function.onLink = [&](const IDataBaseAccessor_V1&, uint32_t, uint32_t, uint32_t, const VariantType&,
                            const VariantType&) { return uint32_t(++calls); };
    EXPECT_EQ(0x80000000u, strategy().initialize(nullptr));
    addComponent();

    EXPECT_EQ(1.0f, db().getFloat(m_ci, kF, 1, 0, nullptr));
    EXPECT_EQ("abc", text(kT));
    EXPECT_EQ(PDB::kValueClamped, db().setFloat(m_ci, kF, 1, 0, 12.0f, 1));
    EXPECT_EQ(10.0f, db().getFloat(m_ci, kF, 1, 0, nullptr));
    const PDB::ParameterInfo& info = db().paramInfo(m_ci, kF);
    PDB::ParameterInfo scratch;
    EXPECT_EQ(&info, &strategy().getParameterInfoProxyProc(db(), m_ci, kF, 0, 0, info, scratch));
    EXPECT_EQ(0, calls);
}

TEST_F(PDBParameterStrategyTest, TheLibraryNarrowsLimitsOfOneElement)
{
    std::vector<std::string> seen;
    m_function.limits = true;
    m_function.onLimits = [&](const IDataBaseAccessor_V1& a, uint32_t ai, uint32_t x, uint32_t y, VariantType& min,
                              VariantType& max) {
        seen.push_back(std::to_string(ai) + " " + std::to_string(x) + " " + std::to_string(y) + " " + describe(min) +
                       " " + describe(max) + " u=" + std::to_string(a.getParamUInt32(kU, 0, 0)));
        if (ai == kF && x == 1) (void)max.setFloat(4.0f);
        if (ai == kU) (void)min.setUInt32(20);
        return 0u;
    };
    ASSERT_EQ(0u, strategy().initialize(&m_function));
    addComponent();

    EXPECT_EQ(0u, db().setFloat(m_ci, kF, 0, 0, 8.0f, 1));
    EXPECT_EQ(PDB::kValueClamped, db().setFloat(m_ci, kF, 1, 0, 8.0f, 1));
    EXPECT_EQ(8.0f, db().getFloat(m_ci, kF, 0, 0, nullptr));
    EXPECT_EQ(4.0f, db().getFloat(m_ci, kF, 1, 0, nullptr));
    EXPECT_EQ(PDB::kValueClamped, db().setUInt32(m_ci, kU, 0, 0, 10, 1));
    EXPECT_EQ(20u, db().getUInt32(m_ci, kU, 0, 0, nullptr));
    const std::vector<std::string> expected = {
        "0 0 0 f0.000000 f10.000000 u=5",
        "0 1 0 f0.000000 f10.000000 u=5",
        "1 0 0 u0 u100 u=5",
    };
    EXPECT_EQ(expected, seen);
}

TEST_F(PDBParameterStrategyTest, LimitsStayOffWhenTheLibraryServesOnlyDefaults)
{
    int calls = 0;
    m_function.defaults = true;
    m_function.onLimits = [&](const IDataBaseAccessor_V1&, uint32_t, uint32_t, uint32_t, VariantType&,
                              VariantType& max) {
        ++calls;
        (void)max.setFloat(1.0f);
        return 0u;
    };
    ASSERT_EQ(0u, strategy().initialize(&m_function));
    addComponent();
    EXPECT_EQ(0u, db().setFloat(m_ci, kF, 1, 0, 8.0f, 1));
    EXPECT_EQ(8.0f, db().getFloat(m_ci, kF, 1, 0, nullptr));
    EXPECT_EQ(0, calls);
}

TEST_F(PDBParameterStrategyTest, ANumericLimitTheDatabaseCannotHoldKeepsTheDefinitions)
{
    m_function.limits = true;
    m_function.onLimits = [](const IDataBaseAccessor_V1&, uint32_t, uint32_t, uint32_t, VariantType& min,
                             VariantType& max) {
        (void)min.invalid();
        (void)max.setDouble(3.0);  // a type the database has no value for
        return 0u;
    };
    ASSERT_EQ(0u, strategy().initialize(&m_function));
    addComponent();
    EXPECT_EQ(0u, db().setFloat(m_ci, kF, 0, 0, 8.0f, 1));
    EXPECT_EQ(8.0f, db().getFloat(m_ci, kF, 0, 0, nullptr));
    EXPECT_EQ(PDB::kValueClamped, db().setFloat(m_ci, kF, 0, 0, -1.0f, 1));
    EXPECT_EQ(0.0f, db().getFloat(m_ci, kF, 0, 0, nullptr));

    // A text limit cannot travel without a buffer: it comes back invalid.
    const PDB::ParameterInfo& info = db().paramInfo(m_ci, kT);
    PDB::ParameterInfo scratch;
    const PDB::ParameterInfo& effective = strategy().getParameterInfoProxyProc(db(), m_ci, kT, 0, 0, info, scratch);
    EXPECT_EQ(&scratch, &effective);
    EXPECT_FALSE(effective.min.isValid());
    EXPECT_EQ(info.itemSize, effective.itemSize);
}

TEST_F(PDBParameterStrategyTest, TheLibrarySetsDefaultsInValuesSizedForTheParameter)
{
    std::vector<std::string> seen;
    m_function.defaults = true;
    m_function.onDefault = [&](const IDataBaseAccessor_V1&, uint32_t ai, uint32_t x, uint32_t, VariantType& value) {
        seen.push_back(std::to_string(ai) + " " + std::to_string(x) + " " + describe(value) + " " +
                       std::to_string(value.getAllocatedMemorySize()));
        if (ai == kF) (void)value.setFloat(float(x) + 0.25f);
        if (ai == kU) (void)value.invalid();  // nothing the database can take
        if (ai == kT) (void)value.setString("abcdefghijk");  // cut to the element on purpose
        return 0u;
    };
    ASSERT_EQ(0u, strategy().initialize(&m_function));
    addComponent();

    EXPECT_EQ(0.25f, db().getFloat(m_ci, kF, 0, 0, nullptr));
    EXPECT_EQ(1.25f, db().getFloat(m_ci, kF, 1, 0, nullptr));
    EXPECT_EQ(5u, db().getUInt32(m_ci, kU, 0, 0, nullptr));
    EXPECT_EQ("abcdefgh", text(kT));  // cut to what the 8-byte element holds
    JVariant def;
    ASSERT_TRUE(JLIB::isSuccess(db().getDefault(def, m_ci, kF, 1, 0)));
    EXPECT_EQ(1.25f, def.toFloat());

    const std::vector<std::string> firstPass = {"0 0 f1.000000 0", "0 1 f1.000000 0", "1 0 u5 0", "2 0 tabc 9",
                                                "3 0 u0 8"};
    ASSERT_GE(seen.size(), firstPass.size());
    EXPECT_EQ(firstPass, std::vector<std::string>(seen.begin(), seen.begin() + firstPass.size()));
}

TEST_F(PDBParameterStrategyTest, TheLibraryFollowsChangesAndItsWritesCarryTag255)
{
    std::vector<std::string> seen;
    m_function.links = true;
    m_function.onLink = [&](const IDataBaseAccessor_V1& a, uint32_t ai, uint32_t x, uint32_t y,
                            const VariantType& newValue, const VariantType& oldValue) {
        seen.push_back(std::to_string(ai) + " " + std::to_string(x) + " " + std::to_string(y) + " " +
                       describe(newValue) + " " + describe(oldValue) + " " +
                       std::to_string(newValue.getAllocatedMemorySize()));
        return a.setParamUInt32(kU, 0, 0, 77);
    };
    ASSERT_EQ(0u, strategy().initialize(&m_function));
    addComponent();

    EXPECT_EQ(0u, db().setFloat(m_ci, kF, 1, 0, 2.5f, 3));
    EXPECT_EQ(77u, db().getUInt32(m_ci, kU, 0, 0, nullptr));
    EXPECT_EQ(255, db().getFactor(m_ci, kU, 0, 0));
    EXPECT_EQ(3, db().getFactor(m_ci, kF, 1, 0));
    EXPECT_EQ(0u, db().setString(m_ci, kT, 0, 0, "xyz", 3));
    EXPECT_EQ(0u, db().setFloat(m_ci, kF, 1, 0, 2.5f, 3));  // no change, nothing to follow

    // The library's own write does not come back to it.
    const std::vector<std::string> expected = {"0 1 0 f2.500000 f1.000000 0", "2 0 0 txyz tabc 9"};
    EXPECT_EQ(expected, seen);
}
