// The read-write facade: single writes offered to the link framework, array writes split element
// by element for linked parameters, and the text-address forms.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "devctrl/FacadeTestSupport.h"
#include "devctrl/devctrl_ReadwriteFacade.h"

using namespace FacadeTest;
using DeviceControl::ReadwriteFacade;

namespace {

constexpr uint32_t kTask = 33;

// A field of root "A", the framework and a facade over both under the unit "Unit".
struct Rig {
    Rig() { buildRoots(field, {"A"}); }
    bool heapReady = (MmsTest::heap1(), true);  // before the field: its core comes from heap 1
    FaultyField field;
    RecordingLinkFramework framework;
    ReadwriteFacade facade{&field, kTask, &framework, "Unit/Field", 4};
};

std::vector<int> values(const std::vector<LinkCall>& calls)
{
    std::vector<int> out;
    for (const LinkCall& c : calls) out.push_back(c.value);
    return out;
}

}  // namespace

TEST(FacadeReadwriteTest, WithoutAFieldEveryWriteGivesWrongState)
{
    ReadwriteFacade facade(nullptr, kTask, nullptr, nullptr, 0);
    const uint32_t indexes[1] = {0};
    int32_t memory[1] = {0};
    JVariantArray array(memory, JVariant::kTypeInt32, 4, 1);
    const uint8_t factors[1] = {1};
    unsigned char image[8] = {};
    const JVariant value(1);
    const std::function<uint32_t()> writes[] = {
        [&] { return facade.importDataUsingMuchMemoryFast(image, 8, nullptr, 0, "A", kGainNode, indexes, 1, 1, 0, 0,
                                                          nullptr, 0, nullptr); },
        [&] { return facade.importData(image, 8, nullptr, 0, "A", "Gain", 4, indexes, 1, 1, 0, 0, nullptr, 0,
                                       nullptr); },
        [&] { return facade.setDumpUsingMuchMemoryFast(image, 8, nullptr, 0, 1, 0, 0, nullptr, 0, nullptr); },
        [&] { return facade.setPrmFast(value, "A", kGainNode, indexes, 1, 1, 0, 0, 0, nullptr, 0, nullptr); },
        [&] { return facade.setPrm(value, "A", "Gain", 4, indexes, 1, 1, 0, 0, 0, nullptr, 0, nullptr); },
        [&] { return facade.setPrmArrayFast(array, "A", kGainNode, indexes, indexes, 1, 1, 1, 0, 0, 0, nullptr, 0, 0,
                                            nullptr); },
        [&] { return facade.setPrmArray(array, "A", "Gain", 4, indexes, indexes, 1, 1, 1, 0, 0, 0, nullptr, 0, 0,
                                        nullptr); },
        [&] { return facade.setPrmAndFactorArrayFast(array, "A", kGainNode, indexes, indexes, 1, factors, 1, 1, 0, 0,
                                                     0, nullptr, 0, 0, nullptr); },
        [&] { return facade.setPrmAndFactorArray(array, "A", "Gain", 4, indexes, indexes, 1, factors, 1, 1, 0, 0, 0,
                                                 nullptr, 0, 0, nullptr); },
        [&] { return facade.setDefaultPrms("A", 1, 0); },
    };
    for (size_t i = 0; i < std::size(writes); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(0x80000004u, writes[i]());
    }
}

