#include "PDB/pdb_Component.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "PDB/pdb_LocalComponent.h"
#include "pdb_ComponentTestTypes.h"
#include "pdb_TestFakes.h"

namespace {

constexpr uint32_t kA = 0, kB = 1, kC = 2, kS = 3;

struct LiveComponent {
    explicit LiveComponent(const PDB::ComponentInfo& info, uint32_t subscribers = 0)
    {
        EXPECT_EQ(0u, component.initialize(&db, 4, info, &callback, 0));
        EXPECT_EQ(0u, component.resizeDirtyFlag(subscribers));
    }
    pdbtest::FlagDB db;
    pdbtest::CountingComponentCallback callback;
    PDB::Component component;
};

std::vector<uint8_t> imageOf(const PDB::IComponent& component)
{
    std::vector<uint8_t> image(component.exportSize());
    EXPECT_EQ(0u, component.exportBinary(image.data(), uint32_t(image.size())));
    return image;
}

}  // namespace

TEST(ComponentTest, TypedAccessForwardsToTheArraysAndReportsEveryWriteOnce)
{
    LiveComponent live(pdbtest::mixedType());
    EXPECT_TRUE(live.component.isValid());
    EXPECT_EQ(4u, live.component.addressNum());
    EXPECT_EQ(kS, live.component.addressIndex("/S"));
    EXPECT_EQ(0xFFFFFFFFu, live.component.addressIndex("/Z"));
    EXPECT_EQ(3u, live.component.paramInfo(kA).numY);
    EXPECT_EQ(5u, live.component.getUInt32(kA, 1, 2, nullptr));  // defaults in place

    EXPECT_EQ(0u, live.component.setUInt32(kA, 1, 2, 42, 3));
    EXPECT_EQ(0x20u, live.component.setSInt32(kB, 0, 0, 500, 4));
    EXPECT_EQ(0u, live.component.setBool(kC, 32, 0, true, 5));
    EXPECT_EQ(0u, live.component.setString(kS, 0, 0, "longer text", 6));
    EXPECT_EQ(0u, live.component.setFloat(kB, 0, 0, 100.0f, 7));  // Float 100 equals 100: no change
    EXPECT_EQ(0x80000002u, live.component.setUInt32(9, 0, 0, 1, 8));  // no such address
    EXPECT_EQ(6, live.callback.calls);

    uint8_t f = 0;
    EXPECT_EQ(42u, live.component.getUInt32(kA, 1, 2, &f));
    EXPECT_EQ(3, f);
    EXPECT_EQ(100, live.component.getSInt32(kB, 0, 0, &f));
    EXPECT_EQ(4, f);
    EXPECT_TRUE(live.component.getBool(kC, 32, 0, nullptr));
    EXPECT_FALSE(live.component.getBool(kC, 31, 0, nullptr));
    JVariant text;
    EXPECT_EQ(0u, live.component.getVariant(text, kS, 0, 0, nullptr));
    EXPECT_STREQ("longer", text.toString());
    EXPECT_EQ(0.0f, live.component.getFloat(kA, 5, 5, &f));  // a failed read gives 0
    EXPECT_EQ(0xFF, f);
    EXPECT_EQ(0xFF, live.component.getFactor(9, 0, 0));
    EXPECT_FALSE(live.component.checkPosRange(kA, 2, 0));
    EXPECT_TRUE(live.component.checkPosRange(kA, 1, 2));
    EXPECT_EQ(0u, live.component.paramInfo(9).type);
}

TEST(ComponentTest, DefaultsReevaluateAndReflectReportOnce)
{
    LiveComponent live(pdbtest::mixedType());
    ASSERT_EQ(0u, live.component.setUInt32(kA, 0, 0, 50, 1));
    ASSERT_EQ(0u, live.component.setUInt32(kA, 1, 1, 60, 1));
    ASSERT_EQ(0u, live.component.setUInt32(kB, 0, 0, 70, 1));
    live.callback.calls = 0;

    EXPECT_EQ(0u, live.component.setDefault(kA, 2));
    EXPECT_EQ(5u, live.component.getUInt32(kA, 0, 0, nullptr));
    EXPECT_EQ(5u, live.component.getUInt32(kA, 1, 1, nullptr));
    EXPECT_EQ(70u, live.component.getUInt32(kB, 0, 0, nullptr));
    EXPECT_EQ(0u, live.component.setDefault(3));
    EXPECT_EQ(9u, live.component.getUInt32(kB, 0, 0, nullptr));
    EXPECT_EQ(3, live.component.getFactor(kB, 0, 0));
    EXPECT_EQ(2, live.callback.calls);

    EXPECT_EQ(0u, live.component.reevaluate(4));
    EXPECT_EQ(3, live.callback.calls);

    PDB::LocalComponent source(live.component);
    ASSERT_EQ(0u, source.setUInt32(kA, 1, 0, 77, 0));
    uint8_t sourceFactor = 0;
    (void)source.getUInt32(kA, 1, 0, &sourceFactor);
    EXPECT_EQ(0x10000u, live.component.reflectChange(kA, 1, 0, source));  // read status ORed in
    EXPECT_EQ(77u, live.component.getUInt32(kA, 1, 0, nullptr));
    EXPECT_EQ(sourceFactor, live.component.getFactor(kA, 1, 0));
    EXPECT_EQ(4, live.callback.calls);
}

