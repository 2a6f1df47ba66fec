// A facade seen as a field: what it forwards reaches the field with the facade's task id, without
// the root name and without an external argument; what it refuses never reaches the field; and
// without a facade it answers quietly where a field user expects it.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "MMS/Common/mms_ExternalSetArg.h"
#include "MMS/Common/mms_sharedRootInfo.h"
#include "devctrl/FacadeTestSupport.h"
#include "devctrl/devctrl_IFieldWrapper.h"
#include "devctrl/devctrl_ReadonlyFacade.h"
#include "devctrl/devctrl_ReadwriteFacade.h"
#include "jlib/JVariantArray.h"

using namespace FacadeTest;
using DeviceControl::IFieldWrapper;
using DeviceControl::ReadonlyFacade;
using DeviceControl::ReadwriteFacade;

namespace {

constexpr uint32_t kFacadeTask = 77;
constexpr uint32_t kCallerTask = 1234;
constexpr uint32_t kProbeResult = 0x123;
constexpr uint32_t kFailed = 0x80000000u;

// Records, for the operations whose task id, withRootName or external argument the wrapper must
// replace, what arrives; answers kProbeResult without doing anything.
class ArrivalProbe : public MMS::Field {
public:
    ArrivalProbe() : MMS::Field(nullptr, nullptr, nullptr, nullptr, nullptr) {}

    uint32_t getRootAdditionFlag(const char*, uint32_t taskId, uint8_t) override
    {
        return log("getRootAdditionFlag", taskId);
    }
    uint32_t subscribe(uint32_t mode, uint32_t taskId, uint32_t areaCount, bool) override
    {
        return log("subscribe", taskId, "", mode * 10 + areaCount);
    }
    uint32_t unsubscribe(uint32_t taskId) override { return log("unsubscribe", taskId); }
    uint32_t exchangeGettingDirtyArea(uint32_t taskId) override { return log("exchangeGetting", taskId); }
    uint32_t cnvFastToStrAddr(char*, uint32_t, const char*, const uint32_t*, uint32_t, uint8_t withTop) override
    {
        return log("cnvFastToStrAddr", 0, "", withTop);
    }
    uint32_t cnvPrmIndexToStrAddr(char*, uint32_t, uint32_t*, uint32_t*, uint32_t, const char*, uint32_t,
                                  uint8_t withTop) override
    {
        return log("cnvPrmIndexToStrAddr", 0, "", withTop);
    }
    uint32_t getStrAddrSize(uint32_t*, const char*, const uint32_t*, uint32_t, uint8_t withTop) override
    {
        return log("getStrAddrSize", 0, "", withTop);
    }
    uint32_t getChangedPrmAddr(char*, uint32_t, uint32_t*, uint32_t*, uint32_t, const char*, const char*, uint32_t,
                               const uint32_t*, uint32_t, uint8_t, uint32_t taskId, uint8_t withTop) override
    {
        return log("getChangedPrmAddr", taskId, "", withTop);
    }
    uint32_t getImportedCollectionAddr(char*, uint32_t, uint32_t*, uint32_t*, uint32_t, const char*, const char*,
                                       uint32_t, const uint32_t*, uint32_t, uint8_t, uint32_t taskId,
                                       uint8_t withTop) override
    {
        return log("getImportedCollectionAddr", taskId, "", withTop);
    }
    uint32_t importDataUsingMuchMemoryFast(const void*, uint32_t, const void*, uint32_t, const char*, const uint32_t*,
                                           const uint32_t*, uint32_t, uint8_t, uint8_t, uint8_t,
                                           uint32_t originatorId, const MMS::ISetChecker*, uint32_t,
                                           const MMS::ExternalSetArg* externalArg) override
    {
        return log("importDataUsingMuchMemoryFast", originatorId, arg(externalArg));
    }
    uint32_t setDumpFast(void*, uint32_t, const void*, uint32_t, uint8_t, uint8_t, uint8_t, uint32_t originatorId,
                         const MMS::ISetChecker*, uint32_t, const MMS::ExternalSetArg* externalArg) override
    {
        return log("setDumpFast", originatorId, arg(externalArg));
    }
    uint32_t setPrm(const JVariant&, const char*, const char*, uint32_t, const uint32_t*, uint32_t, uint8_t, uint8_t,
                    uint16_t, uint8_t, uint32_t originatorId, const MMS::ISetChecker*, uint32_t,
                    const MMS::ExternalSetArg* externalArg) override
    {
        return log("setPrm", originatorId, arg(externalArg));
    }
    uint32_t setPrmAndFactorArrayFast(const JVariantArray&, const char*, const uint32_t*, const uint32_t*,
                                      const uint32_t*, uint32_t, const uint8_t*, uint8_t, uint8_t, uint8_t, uint16_t,
                                      uint8_t, uint32_t originatorId, const MMS::ISetChecker*, uint32_t, uint32_t,
                                      const MMS::ExternalSetArg* externalArg) override
    {
        return log("setPrmAndFactorArrayFast", originatorId, arg(externalArg));
    }
    uint32_t setDefaultPrms(const char*, uint8_t, uint8_t, uint32_t originatorId) override
    {
        return log("setDefaultPrms", originatorId);
    }
    uint32_t getPrmFast(JVariant*, uint8_t*, const char*, const uint32_t*, const uint32_t*, uint32_t, uint8_t,
                        uint32_t taskId) override
    {
        return log("getPrmFast", taskId);
    }
    uint32_t exportData(void*, uint32_t*, uint32_t, const char*, const char*, uint32_t, const uint32_t*, uint32_t,
                        uint8_t, uint8_t, uint8_t, uint32_t taskId, uint8_t, uint8_t*) override
    {
        return log("exportData", taskId);
    }
    uint32_t getDumpFast(void*, uint32_t*, uint32_t, uint8_t, uint8_t, uint32_t taskId) override
    {
        return log("getDumpFast", taskId);
    }