TEST(FacadeReadwriteTest, SingleWritesAreOfferedToTheFrameworkFirst)
{
    // 4 or a failure: the field is written and its result given; anything else: done, 0.
    struct Case {
        uint32_t frameworkResult;
        uint32_t result;
        int fieldValue;
    };
    const Case cases[] = {
        {4, 0x100, 9},
        {0x80000003u, 0x100, 9},
        {0, 0, 0},
        {0x100, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frameworkResult);
        Rig rig;
        rig.framework.setResult = c.frameworkResult;
        const uint32_t indexes[1] = {6};
        EXPECT_EQ(c.result,
                  rig.facade.setPrmFast(JVariant(9), "A", kGainNode, indexes, 1, 3, 0, 0, 0, nullptr, 0, nullptr));
        EXPECT_EQ(c.fieldValue, getGain(rig.field, "A", 6));
        ASSERT_EQ(1u, rig.framework.calls.size());
        const LinkCall& call = rig.framework.calls[0];
        EXPECT_EQ("set", call.op);
        EXPECT_EQ("Unit", call.unitName);
        EXPECT_EQ(kDescName, call.descName);
        EXPECT_EQ((std::vector<uint32_t>{6}), call.indexes);
        EXPECT_EQ(9, call.value);
        EXPECT_EQ(3u, call.factor);
        EXPECT_EQ(kTask, call.taskId);
    }

    // No description name: the framework is not asked.
    Rig rig;
    rig.framework.setResult = 0;
    rig.field.failing.insert("getDescName");
    const uint32_t indexes[1] = {1};
    EXPECT_EQ(0x100u, rig.facade.setPrmFast(JVariant(5), "A", kGainNode, indexes, 1, 1, 0, 0, 0, nullptr, 0, nullptr));
    EXPECT_EQ(5, getGain(rig.field, "A", 1));
    EXPECT_TRUE(rig.framework.calls.empty());
}

TEST(FacadeReadwriteTest, TextWritesConvertTheAddressAndCheckTheIndexCount)
{
    Rig rig;
    const uint32_t indexes[5] = {4, 0, 0, 0, 0};
    EXPECT_EQ(0x100u, rig.facade.setPrm(JVariant(8), "A", "Gain", 4, indexes, 1, 1, 0, 0, 0, nullptr, 0, nullptr));
    EXPECT_EQ(8, getGain(rig.field, "A", 4));
    ASSERT_EQ(1u, rig.framework.calls.size());
    EXPECT_EQ((std::vector<uint32_t>{0}), rig.framework.calls[0].nodes);

    // An index count below the converted depth would read past the caller's vector: refused.
    rig.framework.calls.clear();
    EXPECT_EQ(0x80000002u,
              rig.facade.setPrm(JVariant(9), "A", "Gain", 4, indexes, 0, 1, 0, 0, 0, nullptr, 0, nullptr));
    EXPECT_EQ(8, getGain(rig.field, "A", 4));
    EXPECT_TRUE(rig.framework.calls.empty());

    // Not convertible: the field's own text write answers.
    EXPECT_EQ(0x80000006u,
              rig.facade.setPrm(JVariant(9), "A", "Nope", 4, indexes, 1, 1, 0, 0, 0, nullptr, 0, nullptr));
    EXPECT_TRUE(rig.framework.calls.empty());
}