TEST(ComponentTest, DirtyFlagsAreCapturedAndWalkedPerSubscriber)
{
    LiveComponent live(pdbtest::mixedType(), 2);
    ASSERT_EQ(0u, live.component.setUInt32(kA, 1, 0, 11, 0xFF));
    ASSERT_EQ(0u, live.component.setUInt32(kB, 0, 0, 12, 0xFF));
    EXPECT_FALSE(live.component.getDirty(0, kA, 1, 0));  // not captured yet

    ASSERT_EQ(0u, live.component.captureDirtyFlag(0));
    ASSERT_EQ(0u, live.component.setUInt32(kA, 0, 0, 13, 0xFF));  // after the capture
    EXPECT_TRUE(live.component.getDirty(0, kA, 1, 0));
    EXPECT_FALSE(live.component.getDirty(0, kA, 0, 0));

    struct Found {
        uint32_t ai, x, y;
        bool operator==(const Found&) const = default;
    };
    auto walk = [&](int32_t slot) {
        std::vector<Found> found;
        uint32_t ai = 0, x = 0, y = 0;
        while (live.component.checkNextDirty(slot, ai, x, y) == 0) found.push_back({ai, x, y});
        EXPECT_EQ(live.component.addressNum(), ai);
        return found;
    };
    EXPECT_EQ((std::vector<Found>{{kA, 1, 0}, {kB, 0, 0}}), walk(0));
    EXPECT_TRUE(walk(0).empty());
    ASSERT_EQ(0u, live.component.captureDirtyFlag(0));
    EXPECT_EQ((std::vector<Found>{{kA, 0, 0}}), walk(0));

    ASSERT_EQ(0u, live.component.captureDirtyFlag(1));
    EXPECT_EQ(0u, live.component.clearAllDirty(1));
    EXPECT_TRUE(walk(1).empty());

    EXPECT_EQ(0x80000000u, live.component.captureDirtyFlag(-1));
    EXPECT_EQ(0x80000000u, live.component.captureDirtyFlag(2));
    EXPECT_EQ(0x80000001u, live.component.clearAllDirty(2));
    EXPECT_FALSE(live.component.getDirty(2, kA, 0, 0));
    EXPECT_FALSE(live.component.getDirty(0, 9, 0, 0));
    EXPECT_EQ(0x80000001u, live.component.onNeedToSetDirty(9, 0, false));
}

TEST(ComponentTest, RecallingMarksOnlySubscribersThatAskForIt)
{
    LiveComponent live(pdbtest::mixedType(), 3);
    EXPECT_EQ(0u, live.component.setSubscribeAttr(1, PDB::SubscribeAttr(1)));
    EXPECT_EQ(0u, live.component.setSubscribeAttr(2, PDB::SubscribeAttr(3)));
    EXPECT_EQ(0u, live.component.setSubscribeAttr(7, PDB::SubscribeAttr(1)));  // no such slot
    live.db.recalling = true;
    ASSERT_EQ(0u, live.component.setUInt32(kB, 0, 0, 1, 0xFF));
    ASSERT_EQ(0u, live.component.setDirty(kA, 0, 2, 0x21));
    for (int32_t slot = 0; slot < 3; ++slot) {
        SCOPED_TRACE(slot);
        ASSERT_EQ(0u, live.component.captureDirtyFlag(slot));
        EXPECT_EQ(slot == 1, live.component.getDirty(slot, kB, 0, 0));
        EXPECT_EQ(slot == 1, live.component.getDirty(slot, kA, 0, 2));
    }
    EXPECT_EQ(0x21, live.component.getFactor(kA, 0, 2));

    // A subscriber added later starts with empty banks; the others keep their marks.
    EXPECT_EQ(0u, live.component.resizeDirtyFlag(4));
    ASSERT_EQ(0u, live.component.captureDirtyFlag(3));
    EXPECT_FALSE(live.component.getDirty(3, kB, 0, 0));
    EXPECT_TRUE(live.component.getDirty(1, kB, 0, 0));
}