    std::vector<std::string> journal;

private:
    static std::string arg(const MMS::ExternalSetArg* externalArg) { return externalArg ? " ext=set" : " ext=null"; }
    uint32_t log(const char* op, uint32_t task, const std::string& extra = "", uint32_t value = 0)
    {
        journal.push_back(std::string(op) + " task=" + std::to_string(task) + " value=" + std::to_string(value) +
                          extra);
        return kProbeResult;
    }
};

// Counts the node queries that the size queries must go through.
class CountingWrapper : public IFieldWrapper {
public:
    uint32_t getNodeInfoFast(uint8_t* category, uint32_t* type, uint32_t* dataSize, uint32_t* arraySize,
                             uint32_t* maxIndices, uint32_t* depthOut, uint32_t depth, const char* root,
                             const uint32_t* nodes) override
    {
        ++nodeInfoCalls;
        return IFieldWrapper::getNodeInfoFast(category, type, dataSize, arraySize, maxIndices, depthOut, depth, root,
                                              nodes);
    }
    uint32_t getNodeInfo(uint8_t* category, uint32_t* type, uint32_t* dataSize, uint32_t* arraySize,
                         uint32_t* maxIndices, uint32_t* depthOut, uint32_t capacity, const char* root,
                         const char* address, uint32_t length) override
    {
        ++nodeInfoCalls;
        return IFieldWrapper::getNodeInfo(category, type, dataSize, arraySize, maxIndices, depthOut, capacity, root,
                                          address, length);
    }
    int nodeInfoCalls = 0;
};

}  // namespace

