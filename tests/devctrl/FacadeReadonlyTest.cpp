// The read-only facade: forwarding with the facade's task id where the field expects it, refusal
// of every write, reads through the link framework and the text-address forms.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "MMS/Common/mms_PrmAttrib.h"
#include "devctrl/FacadeTestSupport.h"
#include "devctrl/devctrl_ReadonlyFacade.h"
#include "devctrl/devctrl_ReadwriteFacade.h"

using namespace FacadeTest;
using DeviceControl::IFacade;
using DeviceControl::ReadonlyFacade;
using DeviceControl::ReadwriteFacade;

namespace {

constexpr uint32_t kTask = 77;
constexpr uint32_t kProbeResult = 0x123;

// Records, for the field operations whose task id or withRootName position differs, the arguments
// around those positions, and answers kProbeResult without doing anything.
class TaskIdProbe : public MMS::Field {
public:
    TaskIdProbe() : MMS::Field(nullptr, nullptr, nullptr, nullptr, nullptr) {}

    uint32_t getRootAdditionFlag(const char*, uint32_t taskId, uint8_t clear) override
    {
        return log("getRootAdditionFlag", taskId, clear);
    }
    uint32_t subscribe(uint32_t mode, uint32_t taskId, uint32_t areaCount, bool raiseAll) override
    {
        return log("subscribe", taskId, mode * 100 + areaCount * 10 + raiseAll);
    }
    uint32_t unsubscribe(uint32_t taskId) override { return log("unsubscribe", taskId, 0); }
    uint32_t exchangeSettingDirtyArea(uint32_t taskId) override { return log("exchangeSetting", taskId, 0); }
    uint32_t exchangeGettingDirtyArea(uint32_t taskId) override { return log("exchangeGetting", taskId, 0); }
    uint32_t cnvFastToStrAddr(char*, uint32_t, const char*, const uint32_t*, uint32_t, uint8_t withTop) override
    {
        return log("cnvFastToStrAddr", 0, withTop);
    }
    uint32_t cnvPrmIndexToStrAddr(char*, uint32_t, uint32_t*, uint32_t*, uint32_t, const char*, uint32_t,
                                  uint8_t withTop) override
    {
        return log("cnvPrmIndexToStrAddr", 0, withTop);
    }
    uint32_t getStrAddrSize(uint32_t*, const char*, const uint32_t*, uint32_t, uint8_t withTop) override
    {
        return log("getStrAddrSize", 0, withTop);
    }
    uint32_t importDataFast(void*, uint32_t, const void*, uint32_t, const char*, const uint32_t*, const uint32_t*,
                            uint32_t, uint8_t factor, uint8_t includeOriginator, uint8_t notifyOptions,
                            uint32_t originatorId, const MMS::ISetChecker*, uint32_t notifyMode,
                            const MMS::ExternalSetArg*) override
    {
        return log("importDataFast", originatorId, factor * 1000 + includeOriginator * 100 + notifyOptions * 10 +
                                                       notifyMode);
    }
    uint32_t setDumpFast(void*, uint32_t, const void*, uint32_t, uint8_t factor, uint8_t includeOriginator,
                         uint8_t notifyOptions, uint32_t originatorId, const MMS::ISetChecker*, uint32_t notifyMode,
                         const MMS::ExternalSetArg*) override
    {
        return log("setDumpFast", originatorId, factor * 1000 + includeOriginator * 100 + notifyOptions * 10 +
                                                    notifyMode);
    }
    uint32_t setDefaultPrms(const char*, uint8_t factor, uint8_t includeOriginator, uint32_t originatorId) override
    {
        return log("setDefaultPrms", originatorId, factor * 10 + includeOriginator);
    }
    uint32_t isChangedFast(uint8_t*, const char*, const uint32_t*, const uint32_t*, uint32_t, uint8_t clear,
                           uint32_t taskId) override
    {
        return log("isChangedFast", taskId, clear);
    }
    uint32_t getTransactionDirty(uint8_t*, const char*, uint32_t taskId) override
    {
        return log("getTransactionDirty", taskId, 0);
    }
    uint32_t exportDataFast(void*, uint32_t*, uint32_t, const char*, const uint32_t*, const uint32_t*, uint32_t,
                            uint8_t wholeLastLevel, uint8_t clearDirty, uint8_t byteOrder, uint32_t taskId,
                            uint8_t clearImport, uint8_t*) override
    {
        return log("exportDataFast", taskId, wholeLastLevel * 1000 + clearDirty * 100 + byteOrder * 10 + clearImport);
    }
    uint32_t exportArray(void*, uint32_t*, uint32_t, const char*, const char*, uint32_t, const uint32_t*,
                         const uint32_t*, uint32_t, uint8_t rangeMode, uint8_t clearDirty, uint8_t byteOrder,
                         uint32_t taskId, uint8_t clearImport, uint8_t*, uint32_t factorCount) override
    {
        return log("exportArray", taskId,
                   rangeMode * 10000 + clearDirty * 1000 + byteOrder * 100 + clearImport * 10 + factorCount);
    }
    uint32_t getDumpFast(void*, uint32_t*, uint32_t, uint8_t clearDirty, uint8_t byteOrder, uint32_t taskId) override
    {
        return log("getDumpFast", taskId, clearDirty * 10 + byteOrder);
    }
    uint32_t getPrmArrayFast(JVariantArray*, uint8_t*, uint32_t, const char*, const uint32_t*, const uint32_t*,
                             const uint32_t*, uint32_t, uint8_t clear, uint32_t taskId) override
    {
        return log("getPrmArrayFast", taskId, clear);
    }
    uint32_t getChangedPrmAddr(JVariant*, uint8_t*, char*, uint32_t, uint32_t*, uint32_t*, uint32_t, const char*,
                               const char*, uint32_t, const uint32_t*, uint32_t, uint8_t clear, uint32_t taskId,
                               uint8_t withTop) override
    {
        return log("getChangedPrmAddr", taskId, clear * 10 + withTop);
    }
    uint32_t getImportedCollectionAddr(char*, uint32_t, uint32_t*, uint32_t*, uint32_t, const char*, const char*,
                                       uint32_t, const uint32_t*, uint32_t, uint8_t clear, uint32_t taskId,
                                       uint8_t withTop) override
    {
        return log("getImportedCollectionAddr", taskId, clear * 10 + withTop);
    }
    uint32_t getChangedPrmChFast(uint32_t*, uint32_t*, uint32_t, const char*, const uint32_t*, const uint32_t*,
                                 uint32_t, uint8_t clear, uint32_t taskId) override
    {
        return log("getChangedPrmChFast", taskId, clear);
    }