TEST(FacadeReadwriteTest, LinkedArraysAreWrittenElementByElementWithTheFirstFailureKept)
{
    Rig rig;
    rig.framework.linkedResult = 1;
    int32_t memory[3] = {100, 101, 102};
    JVariantArray array(memory, JVariant::kTypeInt32, 4, 3);
    const uint32_t first[1] = {2};
    const uint32_t last[1] = {4};
    const uint8_t factors[3] = {5, 6, 7};

    // sameFactor: the first factor for every element; the last index counts fastest.
    EXPECT_EQ(0x100u, rig.facade.setPrmAndFactorArrayFast(array, "A", kGainNode, first, last, 1, factors, 0, 1, 0, 0,
                                                          0, nullptr, 0, 0, nullptr));
    std::vector<LinkCall> sets;
    for (const LinkCall& c : rig.framework.calls) {
        if (c.op == "set") sets.push_back(c);
    }
    ASSERT_EQ(3u, sets.size());
    EXPECT_EQ((std::vector<int>{100, 101, 102}), values(sets));
    for (uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ((std::vector<uint32_t>{2 + i}), sets[i].indexes);
        EXPECT_EQ(5u, sets[i].factor);
    }
    EXPECT_EQ((std::vector<int>{0, 0, 100, 101, 102, 0, 0, 0}), allGains(rig.field, "A"));
    EXPECT_EQ(0, rig.field.arrayWrites);

    // The second element fails, the third is still written, the failure is the result.
    rig.field.failingElements.insert(1);
    const uint32_t from[1] = {0};
    const uint32_t to[1] = {2};
    int32_t more[1] = {-7};
    JVariantArray one(more, JVariant::kTypeInt32, 4, 1);
    EXPECT_EQ(FaultyField::kFault, rig.facade.setPrmAndFactorArrayFast(one, "A", kGainNode, from, to, 1, factors, 1,
                                                                        0, 0, 0, 0, nullptr, 0, 0, nullptr));
    EXPECT_EQ((std::vector<int>{-7, 0, -7, 101, 102, 0, 0, 0}), allGains(rig.field, "A"));
    uint8_t factor = 0;
    EXPECT_EQ(-7, getGain(rig.field, "A", 2, &factor));
    EXPECT_EQ(7u, factor);  // the third factor went with the third element

    // A value array too short for the range: the missing values fail, the rest is written.
    int32_t two[2] = {40, 41};
    JVariantArray shortArray(two, JVariant::kTypeInt32, 4, 2);
    const uint32_t start[1] = {5};
    const uint32_t end[1] = {7};
    EXPECT_EQ(0x80000002u, rig.facade.setPrmAndFactorArrayFast(shortArray, "A", kGainNode, start, end, 1, factors, 0,
                                                                1, 0, 0, 0, nullptr, 0, 0, nullptr));
    EXPECT_EQ((std::vector<int>{-7, 0, -7, 101, 102, 40, 41, 0}), allGains(rig.field, "A"));
}

TEST(FacadeReadwriteTest, ElementWalkRefusesDepthsItCannotWalkAndTakesFactorZeroWithoutFactors)
{
    Rig rig;
    rig.framework.linkedResult = 1;
    int32_t memory[1] = {3};
    JVariantArray array(memory, JVariant::kTypeInt32, 4, 1);
    const uint32_t nodes[6] = {};
    const uint32_t first[6] = {};
    const uint32_t last[6] = {};
    for (uint32_t depth : {0u, 6u}) {
        SCOPED_TRACE(depth);
        rig.framework.calls.clear();
        EXPECT_EQ(0x80000002u, rig.facade.setPrmAndFactorArrayFast(array, "A", nodes, first, last, depth, nullptr,
                                                                   1, 1, 0, 0, 0, nullptr, 0, 0, nullptr));
        EXPECT_EQ((std::vector<std::string>{"linked"}), rig.framework.ops());
        EXPECT_EQ(0, rig.field.singleWrites);
    }

    const uint32_t element[1] = {3};
    EXPECT_EQ(0x100u, rig.facade.setPrmAndFactorArrayFast(array, "A", kGainNode, element, element, 1, nullptr, 1, 0,
                                                          0, 0, 0, nullptr, 0, 0, nullptr));
    uint8_t factor = 9;
    EXPECT_EQ(3, getGain(rig.field, "A", 3, &factor));
    EXPECT_EQ(0u, factor);
}