TEST(FieldWrapperTest, ForwardsWithTheFacadesTaskIdNoRootNameAndNoExternalArgument)
{
    (void)MmsTest::heap1();
    ArrivalProbe probe;
    ReadwriteFacade facade(&probe, kFacadeTask, nullptr, nullptr, 0);
    IFieldWrapper wrapper;
    ASSERT_EQ(0u, wrapper.initialize(&facade));

    const MMS::ExternalSetArg external;
    const uint32_t nodes[1] = {0};
    const uint32_t indexes[1] = {0};
    char text[32] = {};
    uint32_t out[5] = {};
    uint32_t depth = 0;
    uint8_t bytes[64] = {};
    JVariant value(1);
    int32_t memory[1] = {};
    JVariantArray values(memory, JVariant::kTypeInt32, 4, 1);
    const std::string E = " ext=null";
    struct Case {
        std::function<uint32_t()> call;
        std::string arrived;
    };
    const Case cases[] = {
        {[&] { return wrapper.getRootAdditionFlag("A", kCallerTask, 1); }, "getRootAdditionFlag task=77 value=0"},
        {[&] { return wrapper.subscribe(5, kCallerTask, 2, false); }, "subscribe task=77 value=52"},
        {[&] { return wrapper.unsubscribe(kCallerTask); }, "unsubscribe task=77 value=0"},
        {[&] { return wrapper.exchangeGettingDirtyArea(kCallerTask); }, "exchangeGetting task=77 value=0"},
        {[&] { return wrapper.cnvFastToStrAddr(text, sizeof text, "A", nodes, 1, 1); },
         "cnvFastToStrAddr task=0 value=0"},
        {[&] { return wrapper.cnvPrmIndexToStrAddr(text, sizeof text, out, &depth, 5, "A", 0, 1); },
         "cnvPrmIndexToStrAddr task=0 value=0"},
        {[&] { return wrapper.getStrAddrSize(&depth, "A", nodes, 1, 1); }, "getStrAddrSize task=0 value=0"},
        {[&] { return wrapper.getChangedPrmAddr(text, sizeof text, out, &depth, 5, "A", "", 0, nullptr, 0, 0,
                                                kCallerTask, 1); },
         "getChangedPrmAddr task=77 value=0"},
        {[&] { return wrapper.getImportedCollectionAddr(text, sizeof text, out, &depth, 5, "A", "", 0, nullptr, 0,
                                                        0, kCallerTask, 1); },
         "getImportedCollectionAddr task=77 value=0"},
        {[&] { return wrapper.importDataUsingMuchMemoryFast(bytes, sizeof bytes, nullptr, 0, "A", nullptr, nullptr,
                                                            0, 0, 0, 0, kCallerTask, nullptr, 0, &external); },
         "importDataUsingMuchMemoryFast task=77 value=0" + E},
        {[&] { return wrapper.setDumpFast(bytes, sizeof bytes, nullptr, 0, 0, 0, 0, kCallerTask, nullptr, 0,
                                          &external); },
         "setDumpFast task=77 value=0" + E},
        {[&] { return wrapper.setPrm(value, "A", "Gain", 4, indexes, 1, 0, 0, 0, 0, kCallerTask, nullptr, 0,
                                     &external); },
         "setPrm task=77 value=0" + E},
        {[&] { return wrapper.setPrmAndFactorArrayFast(values, "A", nodes, indexes, indexes, 1, bytes, 0, 0, 0, 0,
                                                       0, kCallerTask, nullptr, 0, 0, &external); },
         "setPrmAndFactorArrayFast task=77 value=0" + E},
        {[&] { return wrapper.setDefaultPrms("A", 0, 0, kCallerTask); }, "setDefaultPrms task=77 value=0"},
        {[&] { return wrapper.getPrmFast(&value, nullptr, "A", nodes, indexes, 1, 0, kCallerTask); },
         "getPrmFast task=77 value=0"},
        {[&] { return wrapper.exportData(bytes, &depth, sizeof bytes, "A", "Gain", 4, indexes, 1, 0, 0, 0,
                                         kCallerTask, 0, nullptr); },
         "exportData task=77 value=0"},
        {[&] { return wrapper.getDumpFast(bytes, &depth, sizeof bytes, 0, 0, kCallerTask); },
         "getDumpFast task=77 value=0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arrived);
        probe.journal.clear();
        EXPECT_EQ(kProbeResult, c.call());  // the facade's result, unchanged
        EXPECT_EQ(std::vector<std::string>{c.arrived}, probe.journal);
    }
}

TEST(FieldWrapperTest, WithoutAFacadeOnlyTriggerMutexAndCountsAnswerQuietly)
{
    (void)MmsTest::heap1();
    MMS::Field field(nullptr, nullptr, nullptr, nullptr, nullptr);
    buildRoots(field, {"A"});
    ReadwriteFacade facade(&field, kFacadeTask, nullptr, nullptr, 0);
    IFieldWrapper wrapper;

    // Set, then taken away again: the wrapper is back to its state after construction.
    ASSERT_EQ(0u, wrapper.initialize(&facade));
    EXPECT_NE(0u, wrapper.getBuildCount());
    ASSERT_EQ(0u, wrapper.initialize(nullptr));

    EXPECT_EQ(nullptr, wrapper.getEventTrigger());
    EXPECT_EQ(nullptr, wrapper.getMutex());
    EXPECT_EQ(0u, wrapper.getBuildCount());
    EXPECT_EQ(0u, wrapper.getRootAdditionFlag("A", kCallerTask, 0));

    uint32_t size = 0x5A5A;
    uint32_t count = 0x5A5A;
    uint8_t status = 0x5A;
    char text[32] = "untouched";
    JVariant value;
    const struct {
        const char* name;
        std::function<uint32_t()> call;
    } failing[] = {
        {"getStatus", [&] { return wrapper.getStatus(&status); }},
        {"subscribe", [&] { return wrapper.subscribe(0, kCallerTask, 1, false); }},
        {"cnvFastToStrAddr", [&] { return wrapper.cnvFastToStrAddr(text, sizeof text, "A", kGainNode, 1, 0); }},
        {"setPrmFast", [&] { return setGain(wrapper, "A", 0, 5); }},
        {"getPrmFast", [&] { return wrapper.getPrmFast(&value, nullptr, "A", kGainNode, kGainNode, 1, 0, 0); }},
        {"getPrmDef (inherited short form)", [&] { return wrapper.getPrmDef(&value, "A", "Gain", 4); }},
        {"getRootNum", [&] { return wrapper.getRootNum(&count); }},
        {"getStrAddrSize", [&] { return wrapper.getStrAddrSize(&size, "A", kGainNode, 1, 0); }},
        {"getNodeDataSizeFast", [&] { return wrapper.getNodeDataSizeFast(&size, "A", kGainNode, 1); }},
        {"getNodeDataSize", [&] { return wrapper.getNodeDataSize(&size, "A", "Gain", 4); }},
        {"getPrmNameFormat", [&] { return wrapper.getPrmNameFormat(text, "A", "Gain", 4); }},
    };
    for (const auto& c : failing) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(kFailed, c.call());
    }
    EXPECT_EQ(0x5A5Au, size);
    EXPECT_EQ(0x5A5Au, count);
    EXPECT_STREQ("untouched", text);
    EXPECT_EQ(0, getGain(field, "A", 0));  // the write went nowhere
}

