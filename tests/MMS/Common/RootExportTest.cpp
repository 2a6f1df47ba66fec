// Export images of a root and their import into another root of the same definition.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "MMS/Common/mms_CollectionTagInfo.h"
#include "MMS/Common/mms_ISetChecker.h"
#include "RootFixture.h"
#include "RootTestDoubles.h"
#include "RootValueFixture.h"

namespace {

using Bytes = std::vector<unsigned char>;
using MmsTest::ValueRoot;

unsigned char foreignOrder() { return MMS::CollectionTagInfo::isHostBigEndian() ? 1 : 2; }

struct ReadyRoot : ValueRoot {
    ReadyRoot() { ready(); }
};

Bytes exportWhole(MMS::Root& root, uint8_t order = 0, uint32_t* result = nullptr, uint8_t clearImport = 0,
                  uint32_t task = 0)
{
    uint32_t size = 0;
    EXPECT_EQ(0u, root.getExportDataSizeFast(&size, nullptr, 0, 0));
    Bytes image(size, 0);
    uint32_t written = 0;
    const uint32_t r = root.exportDataFast(image.data(), &written, nullptr, size, nullptr, nullptr, 0, 0, 0,
                                           clearImport, order, task);
    if (result != nullptr) *result = r;
    EXPECT_EQ(size, written);
    return image;
}

uint32_t importWhole(MMS::Root& root, Bytes& image, const Bytes* filter = nullptr, uint8_t options = 0,
                     const MMS::ISetChecker* checker = nullptr, uint32_t mode = 0)
{
    return root.importDataFast(image.data(), static_cast<uint32_t>(image.size()),
                               filter != nullptr ? filter->data() : nullptr,
                               filter != nullptr ? static_cast<uint32_t>(filter->size()) : 0, nullptr, nullptr, 0, 5,
                               0, options, 0, checker, mode, nullptr);
}

// Fills the source with a pattern of distinct values.
void fill(ValueRoot& r)
{
    for (uint32_t a = 0; a < 4; ++a) {
        for (uint32_t b = 0; b < 3; ++b) EXPECT_FALSE(r.set(int(a * 10 + b + 1), ValueRoot::kCh, a, b) & 0x80000000u);
    }
    for (uint32_t a = 0; a < 2; ++a) {
        for (uint32_t b = 0; b < 2; ++b) EXPECT_FALSE(r.set(-int(a * 10 + b + 1), ValueRoot::kBus, a, b) & 0x80000000u);
    }
}

TEST(RootExportTest, SizeOfWholeRootMatchesWrittenImage)
{
    ReadyRoot r;
    uint32_t size = 0;
    ASSERT_EQ(0u, r.root->getExportDataSizeFast(&size, nullptr, 0, 0));
    EXPECT_EQ(88u + r.root->getTagInfo().getTagInfoSize() + r.root->getValueSize(), size);
    uint32_t arraySize = 0;
    ASSERT_EQ(0u, r.root->getExportArraySizeFast(&arraySize, nullptr, nullptr, nullptr, 0, 0));
    EXPECT_EQ(size, arraySize);
    const Bytes image = exportWhole(*r.root);
    EXPECT_EQ(0, std::memcmp(image.data(), "MMS", 3));

    // One capacity byte short of the header: refused, nothing written.
    Bytes small(87, 0xAB);
    uint32_t written = 7;
    EXPECT_EQ(0x80000002u, r.root->exportDataFast(small.data(), &written, nullptr, 87, nullptr, nullptr, 0, 0, 0, 0,
                                                  0, 0));
    EXPECT_EQ(Bytes(87, 0xAB), small);
    EXPECT_EQ(7u, written);
    // Room for the header and tags but not all values.
    Bytes shortImage(size - 1, 0);
    EXPECT_EQ(0x80000002u, r.root->exportDataFast(shortImage.data(), &written, nullptr, size - 1, nullptr, nullptr,
                                                  0, 0, 0, 0, 0, 0));
    EXPECT_EQ(0x80000002u, r.root->exportDataFast(nullptr, &written, nullptr, size, nullptr, nullptr, 0, 0, 0, 0, 0,
                                                  0));

    ValueRoot building;  // laid out, not ready
    EXPECT_EQ(0x80000004u, building.root->getExportDataSizeFast(&size, nullptr, 0, 0));
}

TEST(RootExportTest, RangesNeedOneInstanceAboveTheLastLevelWithoutPath)
{
    MmsTest::RootMemories m;
    auto root = MmsTest::makeStandardRoot(m);
    const uint32_t eq[2] = {2, 1};  // Top/Ch[4]/Eq[3]
    const uint32_t first[2] = {0, 0};
    const uint32_t last[2] = {1, 2};  // over two Ch instances
    Bytes image(4096, 0);
    uint32_t size = 0;
    EXPECT_EQ(0x80000002u,
              root->exportArrayFast(image.data(), &size, nullptr, 0, 4096, eq, first, last, 2, 0, 0, 0, 0, 0));
    EXPECT_EQ(0x80000002u,
              root->exportArrayFast(image.data(), &size, nullptr, 0, 4096, eq, first, nullptr, 2, 0, 0, 0, 0, 0));
    // With the path the range is exported; each level above carries a 48-byte collection tag.
    uint32_t withPath = 0;
    ASSERT_EQ(0u, root->getExportArraySizeFast(&withPath, eq, first, last, 2, 1));
    ASSERT_EQ(0u, root->exportArrayFast(image.data(), &size, nullptr, 0, 4096, eq, first, last, 2, 1, 0, 0, 0, 0));
    EXPECT_EQ(withPath, size);
    // One Ch instance, all its Eqs, without path: two tags fewer.
    const uint32_t one[2] = {1, 0};
    const uint32_t oneLast[2] = {1, 0xFFFFFFFFu};
    uint32_t withoutPath = 0;
    ASSERT_EQ(0u, root->getExportArraySizeFast(&withoutPath, eq, one, oneLast, 2, 0));
    ASSERT_EQ(0u, root->exportArrayFast(image.data(), &size, nullptr, 0, 4096, eq, one, oneLast, 2, 0, 0, 0, 0, 0));
    EXPECT_EQ(withoutPath, size);
    uint32_t onePath = 0;
    ASSERT_EQ(0u, root->getExportArraySizeFast(&onePath, eq, one, oneLast, 2, 1));
    EXPECT_EQ(withoutPath + 2 * 48, onePath);
}

TEST(RootExportTest, ImportRestoresValuesAndMarksDifferencesInEitherOrder)
{
    for (uint8_t order : {uint8_t(0), foreignOrder()}) {
        SCOPED_TRACE(int(order));
        ReadyRoot source;
        ReadyRoot target;
        fill(source);
        ASSERT_FALSE(target.set(12, ValueRoot::kCh, 1, 1) & 0x80000000u);  // already the source's value: not marked
        ASSERT_EQ(0u, target.root->subscribe(0, 1, 1, 0, 0));
        ASSERT_EQ(0u, target.root->subscribe(4, 2, 1, 0, 0));  // shares bit 4 with the import's mode
        Bytes image = exportWhole(*source.root, order);
        EXPECT_EQ(0x100u, importWhole(*target.root, image, nullptr, 0, nullptr, 4));
        for (uint32_t a = 0; a < 4; ++a) {
            for (uint32_t b = 0; b < 3; ++b) {
                EXPECT_EQ(int(a * 10 + b + 1), target.get(ValueRoot::kCh, a, b));
                EXPECT_EQ(a == 1 && b == 1 ? 0 : 1, target.changed(1, ValueRoot::kCh, a, b));
                EXPECT_EQ(0, target.changed(2, ValueRoot::kCh, a, b));
            }
        }
        EXPECT_EQ(-12, target.get(ValueRoot::kBus, 1, 1));
        // Importing the same values again changes nothing.
        Bytes again = exportWhole(*source.root, order);
        EXPECT_EQ(0u, importWhole(*target.root, again));
    }
}

TEST(RootExportTest, ClearImportReportsImportFlags)
{
    ReadyRoot source;
    ReadyRoot target;
    fill(source);
    ASSERT_EQ(0u, target.root->subscribe(0, 7, 1, 0, 0));
    Bytes image = exportWhole(*source.root);
    ASSERT_EQ(0x100u, importWhole(*target.root, image));
    uint32_t result = 1;
    (void)exportWhole(*target.root, 0, &result, 1, 7);
    EXPECT_EQ(0x200u, result & 0x200u);
    (void)exportWhole(*target.root, 0, &result, 1, 7);
    EXPECT_EQ(0u, result & 0x200u);
}

TEST(RootExportTest, FiltersLeaveFlaggedElementsAlone)
{
    ReadyRoot source;
    ReadyRoot target;
    ReadyRoot flags;
    fill(source);
    ASSERT_FALSE(flags.set(1, ValueRoot::kCh, 2, 1) & 0x80000000u);  // a non-zero value byte: leave Ch[2]/Gain[1] alone
    // Layout 0: a filter of this definition, smaller than the image so it is not taken as one of the image.
    Bytes filter = exportWhole(*flags.root);
    filter.push_back(0);
    Bytes image = exportWhole(*source.root);
    ASSERT_EQ(0x100u, importWhole(*target.root, image, &filter));
    EXPECT_EQ(0, target.get(ValueRoot::kCh, 2, 1));
    EXPECT_EQ(21, target.get(ValueRoot::kCh, 2, 0));

    // Layout 1: laid out like the image (same size); here an image of the same root.
    ReadyRoot second;
    Bytes imageFilter = exportWhole(*flags.root);
    Bytes image2 = exportWhole(*source.root);
    ASSERT_EQ(0x100u, importWhole(*second.root, image2, &imageFilter));
    EXPECT_EQ(0, second.get(ValueRoot::kCh, 2, 1));
    EXPECT_EQ(33, second.get(ValueRoot::kCh, 3, 2));

    // A filter in the other byte order laid out like the image is ignored.
    ReadyRoot third;
    Bytes swapped = exportWhole(*flags.root, foreignOrder());
    Bytes image3 = exportWhole(*source.root);
    ASSERT_EQ(0x100u, importWhole(*third.root, image3, &swapped));
    EXPECT_EQ(22, third.get(ValueRoot::kCh, 2, 1));

    // A same-sized filter with another tag area: refused, nothing imported.
    ReadyRoot fourth;
    Bytes other = exportWhole(*flags.root);
    other[88 + 4] ^= 0x20;  // the top collection's name in the first tag
    other[44] ^= 0x01;      // and a UUID that is not this root's
    Bytes image4 = exportWhole(*source.root);
    EXPECT_EQ(0x80000002u, importWhole(*fourth.root, image4, &other));
    EXPECT_EQ(0, fourth.get(ValueRoot::kCh, 3, 2));
}

class NameChecker : public MMS::ISetChecker {
public:
    explicit NameChecker(bool block) : m_block(block) {}
    bool isBlocked(uint8_t, uint8_t) const override { return false; }
    bool isImportBlocked(const char* imageTop, const char* rootTop) const override
    {
        imageName = imageTop;  // reads up to the NUL: must end inside what the root handed over
        rootName = rootTop;
        return m_block;
    }
    mutable std::string imageName;
    mutable std::string rootName;

private:
    bool m_block;
};

TEST(RootExportTest, BlockedImportChangesNothingButConvertsTheImage)
{
    ReadyRoot source;
    ReadyRoot target;
    fill(source);
    Bytes image = exportWhole(*source.root, foreignOrder());
    NameChecker block(true);
    EXPECT_EQ(0u, importWhole(*target.root, image, nullptr, 0, &block));
    EXPECT_EQ("Mix", block.imageName);
    EXPECT_EQ("Mix", block.rootName);
    EXPECT_EQ(0, target.get(ValueRoot::kCh, 0, 0));
    const Bytes host = exportWhole(*source.root);  // tags and values now in host order
    EXPECT_EQ(Bytes(host.begin() + 88, host.end()), Bytes(image.begin() + 88, image.end()));

    // A top name filling all 24 bytes of its tag reaches the checker cut at those 24 bytes.
    Bytes odd = exportWhole(*source.root);
    std::memset(odd.data() + 88 + 4, 'N', 24);
    NameChecker blockOdd(true);
    EXPECT_EQ(0u, importWhole(*target.root, odd, nullptr, 0, &blockOdd));
    EXPECT_EQ(std::string(24, 'N'), blockOdd.imageName);

    NameChecker pass(false);
    Bytes image2 = exportWhole(*source.root);
    EXPECT_EQ(0x100u, importWhole(*target.root, image2, nullptr, 0, &pass));
    EXPECT_EQ(1, target.get(ValueRoot::kCh, 0, 0));
}

TEST(RootExportTest, UsingMuchMemoryLeavesTheCallersImage)
{
    ReadyRoot source;
    ReadyRoot target;
    fill(source);
    const Bytes image = exportWhole(*source.root, foreignOrder());
    EXPECT_EQ(0x100u, target.root->importDataUsingMuchMemoryFast(image.data(), static_cast<uint32_t>(image.size()),
                                                                 nullptr, 0, nullptr, nullptr, 0, 5, 0, 0, 0,
                                                                 nullptr, 0, nullptr));
    EXPECT_EQ(image, exportWhole(*source.root, foreignOrder()));
    EXPECT_EQ(-1, target.get(ValueRoot::kBus, 0, 0));
    EXPECT_EQ(0x80000002u, target.root->importDataUsingMuchMemoryFast(nullptr, 10, nullptr, 0, nullptr, nullptr, 0,
                                                                      5, 0, 0, 0, nullptr, 0, nullptr));
    Bytes garbage(100, 0x41);
    EXPECT_EQ(0x80000002u, importWhole(*target.root, garbage));
}

TEST(RootExportTest, MarksOfAnImportWithoutPluginsStayInTheDummyMemory)
{
    ReadyRoot source;
    ReadyRoot target;
    fill(source);
    Bytes image = exportWhole(*source.root);
    ASSERT_EQ(0x100u, importWhole(*target.root, image));
    const auto& list = target.root->getTaskItemList();
    ASSERT_NE(nullptr, list.getDummyMemory());
    bool any = false;
    for (uint32_t i = 0; i < list.getDirtyMemSize(); ++i) any = any || list.getDummyMemory()[i] != 0;
    EXPECT_TRUE(any);
}

TEST(RootExportTest, StringFormsConvertTheAddress)
{
    ReadyRoot source;
    ReadyRoot target;
    fill(source);
    uint32_t size = 0;
    ASSERT_EQ(0u, source.root->getExportDataSize(&size, "/Mix/Bus", 8, 0));
    Bytes image(size, 0);
    const uint32_t indices[1] = {1};
    uint32_t written = 0;
    ASSERT_EQ(0u, source.root->exportData(image.data(), &written, nullptr, size, "/Mix/Bus", 8, indices, 1, 0, 0, 0,
                                          0, 0));
    EXPECT_EQ(size, written);
    EXPECT_EQ(0x80000006u, source.root->exportData(image.data(), &written, nullptr, size, "/Mix/Bus", 8, indices, 0,
                                                   0, 0, 0, 0, 0));
    ASSERT_EQ(0x100u, target.root->importData(image.data(), written, nullptr, 0, "/Mix/Bus", 8, indices, 1, 5, 0, 0,
                                              0, nullptr, 0, nullptr));
    EXPECT_EQ(-11, target.get(ValueRoot::kBus, 1, 0));
    EXPECT_EQ(0, target.get(ValueRoot::kBus, 0, 0));
}

// Answers "no link" for every address and counts the reports.
class UnlinkedLinker : public MMS::IChannelLinker {
public:
    bool isRangeLinkable(const MMS::T_FAST_ADDRESS*, const uint32_t*) override { return true; }
    MMS::IChannelLink* getFirstLink(const MMS::T_FAST_ADDRESS*, const uint32_t*, bool* noLink) override
    {
        if (noLink != nullptr) *noLink = true;
        return nullptr;
    }
    MMS::IChannelLink* getNextLink(const MMS::T_FAST_ADDRESS*, MMS::IChannelLink*) override { return nullptr; }
    void notifyUnlinked(const MMS::T_FAST_ADDRESS*) override { ++unlinked; }
    int unlinked = 0;
};

TEST(RootExportTest, ImportRepeatsAtLinkedChannels)
{
    ReadyRoot source;
    fill(source);
    const uint32_t ch[1] = {0};
    const uint32_t first[1] = {0};
    uint32_t size = 0;
    ASSERT_EQ(0u, source.root->getExportDataSizeFast(&size, ch, 1, 0));
    Bytes image(size, 0);
    uint32_t written = 0;
    ASSERT_EQ(0u, source.root->exportDataFast(image.data(), &written, nullptr, size, ch, first, 1, 0, 0, 0, 0, 0));

    ReadyRoot target;
    MmsTest::RecordingLinker linker;
    linker.add({0}, {2});
    linker.add({0}, {3});
    ASSERT_EQ(0u, target.root->setChannelLinker(&linker));
    const uint32_t at[1] = {1};
    Bytes copy = image;
    EXPECT_EQ(0x100u, target.root->importDataFast(copy.data(), written, nullptr, 0, ch, at, 1, 5, 0, 0, 0, nullptr,
                                                  0, nullptr));
    for (uint32_t c : {1u, 2u, 3u}) EXPECT_EQ(3, target.get(ValueRoot::kCh, c, 2));
    EXPECT_EQ(0, target.get(ValueRoot::kCh, 0, 2));
    EXPECT_EQ(1u, linker.firstAsked.size());
    EXPECT_EQ(2u, linker.nextAsked.size());

    ReadyRoot lonely;
    UnlinkedLinker none;
    ASSERT_EQ(0u, lonely.root->setChannelLinker(&none));
    copy = image;
    EXPECT_EQ(0x100u, lonely.root->importDataFast(copy.data(), written, nullptr, 0, ch, at, 1, 5, 0, 0, 0, nullptr, 0,
                                                  nullptr));
    EXPECT_EQ(1, none.unlinked);
    EXPECT_EQ(3, lonely.get(ValueRoot::kCh, 1, 2));
}

TEST(RootExportTest, PluginPassRunsOnlyWithItsOption)
{
    ReadyRoot source;
    fill(source);
    for (uint8_t options : {uint8_t(0), uint8_t(0x10)}) {
        SCOPED_TRACE(int(options));
        MmsTest::RecordingPlugin plugin;  // outlives the root, which detaches it
        ValueRoot target;
        const uint32_t ch[1] = {0};
        ASSERT_EQ(0u, target.root->appendPluginFast(&plugin, ch, 1));
        target.ready();
        ASSERT_FALSE(target.set(2, ValueRoot::kCh, 0, 1) & 0x80000000u);  // the source's value: no change there
        plugin.calls.clear();
        Bytes image = exportWhole(*source.root);
        EXPECT_EQ(0x100u, importWhole(*target.root, image, nullptr, options) & 0x80000100u);
        // Ch holds 12 gains; 11 differ. Without the option no plug-in hears of them.
        EXPECT_EQ(options != 0 ? 11u : 0u, plugin.calls.size());
        EXPECT_EQ(1, target.get(ValueRoot::kCh, 0, 0));
    }
}

}  // namespace