TEST(FacadeReadwriteTest, UnlinkedArraysGoToTheFieldInOneWriteWithTheOneFactor)
{
    Rig rig;
    int32_t memory[1] = {12};
    JVariantArray array(memory, JVariant::kTypeInt32, 4, 1);
    const uint32_t first[1] = {0};
    const uint32_t last[1] = {7};
    EXPECT_FALSE(isFailure(rig.facade.setPrmArrayFast(array, "A", kGainNode, first, last, 1, 7, 1, 0, 0, 0, nullptr,
                                                      0, 0, nullptr)));
    EXPECT_EQ(1, rig.field.arrayWrites);
    EXPECT_EQ(0, rig.field.singleWrites);
    EXPECT_EQ((std::vector<std::string>{"linked"}), rig.framework.ops());
    for (uint32_t i = 0; i < kGainCount; ++i) {
        uint8_t factor = 0;
        EXPECT_EQ(12, getGain(rig.field, "A", i, &factor));
        EXPECT_EQ(7u, factor);
    }

    // Linked: every element is offered with factor 7.
    rig.framework.linkedResult = 1;
    rig.framework.calls.clear();
    const uint32_t two[1] = {1};
    EXPECT_FALSE(isFailure(rig.facade.setPrmArray(array, "A", "Gain", 4, first, two, 1, 7, 1, 0, 0, 0, nullptr, 0, 0,
                                                  nullptr)));
    EXPECT_EQ((std::vector<std::string>{"linked", "set", "set"}), rig.framework.ops());
    EXPECT_EQ(7u, rig.framework.calls[1].factor);
    EXPECT_EQ(7u, rig.framework.calls[2].factor);
}

TEST(FacadeReadwriteTest, TextArrayWritesConvertFirstAndIgnoreASurplusIndexCount)
{
    Rig rig;
    int32_t memory[1] = {-3};
    JVariantArray array(memory, JVariant::kTypeInt32, 4, 1);
    const uint8_t factor[1] = {1};
    const uint32_t first[5] = {1, 0, 0, 0, 0};
    const uint32_t last[5] = {2, 0, 0, 0, 0};
    EXPECT_FALSE(isFailure(rig.facade.setPrmAndFactorArray(array, "A", "Gain", 4, first, last, 5, factor, 1, 1, 0, 0,
                                                           0, nullptr, 0, 0, nullptr)));
    EXPECT_EQ((std::vector<int>{0, -3, -3, 0, 0, 0, 0, 0}), allGains(rig.field, "A"));
    EXPECT_EQ(0x80000002u, rig.facade.setPrmAndFactorArray(array, "A", "Gain", 4, first, last, 0, factor, 1, 1, 0, 0,
                                                           0, nullptr, 0, 0, nullptr));
    EXPECT_EQ(0x80000006u, rig.facade.setPrmAndFactorArray(array, "A", "Nope", 4, first, last, 1, factor, 1, 1, 0, 0,
                                                           0, nullptr, 0, 0, nullptr));
    EXPECT_EQ(1, rig.field.arrayWrites);
}

TEST(FacadeReadwriteTest, ForwardsDefaultsAndImportsWithItsTaskId)
{
    Rig rig;
    ASSERT_EQ(0u, rig.field.subscribe(0, 5, 1, false));
    ASSERT_EQ(0x100u, setGain(rig.field, "A", 0, 9));
    EXPECT_FALSE(isFailure(rig.facade.setDefaultPrms("A", 1, 0)));
    EXPECT_EQ(0, getGain(rig.field, "A", 0));

    // A whole-root image of another field comes in through the facade.
    MMS::Field other(nullptr, nullptr, nullptr, nullptr, nullptr);
    buildRoots(other, {"A"});
    ASSERT_EQ(0x100u, setGain(other, "A", 3, 44));
    uint32_t size = 0;
    ASSERT_EQ(0u, other.getExportDataSizeFast(&size, "A", nullptr, 0, 0));
    std::vector<unsigned char> image(size);
    uint32_t written = 0;
    ASSERT_FALSE(isFailure(other.exportDataFast(image.data(), &written, size, "A", nullptr, nullptr, 0, 0, 0, 0, 0, 0,
                                                nullptr)));
    EXPECT_FALSE(isFailure(rig.facade.importDataUsingMuchMemoryFast(image.data(), written, nullptr, 0, "A", nullptr,
                                                                    nullptr, 0, 1, 0, 0, nullptr, 0, nullptr)));
    EXPECT_EQ(44, getGain(rig.field, "A", 3));
}