TEST(FieldWrapperTest, RefusedOperationsNeverReachTheField)
{
    (void)MmsTest::heap1();
    MMS::Field field(nullptr, nullptr, nullptr, nullptr, nullptr);
    buildRoots(field, {"A", "B"});
    ASSERT_EQ(0x100u, setGain(field, "A", 2, 7));
    ReadwriteFacade facade(&field, kFacadeTask, nullptr, nullptr, 0);
    IFieldWrapper wrapper;
    ASSERT_EQ(0u, wrapper.initialize(&facade));

    uint32_t size = 0x5A5A;
    char text[40] = "untouched";
    uint8_t flag = 0x5A;
    MMS::sharedRootInfo shared{};
    const struct {
        const char* name;
        std::function<uint32_t()> call;
    } refused[] = {
        {"startBuild", [&] { return wrapper.startBuild(); }},
        {"createRoot", [&] { return wrapper.createRoot("C", "Top", 4, 4, 64); }},
        {"destroyRoot", [&] { return wrapper.destroyRoot("B"); }},
        {"setDescName", [&] { return wrapper.setDescName("A", "Other"); }},
        {"delPrm", [&] { return wrapper.delPrm("A", "Gain", 4); }},
        {"copyPrm", [&] { return wrapper.copyPrm("A", "B", 0, 0, 0, 0, 0, 0); }},
        {"resetPrmFast", [&] { return wrapper.resetPrmFast("A", nullptr, nullptr, 0, 1, 0, 0, 0); }},
        {"isPlugin", [&] { return wrapper.isPlugin(&flag, "A", "Gain", 4); }},
        {"getPrmAddrNum", [&] { return wrapper.getPrmAddrNum(&size, "A"); }},
        {"getDescVersion", [&] { return wrapper.getDescVersion(text, "A"); }},
        {"getStrAddrMaxSize", [&] { return wrapper.getStrAddrMaxSize(&size, "A", 0); }},
        {"getNodePrmNumFast", [&] { return wrapper.getNodePrmNumFast(&size, "A", nullptr, 0); }},
        {"shareRoot", [&] { return wrapper.shareRoot(&shared, "A", "", 0, nullptr, 0); }},
        {"setChannelLinker", [&] { return wrapper.setChannelLinker("A", nullptr); }},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(kFailed, c.call());
    }
    EXPECT_EQ(0x5A5Au, size);
    EXPECT_STREQ("untouched", text);
    EXPECT_EQ(0x5A, flag);
    uint32_t roots = 0;
    ASSERT_EQ(0u, field.getRootNum(&roots));
    EXPECT_EQ(2u, roots);
    EXPECT_EQ(7, getGain(field, "A", 2));  // not reset
    char descName[24] = {};
    ASSERT_EQ(0u, field.getDescName(descName, "A"));
    EXPECT_STREQ(kDescName, descName);
}