    std::vector<std::string> calls;

private:
    uint32_t log(const char* op, uint32_t taskId, uint32_t args)
    {
        calls.push_back(std::string(op) + " task=" + std::to_string(taskId) + " args=" + std::to_string(args));
        return kProbeResult;
    }
};

}  // namespace

TEST(FacadeReadonlyTest, PassesItsTaskIdAndNoRootNameWhereTheFieldExpectsThem)
{
    (void)MmsTest::heap1();
    struct Case {
        const char* expected;
        std::function<uint32_t(IFacade&)> call;
    };
    const uint32_t nodes[1] = {0};
    const uint32_t indexes[1] = {0};
    char text[64];
    uint32_t count = 0;
    uint32_t depth = 0;
    uint8_t flag = 0;
    unsigned char image[8] = {};
    const Case cases[] = {
        {"getRootAdditionFlag task=77 args=1", [&](IFacade& f) { return f.getRootAdditionFlag("A", 1); }},
        {"subscribe task=77 args=531", [&](IFacade& f) { return f.subscribe(5, 3, true); }},
        {"unsubscribe task=77 args=0", [&](IFacade& f) { return f.unsubscribe(); }},
        {"exchangeSetting task=77 args=0", [&](IFacade& f) { return f.exchangeSettingDirtyArea(); }},
        {"exchangeGetting task=77 args=0", [&](IFacade& f) { return f.exchangeGettingDirtyArea(); }},
        {"cnvFastToStrAddr task=0 args=0",
         [&](IFacade& f) { return f.cnvFastToStrAddr(text, sizeof text, "A", nodes, 1); }},
        {"cnvPrmIndexToStrAddr task=0 args=0",
         [&](IFacade& f) { return f.cnvPrmIndexToStrAddr(text, sizeof text, &count, &depth, 5, "A", 0); }},
        {"getStrAddrSize task=0 args=0", [&](IFacade& f) { return f.getStrAddrSize(&count, "A", nodes, 1); }},
        {"importDataFast task=77 args=1234",
         [&](IFacade& f) {
             return f.importDataFast(image, 8, nullptr, 0, "A", nodes, indexes, 1, 1, 2, 3, nullptr, 4, nullptr);
         }},
        {"setDumpFast task=77 args=1234",
         [&](IFacade& f) { return f.setDumpFast(image, 8, nullptr, 0, 1, 2, 3, nullptr, 4, nullptr); }},
        {"setDefaultPrms task=77 args=23", [&](IFacade& f) { return f.setDefaultPrms("A", 2, 3); }},
        {"isChangedFast task=77 args=1",
         [&](IFacade& f) { return f.isChangedFast(&flag, "A", nodes, indexes, 1, 1); }},
        {"getTransactionDirty task=77 args=0", [&](IFacade& f) { return f.getTransactionDirty(&flag, "A"); }},
        {"exportDataFast task=77 args=3456",
         [&](IFacade& f) { return f.exportDataFast(image, &count, 8, "A", nodes, indexes, 1, 3, 4, 5, 6, nullptr); }},
        {"exportArray task=77 args=23459",
         [&](IFacade& f) {
             return f.exportArray(image, &count, 8, "A", "Gain", 4, indexes, indexes, 1, 2, 3, 4, 5, nullptr, 9);
         }},
        {"getDumpFast task=77 args=12", [&](IFacade& f) { return f.getDumpFast(image, &count, 8, 1, 2); }},
        {"getPrmArrayFast task=77 args=1",
         [&](IFacade& f) { return f.getPrmArrayFast(nullptr, nullptr, 0, "A", nodes, indexes, indexes, 1, 1); }},
        {"getChangedPrmAddr task=77 args=10",
         [&](IFacade& f) {
             return f.getChangedPrmAddr(nullptr, nullptr, text, sizeof text, &count, &depth, 5, "A", "", 0, nullptr,
                                        0, 1);
         }},
        {"getImportedCollectionAddr task=77 args=10",
         [&](IFacade& f) {
             return f.getImportedCollectionAddr(text, sizeof text, &count, &depth, 5, "A", "", 0, nullptr, 0, 1);
         }},
        {"getChangedPrmChFast task=77 args=1",
         [&](IFacade& f) { return f.getChangedPrmChFast(&count, &depth, 5, "A", nodes, indexes, 1, 1); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        TaskIdProbe probe;
        ReadwriteFacade facade(&probe, kTask, nullptr, nullptr, 0);
        EXPECT_EQ(kProbeResult, c.call(facade));
        EXPECT_EQ(std::vector<std::string>{c.expected}, probe.calls);
    }
}

TEST(FacadeReadonlyTest, WithoutAFieldAnswersWrongStateAndNullAndRefusesWrites)
{
    (void)MmsTest::heap1();
    ReadonlyFacade facade;
    EXPECT_EQ(nullptr, facade.getEventTrigger());
    EXPECT_EQ(nullptr, facade.getMutex());

    const uint32_t nodes[1] = {0};
    const uint32_t indexes[1] = {0};
    uint8_t status = 0;
    uint32_t count = 0;
    char name[24];
    JVariant value;
    int32_t memory[1] = {0};
    JVariantArray values(memory, JVariant::kTypeInt32, 4, 1);
    struct Case {
        const char* name;
        uint32_t expected;
        std::function<uint32_t()> call;
    };
    const Case cases[] = {
        {"getStatus", 0x80000004u, [&] { return facade.getStatus(&status); }},
        {"getBuildCount", 0x80000004u, [&] { return facade.getBuildCount(); }},
        {"subscribe", 0x80000004u, [&] { return facade.subscribe(0, 1, false); }},
        {"cnvStrToFastAddr", 0x80000004u,
         [&] { return facade.cnvStrToFastAddr(&count, &count, 1, "A", "Gain", 4); }},
        {"getRootNum", 0x80000004u, [&] { return facade.getRootNum(&count); }},
        {"getRootIdentifier", 0x80000004u, [&] { return facade.getRootIdentifier(name, 0); }},
        {"getDumpSizeFast", 0x80000004u, [&] { return facade.getDumpSizeFast(&count); }},
        {"getPrmFast", 0x80000004u, [&] { return facade.getPrmFast(&value, &status, "A", nodes, indexes, 1, 0); }},
        {"getPrm", 0x80000004u, [&] { return facade.getPrm(&value, &status, "A", "Gain", 4, indexes, 1, 0); }},
        {"getPrmMax", 0x80000004u, [&] { return facade.getPrmMax(&value, "A", "Gain", 4); }},
        {"getPrmDef short form", 0x80000004u, [&] { return facade.getPrmDef(&value, "A", "Gain", 4); }},
        {"getNodeNameFast", 0x80000004u, [&] { return facade.getNodeNameFast(name, "A", nodes, 1); }},
        {"copyToAlternateField", 0x80000004u, [&] { return facade.copyToAlternateField(0); }},
        {"swapAlternateField", 0x80000004u, [&] { return facade.swapAlternateField(false); }},
        {"createAlternateField", 0x80000004u, [&] { return facade.createAlternateField(); }},
        {"setPrmFast", 0x8000000au,
         [&] { return facade.setPrmFast(value, "A", nodes, indexes, 1, 1, 0, 0, 0, nullptr, 0, nullptr); }},
        {"setPrmArray", 0x8000000au,
         [&] {
             return facade.setPrmArray(values, "A", "Gain", 4, indexes, indexes, 1, 1, 1, 0, 0, 0, nullptr, 0, 0,
                                       nullptr);
         }},
        {"setDefaultPrms", 0x8000000au, [&] { return facade.setDefaultPrms("A", 1, 0); }},
        {"setDumpFast", 0x8000000au,
         [&] { return facade.setDumpFast(memory, 4, nullptr, 0, 1, 0, 0, nullptr, 0, nullptr); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.expected, c.call());
    }
}

TEST(FacadeReadonlyTest, RefusesEveryWriteAndLeavesTheFieldAlone)
{
    (void)MmsTest::heap1();
    MMS::Field field(nullptr, nullptr, nullptr, nullptr, nullptr);
    buildRoots(field, {"A"});
    ASSERT_EQ(0x100u, setGain(field, "A", 2, 5));
    RecordingLinkFramework framework;
    framework.setResult = 0;
    ReadonlyFacade facade(&field, kTask, &framework, "U/F", 1);

    const uint32_t indexes[1] = {2};
    int32_t memory[1] = {9};
    JVariantArray values(memory, JVariant::kTypeInt32, 4, 1);
    const uint8_t factors[1] = {1};
    EXPECT_EQ(0x8000000au, facade.setPrmFast(JVariant(9), "A", kGainNode, indexes, 1, 1, 0, 0, 0, nullptr, 0, nullptr));
    EXPECT_EQ(0x8000000au, facade.setPrm(JVariant(9), "A", "Gain", 4, indexes, 1, 1, 0, 0, 0, nullptr, 0, nullptr));
    EXPECT_EQ(0x8000000au, facade.setPrmArrayFast(values, "A", kGainNode, indexes, indexes, 1, 1, 1, 0, 0, 0, nullptr,
                                                  0, 0, nullptr));
    EXPECT_EQ(0x8000000au, facade.setPrmAndFactorArrayFast(values, "A", kGainNode, indexes, indexes, 1, factors, 1,
                                                           1, 0, 0, 0, nullptr, 0, 0, nullptr));
    EXPECT_EQ(0x8000000au, facade.setDefaultPrms("A", 1, 0));
    EXPECT_EQ(5, getGain(field, "A", 2));
    EXPECT_TRUE(framework.calls.empty());
}

TEST(FacadeReadonlyTest, KeepsTheUnitNameOnlyBelowTwentyFourCharacters)
{
    (void)MmsTest::heap1();
    MMS::Field field(nullptr, nullptr, nullptr, nullptr, nullptr);
    buildRoots(field, {"A"});
    const std::string name23(23, 'u');
    const std::string name24(24, 'u');
    struct Case {
        const char* name;
        uint32_t length;
        std::string unit;
    };
    const Case cases[] = {
        {"Unit/Gains", 4, "Unit"},
        {name23.c_str(), 23, name23},
        {name24.c_str(), 24, ""},
        {"AB\0CD", 5, "AB"},  // the copy stops at the terminator
        {nullptr, 3, ""},
        {"Unit", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.unit);
        RecordingLinkFramework framework;
        ReadonlyFacade facade(&field, kTask, &framework, c.name, c.length);
        JVariant value;
        const uint32_t indexes[1] = {0};
        EXPECT_EQ(0u, facade.getPrmFast(&value, nullptr, "A", kGainNode, indexes, 1, 0));
        ASSERT_EQ(1u, framework.calls.size());
        EXPECT_EQ(c.unit, framework.calls[0].unitName);
    }
}

TEST(FacadeReadonlyTest, ValueReadsAskTheFrameworkFirstAndFallBackToTheField)
{
    (void)MmsTest::heap1();
    MMS::Field field(nullptr, nullptr, nullptr, nullptr, nullptr);
    buildRoots(field, {"A", "B"});
    ASSERT_EQ(0x100u, setGain(field, "B", 3, 17));
    const uint32_t indexes[1] = {3};

    // 4 or a failure: the field answers; anything else: the framework did, the result is 0.
    struct Case {
        uint32_t frameworkResult;
        uint32_t result;
        int value;
    };
    const Case cases[] = {
        {4, 0, 17},
        {0x80000000u, 0, 17},
        {0, 0, 4242},
        {7, 0, 4242},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frameworkResult);
        RecordingLinkFramework framework;
        framework.getResult = c.frameworkResult;
        ReadonlyFacade facade(&field, kTask, &framework, "Unit/F", 4);
        JVariant value;
        uint8_t state = 0;
        EXPECT_EQ(c.result, facade.getPrmFast(&value, &state, "B", kGainNode, indexes, 1, 1));
        EXPECT_EQ(c.value, value.toInt32());
        ASSERT_EQ(1u, framework.calls.size());
        const LinkCall& call = framework.calls[0];
        EXPECT_EQ("get", call.op);
        EXPECT_EQ("Unit", call.unitName);
        EXPECT_EQ(kDescName, call.descName);
        EXPECT_EQ("B", call.root);
        EXPECT_EQ((std::vector<uint32_t>{0}), call.nodes);
        EXPECT_EQ((std::vector<uint32_t>{3}), call.indexes);
        EXPECT_EQ(1u, call.option);
        EXPECT_EQ(kTask, call.taskId);
    }

    // Minimum and maximum: the same rule, with the field's limits as the fallback.
    RecordingLinkFramework framework;
    ReadonlyFacade facade(&field, kTask, &framework, "Unit/F", 4);
    JVariant limit;
    EXPECT_EQ(0u, facade.getPrmMinFast(&limit, "A", kGainNode, 1));
    EXPECT_EQ(-1000, limit.toInt32());
    EXPECT_EQ(0u, facade.getPrmMaxFast(&limit, "A", kGainNode, 1));
    EXPECT_EQ(1000, limit.toInt32());
    framework.minResult = 0;
    framework.maxResult = 0;
    EXPECT_EQ(0u, facade.getPrmMinFast(&limit, "A", kGainNode, 1));
    EXPECT_EQ(4242, limit.toInt32());
    EXPECT_EQ(0u, facade.getPrmMax(&limit, "A", "Gain", 4));
    EXPECT_EQ(4242, limit.toInt32());
    EXPECT_EQ((std::vector<std::string>{"min", "max", "min", "max"}), framework.ops());
}

TEST(FacadeReadonlyTest, ReadsWithoutDescriptionNameOrFrameworkGoToTheFieldUnchanged)
{
    (void)MmsTest::heap1();
    FaultyField field;
    buildRoots(field, {"A"});
    ASSERT_EQ(0x100u, setGain(field, "A", 0, 8));
    const uint32_t indexes[1] = {0};
    JVariant value;

    RecordingLinkFramework framework;
    framework.getResult = 0;
    framework.minResult = 0;
    ReadonlyFacade facade(&field, kTask, &framework, "U/F", 1);
    // An unknown root has no description name: the field's own answer, framework not asked.
    EXPECT_EQ(0x80000006u, facade.getPrmFast(&value, nullptr, "Nope", kGainNode, indexes, 1, 0));
    field.failing.insert("getDescName");
    EXPECT_EQ(0u, facade.getPrmFast(&value, nullptr, "A", kGainNode, indexes, 1, 0));
    EXPECT_EQ(8, value.toInt32());
    EXPECT_EQ(0u, facade.getPrmMinFast(&value, "A", kGainNode, 1));
    EXPECT_EQ(-1000, value.toInt32());
    EXPECT_TRUE(framework.calls.empty());

    ReadonlyFacade plain(&field, kTask);
    EXPECT_EQ(0u, plain.getPrm(&value, nullptr, "A", "Gain", 4, indexes, 1, 0));
    EXPECT_EQ(8, value.toInt32());
}

TEST(FacadeReadonlyTest, TextReadsConvertTheAddressAndCheckTheIndexCount)
{
    (void)MmsTest::heap1();
    MMS::Field field(nullptr, nullptr, nullptr, nullptr, nullptr);
    buildRoots(field, {"A"});
    ASSERT_EQ(0x100u, setGain(field, "A", 5, 33));
    const uint32_t indexes[5] = {5, 0, 0, 0, 0};
    RecordingLinkFramework framework;
    ReadonlyFacade facade(&field, kTask, &framework, "U/F", 1);
    JVariant value;

    // Converted: the framework sees the node vector; its 4 sends the read to the field.
    EXPECT_EQ(0u, facade.getPrm(&value, nullptr, "A", "Gain", 4, indexes, 1, 0));
    EXPECT_EQ(33, value.toInt32());
    ASSERT_EQ(1u, framework.calls.size());
    EXPECT_EQ((std::vector<uint32_t>{0}), framework.calls[0].nodes);
    EXPECT_EQ((std::vector<uint32_t>{5}), framework.calls[0].indexes);
    // A larger count reads the same element.
    EXPECT_EQ(0u, facade.getPrm(&value, nullptr, "A", "Gain", 4, indexes, 5, 0));
    EXPECT_EQ(33, value.toInt32());

    // Fewer indexes than the converted address has levels: refused before anything is read.
    framework.calls.clear();
    EXPECT_EQ(0x80000002u, facade.getPrm(&value, nullptr, "A", "Gain", 4, indexes, 0, 0));
    EXPECT_TRUE(framework.calls.empty());

    // Not convertible: the field's text read with the caller's address, the framework not asked.
    EXPECT_EQ(0x80000006u, facade.getPrm(&value, nullptr, "A", "Nope", 4, indexes, 1, 0));
    EXPECT_TRUE(framework.calls.empty());
}

TEST(FacadeReadonlyTest, ForwardsQueriesOfTheFieldWithoutTheRootName)
{
    (void)MmsTest::heap1();
    MMS::Field field(nullptr, nullptr, nullptr, nullptr, nullptr);
    buildRoots(field, {"A", "B"});
    ReadonlyFacade facade(&field, kTask);

    uint32_t count = 0;
    EXPECT_EQ(0u, facade.getRootNum(&count));
    EXPECT_EQ(2u, count);
    char name[24] = {};
    EXPECT_EQ(0u, facade.getRootIdentifier(name, 1));
    EXPECT_STREQ("B", name);
    char text[64] = {};
    EXPECT_EQ(0u, facade.cnvFastToStrAddr(text, sizeof text, "B", kGainNode, 1));
    EXPECT_STREQ("Gain", text);
    uint32_t size = 0;
    EXPECT_EQ(0u, facade.getStrAddrSize(&size, "B", kGainNode, 1));
    EXPECT_EQ(strlen("Gain") + 1, size);
    JVariant def;
    EXPECT_EQ(0u, facade.getPrmDefFast(&def, "B", kGainNode, 1));
    EXPECT_EQ(0, def.toInt32());
    EXPECT_EQ(field.getMutex(), facade.getMutex());
}

TEST(FacadeReadonlyTest, SubscribesItsTaskAndUnsubscribesWhenDestroyed)
{
    (void)MmsTest::heap1();
    MMS::Field field(nullptr, nullptr, nullptr, nullptr, nullptr);
    buildRoots(field, {"A"});
    const uint32_t indexes[1] = {1};
    uint8_t changed = 9;
    {
        ReadonlyFacade facade(&field, kTask);
        ASSERT_EQ(0u, facade.subscribe(0, 1, false));
        ASSERT_EQ(0x100u, setGain(field, "A", 1, 12, 5));
        EXPECT_EQ(0u, facade.isChangedFast(&changed, "A", kGainNode, indexes, 1, 0));
        EXPECT_EQ(1u, changed);
        // The read with the clear option clears the facade task's flag.
        JVariant value;
        EXPECT_EQ(0x100u, facade.getPrmFast(&value, nullptr, "A", kGainNode, indexes, 1, 1));
        EXPECT_EQ(0u, facade.isChangedFast(&changed, "A", kGainNode, indexes, 1, 0));
        EXPECT_EQ(0u, changed);
        EXPECT_TRUE(isFailure(field.subscribe(0, kTask, 1, false)));  // already subscribed
    }
    // The destructor gave the subscription back: the task can subscribe afresh.
    EXPECT_EQ(0u, field.subscribe(0, kTask, 1, false));
}