TEST(ComponentTest, RecallLeavesRecallSafeElements)
{
    LiveComponent live(pdbtest::mixedType());
    PDB::LocalComponent source(live.component);
    for (uint32_t x = 0; x < 2; ++x) {
        for (uint32_t y = 0; y < 3; ++y) ASSERT_EQ(0u, source.setUInt32(kA, x, y, 20 + x * 3 + y, 0));
    }
    EXPECT_EQ(0u, live.component.setImportSafeFlag(kA, 1, 1, true));
    EXPECT_EQ(0u, live.component.setImportSafeFlag(kA, 5, 5, true));  // outside: nothing
    EXPECT_EQ(0x80000001u, live.component.setImportSafeFlag(9, 0, 0, true));
    EXPECT_TRUE(live.component.getImportSafeFlag(kA, 1, 1));
    EXPECT_FALSE(live.component.getImportSafeFlag(9, 0, 0));

    EXPECT_EQ(0u, live.component.recall(kA, source, PDB::ImportAttr(0), 2));
    EXPECT_EQ(23u, live.component.getUInt32(kA, 1, 0, nullptr));
    EXPECT_EQ(5u, live.component.getUInt32(kA, 1, 1, nullptr));
    EXPECT_EQ(0u, live.component.setAllImportSafeFlag(false));
    EXPECT_EQ(0u, live.component.recall(kA, source, PDB::ImportAttr(0), 2));
    EXPECT_EQ(24u, live.component.getUInt32(kA, 1, 1, nullptr));

    EXPECT_EQ(0u, live.component.duplicate(kB, source, 6));
    EXPECT_EQ(6, live.component.getFactor(kB, 0, 0));
}

TEST(ComponentTest, ResizeKeepsFlagsOfTheOverlapAndClearsEveryBank)
{
    LiveComponent live(pdbtest::gridType(), 1);
    ASSERT_EQ(0u, live.component.resizeComponent(2, 3, false, 0xFF));
    const int16_t generation = live.component.componentInfo().generation();
    for (uint32_t x = 0; x < 2; ++x) {
        for (uint32_t y = 0; y < 3; ++y) ASSERT_EQ(0u, live.component.setImportSafeFlag(0, x, y, true));
    }
    ASSERT_EQ(0u, live.component.setUInt32(0, 1, 1, 99, 0xFF));

    EXPECT_EQ(0u, live.component.resizeComponent(3, 2, true, 7));
    EXPECT_EQ(generation + 1, live.component.componentInfo().generation());
    EXPECT_EQ(3u, live.component.paramInfo(0).numX);
    EXPECT_EQ(2u, live.component.paramInfo(0).numY);
    EXPECT_EQ(99u, live.component.getUInt32(0, 1, 1, nullptr));
    for (uint32_t x = 0; x < 3; ++x) {
        for (uint32_t y = 0; y < 2; ++y) {
            SCOPED_TRACE(x * 10 + y);
            EXPECT_EQ(x < 2, live.component.getImportSafeFlag(0, x, y));
        }
    }
    ASSERT_EQ(0u, live.component.captureDirtyFlag(0));
    uint32_t ai = 0, x = 0, y = 0;
    EXPECT_EQ(0x200000u, live.component.checkNextDirty(0, ai, x, y));

    EXPECT_EQ(0x80000001u, live.component.resizeComponent(5, 1, true, 7));  // beyond the type's limit
    EXPECT_EQ(3u, live.component.paramInfo(0).numX);
}

TEST(ComponentTest, ImageRoundTripsAndHasTheDocumentedSize)
{
    LiveComponent first(pdbtest::mixedType());
    // 92 + (16 + 8) + (16 + 4) + (16 + 8) + (16 + 8)
    EXPECT_EQ(184u, first.component.exportSize());
    ASSERT_EQ(0u, first.component.setUInt32(kA, 1, 2, 33, 1));
    ASSERT_EQ(0u, first.component.setBool(kC, 32, 0, true, 1));
    ASSERT_EQ(0u, first.component.setString(kS, 0, 0, "abc", 1));
    const std::vector<uint8_t> image = imageOf(first.component);
    const uint8_t boolRecord[] = {'#', 'P', 'R', '1', 0, 2, PDB::kTypeBool, 0, 0, 0, 0, 1, 0, 33, 0, 1};
    EXPECT_EQ(0, std::memcmp(boolRecord, image.data() + 92 + 24 + 20, sizeof boolRecord));
    EXPECT_EQ(0x80u, image[92 + 24 + 20 + 16 + 4]);  // element 32: byte 4, top bit

    std::vector<uint8_t> small(image.size() - 1);
    EXPECT_EQ(0x80000001u, first.component.exportBinary(small.data(), uint32_t(small.size())));

    LiveComponent second(pdbtest::mixedType());
    second.callback.calls = 0;
    EXPECT_EQ(0u, second.component.importBinary(second.db, 0, image.data(), uint32_t(image.size()),
                                                PDB::ImportAttr(0), 8, 0));
    EXPECT_EQ(33u, second.component.getUInt32(kA, 1, 2, nullptr));
    EXPECT_EQ(8, second.component.getFactor(kA, 1, 2));
    EXPECT_TRUE(second.component.getBool(kC, 32, 0, nullptr));
    EXPECT_EQ(imageOf(first.component), imageOf(second.component));
    EXPECT_EQ(1, second.callback.calls);
}