TEST(FieldWrapperTest, WritesFollowTheFacadesPermission)
{
    (void)MmsTest::heap1();
    MMS::Field field(nullptr, nullptr, nullptr, nullptr, nullptr);
    buildRoots(field, {"A"});
    ReadonlyFacade reader(&field, kFacadeTask);
    ReadwriteFacade writer(&field, kFacadeTask, nullptr, nullptr, 0);
    IFieldWrapper wrapper;

    ASSERT_EQ(0u, wrapper.initialize(&reader));
    EXPECT_EQ(0x8000000au, setGain(wrapper, "A", 3, 40));
    EXPECT_EQ(0, getGain(field, "A", 3));

    ASSERT_EQ(0u, wrapper.initialize(&writer));
    EXPECT_EQ(0x100u, setGain(wrapper, "A", 3, 40));
    EXPECT_EQ(40, getGain(field, "A", 3));
    EXPECT_EQ(40, getGain(wrapper, "A", 3));  // and read back through the wrapper
}

TEST(FieldWrapperTest, TextAddressesAndSizesNeverCarryTheRootName)
{
    (void)MmsTest::heap1();
    MMS::Field field(nullptr, nullptr, nullptr, nullptr, nullptr);
    buildRoots(field, {"Main"});
    ReadonlyFacade facade(&field, kFacadeTask);
    CountingWrapper wrapper;
    ASSERT_EQ(0u, wrapper.initialize(&facade));

    // What the field itself gives when asked for the name in front.
    char withTop[64] = {};
    ASSERT_EQ(0u, field.cnvFastToStrAddr(withTop, sizeof withTop, "Main", kGainNode, 1, 1));
    ASSERT_STRNE("Gain", withTop);
    uint32_t longer = 0;
    ASSERT_EQ(0u, field.getStrAddrSize(&longer, "Main", kGainNode, 1, 1));
    ASSERT_EQ(std::strlen(withTop) + 1, longer);
    char text[64] = {};
    EXPECT_EQ(0u, wrapper.cnvFastToStrAddr(text, sizeof text, "Main", kGainNode, 1, 1));
    EXPECT_STREQ("Gain", text);
    uint32_t size = 0;
    EXPECT_EQ(0u, wrapper.getStrAddrSize(&size, "Main", kGainNode, 1, 1));
    EXPECT_EQ(std::strlen("Gain") + 1, size);

    // The inherited short form reads element 0's default through the forwarded long form.
    JVariant def(99);
    EXPECT_EQ(0u, wrapper.getPrmDefFast(&def, "Main", kGainNode, 1));
    EXPECT_EQ(0, def.toInt32());

    // The node's data size is what the node information gives, asked through the wrapper.
    uint32_t expected = 0;
    ASSERT_EQ(0u, field.getNodeInfoFast(nullptr, nullptr, &expected, nullptr, nullptr, nullptr, 1, "Main",
                                        kGainNode));
    ASSERT_NE(0u, expected);
    uint32_t fast = 0;
    uint32_t byText = 0;
    EXPECT_EQ(0u, wrapper.getNodeDataSizeFast(&fast, "Main", kGainNode, 1));
    EXPECT_EQ(0u, wrapper.getNodeDataSize(&byText, "Main", "Gain", 4));
    EXPECT_EQ(expected, fast);
    EXPECT_EQ(expected, byText);
    EXPECT_EQ(2, wrapper.nodeInfoCalls);
}