TEST(ComponentTest, ImportRefusesOrStopsOnBadImages)
{
    LiveComponent source(pdbtest::mixedType());
    for (uint32_t ai : {kA, kB}) ASSERT_EQ(0u, source.component.setUInt32(ai, 0, 0, 44, 1));
    ASSERT_EQ(0u, source.component.setBool(kC, 0, 0, true, 1));
    const std::vector<uint8_t> good = imageOf(source.component);
    const size_t recordB = 92 + 24;
    const size_t recordC = recordB + 20;

    std::vector<uint8_t> unknownAddress = good;
    unknownAddress[recordB + 5] = 99;
    std::vector<uint8_t> badMagic = good;
    badMagic[recordB + 3] = '2';
    std::vector<uint8_t> hugeRecord = good;  // a header that claims 65535 x 65535 elements
    std::memset(&hugeRecord[recordB + 12], 0xFF, 4);

    struct Case {
        const char* what;
        std::vector<uint8_t> image;
        uint32_t length;
        JLIB::JResult result;
        bool a, b, c;  // which records arrived
        const char* logged;
    };
    const Case cases[] = {
        {"whole image", good, uint32_t(good.size()), 0, true, true, true, ""},
        {"second record for a missing address", unknownAddress, uint32_t(good.size()), 0, true, false, true,
         "[W] ComponentInfo::importBinary - Unknown address found. [paramBlockIndex=1, destAddressIndex=99]\n"},
        {"cut inside the third record's values", good, uint32_t(recordC + 16 + 4), 0, true, true, false,
         "[E] ComponentInfo::importBinary - Insufficient data size. [paramBlockIndex=2, destAddressIndex=2]\n"},
        {"cut inside the second record's header", good, uint32_t(recordB + 10), 0, true, false, false, ""},
        {"huge record", hugeRecord, uint32_t(good.size()), 0, true, false, false,
         "[E] ComponentInfo::importBinary - Insufficient data size. [paramBlockIndex=1, destAddressIndex=1]\n"},
        {"bad magic", badMagic, uint32_t(good.size()), 0x80010000u, true, false, false,
         "[E] ComponentInfo::importBinary - Unknown ParameterInfo format. [paramBlockIndex=1]\n"},
        {"shorter than a definition image", good, 91, 0x80000001u, false, false, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LiveComponent target(pdbtest::mixedType());
        testing::internal::CaptureStdout();
        EXPECT_EQ(c.result, target.component.importBinary(target.db, 0, c.image.data(), c.length,
                                                          PDB::ImportAttr(0), 0xFF, 0));
        const std::string log = testing::internal::GetCapturedStdout();
        EXPECT_NE(std::string::npos, log.find(c.logged)) << log;
        EXPECT_EQ(c.a ? 44u : 5u, target.component.getUInt32(kA, 0, 0, nullptr));
        EXPECT_EQ(c.b ? 44u : 9u, target.component.getUInt32(kB, 0, 0, nullptr));
        EXPECT_EQ(c.c, target.component.getBool(kC, 0, 0, nullptr));
    }
    EXPECT_EQ(0x80000001u, source.component.importBinary(source.db, 0, nullptr, 500, PDB::ImportAttr(0), 0, 0));
}

TEST(ComponentTest, ImportOfAnotherTypeChangesNothing)
{
    LiveComponent grid(pdbtest::gridType());
    const std::vector<uint8_t> image = imageOf(grid.component);
    LiveComponent target(pdbtest::mixedType());
    testing::internal::CaptureStdout();
    EXPECT_EQ(0x80020000u, target.component.importBinary(target.db, 0, image.data(), uint32_t(image.size()),
                                                         PDB::ImportAttr(0), 0xFF, 0));
    EXPECT_EQ("[E] AbstractComponent::importBinary - Unknown component. [name=Grid, ver=2]\n",
              testing::internal::GetCapturedStdout());
    EXPECT_EQ(4u, target.component.addressNum());
    EXPECT_EQ(0, target.callback.calls);

    // With the configuration the component becomes the image's type.
    EXPECT_EQ(0u, target.component.importBinary(target.db, 0, image.data(), uint32_t(image.size()),
                                                PDB::ImportAttr(PDB::ImportAttr::kConfig), 0xFF, 0));
    EXPECT_EQ("Grid", target.component.componentInfo().componentName());
    EXPECT_EQ(1u, target.component.addressNum());
}
