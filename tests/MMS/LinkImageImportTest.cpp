// Taking links over from a whole-root image: merging by link id and member address, translating
// addresses by name after a definition change, and partial imports that propagate instead.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "LinkFieldFixture.h"
#include "MMS/mms_LinkField.h"
#include "MMS/mms_LinkHeaderInfo.h"

namespace MmsTreeTest {
namespace {

class LinkImageImportTest : public LinkFieldTest {
public:
    std::vector<uint8_t> exportRoot(uint8_t order = 0)
    {
        uint32_t size = 0;
        EXPECT_EQ(0u, field->getExportDataSizeFast(&size, "R", nullptr, 0, 0));
        std::vector<uint8_t> image(size);
        uint32_t written = 0;
        EXPECT_EQ(0u, field->exportDataFast(image.data(), &written, size, "R", nullptr, nullptr, 0, 0, 0, order, 0,
                                            0, nullptr));
        image.resize(written);
        return image;
    }
    uint32_t importRoot(std::vector<uint8_t> image, uint8_t markOwn = 1, uint32_t task = 0)
    {
        return field->importDataFast(image.data(), static_cast<uint32_t>(image.size()), nullptr, 0, "R", nullptr,
                                     nullptr, 0, 0, markOwn, 0, task, nullptr, 0, nullptr);
    }
    // "id:on/type[members]" for every link of R.
    std::string links()
    {
        std::string out;
        uint32_t count = 0;
        EXPECT_EQ(0u, field->getNumOfLink(&count, "R"));
        for (uint32_t i = 0; i < count; ++i) {
            uint32_t id = 0;
            EXPECT_EQ(0u, field->cnvIndexToLinkID(&id, "R", i));
            uint16_t on = 9;
            uint16_t type = 9;
            (void)field->getLinkOnOff(&on, "R", id);
            (void)field->getLinkType(&type, "R", id);
            if (!out.empty()) out += ' ';
            out += std::to_string(id) + ":" + std::to_string(on) + "/" + std::to_string(type) + "[" + members(id) + "]";
        }
        return out;
    }
    void createFixed(uint32_t id, const std::vector<std::pair<const uint32_t*, uint32_t>>& list, uint32_t depth = 1)
    {
        ASSERT_EQ(0u, field->_createLinkFixedLinkID("R", id, 1, 0));
        for (const auto& m : list) {
            uint32_t indices[5] = {};
            indices[depth - 1] = m.second;
            ASSERT_EQ(0u, field->addLinkPrm("R", id, m.first, indices, depth, handle, 1, 0));
        }
    }
};

TEST_F(LinkImageImportTest, ReimportKeepsLinksAndMarksNothing)
{
    open();
    makeLink({{kI, 0}, {kI, 2}});
    makeLink({{kK, 0}, {kK, 1}}, 2);
    const std::string before = links();
    ASSERT_EQ(0u, field->linkSubscribe(42, 0, false));
    linkTrigger.calls.clear();

    for (uint8_t order : {uint8_t{0}, uint8_t{2}}) {
        SCOPED_TRACE(order);
        EXPECT_FALSE(MMS::mmsIsFailure(importRoot(exportRoot(order))));
        EXPECT_EQ(before, links());
        const uint32_t codes[1] = {0};
        for (uint32_t position : {0u, 1u}) {
            const uint32_t index[1] = {position};
            uint8_t changed = 9;
            ASSERT_EQ(0u, field->isLinkChangedFast(&changed, "R", codes, index, 1, 0, 42));
            EXPECT_EQ(0, changed);
        }
    }
    // A big-endian image is not of the host's definition: its members were found again by name.
    EXPECT_TRUE(linkTrigger.calls.empty());
}

TEST_F(LinkImageImportTest, MergesLinksByIdAndMembersByAddress)
{
    open();
    createFixed(1, {{kK, 0}, {kK, 1}}, 2);
    createFixed(3, {{kI, 0}, {kI, 1}, {kI, 2}});
    ASSERT_EQ(0u, field->setLinkOnOff("R", 3, 0, handle, 1, 0));
    const std::vector<uint8_t> image = exportRoot();
    ASSERT_EQ("1:1/0[6.0/0.0=20 6.0/0.1=20] 3:0/0[0.0=10 0.1=10 0.2=10]", links());

    // The root now has links 2 and 3; link 3 lost two members, gained another and is on.
    ASSERT_EQ(0u, field->deleteLink("R", 1, handle, 1, 0));
    ASSERT_EQ(0u, field->removeLinkPrm("R", 3, kI, std::vector<uint32_t>{0}.data(), 1, handle, 1, 0));
    ASSERT_EQ(0u, field->removeLinkPrm("R", 3, kI, std::vector<uint32_t>{2}.data(), 1, handle, 1, 0));
    put(kI, 1, JVariant(17));  // I[1] is kept, with the value the link remembers for it
    createFixed(2, {{kJ, 0}, {kJ, 1}});
    ASSERT_EQ(0u, field->setLinkOnOff("R", 3, 1, handle, 1, 0));
    const uint32_t i3[1] = {3};
    ASSERT_EQ(0u, field->addLinkPrm("R", 3, kI, i3, 1, handle, 1, 0));
    ASSERT_EQ("2:1/0[4.0=0 4.1=0] 3:1/0[0.1=17 0.3=10]", links());

    ASSERT_FALSE(MMS::mmsIsFailure(importRoot(image)));
    EXPECT_EQ("1:1/0[6.0/0.0=20 6.0/0.1=20] 3:0/0[0.0=10 0.1=17 0.2=10]", links());
    // The search tree follows: J is free again, I[3] too, K is linked.
    const uint32_t zero[1] = {0};
    for (const uint32_t* nodes : {kJ, kI}) {
        uint32_t id = 0;
        ASSERT_EQ(0u, field->createLink(&id, "R", handle, 1, 0));
        EXPECT_EQ(0u, field->addLinkPrm("R", id, nodes, nodes == kJ ? zero : i3, 1, handle, 1, 0));
    }
    const uint32_t k0[2] = {0, 0};
    EXPECT_EQ(0x80000002u, field->addLinkPrm("R", 2, kK, k0, 2, handle, 1, 0));
}

TEST_F(LinkImageImportTest, ImageWithoutLinksRemovesEveryLink)
{
    const std::vector<uint8_t> image = exportRoot();
    open();
    makeLink({{kI, 0}, {kI, 1}});
    makeLink({{kF, 0}, {kF, 1}});
    ASSERT_FALSE(MMS::mmsIsFailure(importRoot(image)));
    EXPECT_EQ("", links());
    EXPECT_EQ(1u, makeLink({{kI, 0}, {kI, 1}}));  // the elements are free for new links
    EXPECT_EQ("0.0=10 0.1=10", members(1));
}

TEST_F(LinkImageImportTest, DamagedMembersAreLeftOutAndTheRestIsTakenOver)
{
    open();
    makeLink({{kI, 0}, {kI, 1}, {kI, 2}});
    makeLink({{kF, 0}, {kF, 1}});
    std::vector<uint8_t> image = exportRoot();
    uint32_t base = 0;
    ASSERT_EQ(0u, field->MMS::Base::getExportDataSizeFast(&base, "R", nullptr, 0, 0));
    // The second member of link 1 names element 99 of I, which has 4.
    uint8_t* member = image.data() + base + 12 + 16 + 52;
    ASSERT_EQ(0, std::memcmp(member, "MLI", 3));
    const uint32_t bad = 99;
    std::memcpy(member + 32, &bad, 4);
    ASSERT_EQ(0u, field->deleteLink("R", 1, handle, 1, 0));
    ASSERT_EQ(0u, field->deleteLink("R", 2, handle, 1, 0));

    ASSERT_FALSE(MMS::mmsIsFailure(importRoot(image)));
    EXPECT_EQ("1:1/0[0.0=10 0.2=10] 2:1/0[2.0=1.500000 2.1=1.500000]", links());

    // A link image cut in the middle of a link keeps what came before the damage.
    std::vector<uint8_t> cut = exportRoot();
    cut.resize(cut.size() - 20);
    ASSERT_FALSE(MMS::mmsIsFailure(importRoot(cut)));
    EXPECT_EQ("1:1/0[0.0=10 0.2=10] 2:1/0[2.0=1.500000 2.1=1.500000]", links());
}

TEST_F(LinkImageImportTest, ForeignTagsInFrontOfTheLinkImageAreSkipped)
{
    open();
    makeLink({{kI, 0}, {kI, 1}});
    std::vector<uint8_t> image = exportRoot();
    uint32_t base = 0;
    ASSERT_EQ(0u, field->MMS::Base::getExportDataSizeFast(&base, "R", nullptr, 0, 0));
    const uint8_t foreign[] = {'Z', 'Z', 'Z', 8, 2, 0, 0, 0, 0xAA, 0xBB};
    image.insert(image.begin() + base, foreign, foreign + sizeof foreign);
    ASSERT_EQ(0u, field->deleteLink("R", 1, handle, 1, 0));
    ASSERT_FALSE(MMS::mmsIsFailure(importRoot(image)));
    EXPECT_EQ("1:1/0[0.0=10 0.1=10]", links());
}

TEST_F(LinkImageImportTest, WholeRootImportTakesValuesAsTheyArePartialImportPropagates)
{
    open();
    makeLink({{kK, 0}, {kK, 1}}, 2);  // C[0]/K[0] and C[0]/K[1], both 20
    const uint32_t c0[1] = {0};
    put(kK, 0, JVariant(45), 2);  // not seen by the link
    uint32_t size = 0;
    ASSERT_EQ(0u, field->getExportDataSizeFast(&size, "R", kC, 1, 0));
    std::vector<uint8_t> part(size);
    uint32_t written = 0;
    ASSERT_EQ(0u, field->exportDataFast(part.data(), &written, size, "R", kC, c0, 1, 0, 0, 0, 0, 0, nullptr));
    std::vector<uint8_t> whole = exportRoot();
    put(kK, 0, JVariant(20), 2);

    // The whole root: the image's values stand, the link does not move K[1].
    ASSERT_FALSE(MMS::mmsIsFailure(importRoot(whole)));
    EXPECT_EQ(45, readInt(kK, 0, 2));
    EXPECT_EQ(20, readInt(kK, 1, 2));

    // One collection: its change of K[0] moves K[1] by the same offset.
    put(kK, 0, JVariant(20), 2);
    ASSERT_EQ(0u, field->setLinkOnOff("R", 1, 0, handle, 1, 0));
    ASSERT_EQ(0u, field->setLinkOnOff("R", 1, 1, handle, 1, 0));  // remembers 20, 20
    ASSERT_FALSE(MMS::mmsIsFailure(field->importDataFast(part.data(), written, nullptr, 0, "R", kC, c0, 1, 0, 1, 0,
                                                         0, nullptr, 0, nullptr)));
    EXPECT_EQ(45, readInt(kK, 0, 2));
    EXPECT_EQ(45, readInt(kK, 1, 2));
    EXPECT_EQ("6.0/0.0=45 6.0/0.1=45", members(1));
}

// ---- A definition that gained a parameter in front of the linked ones ----

void buildRoot(MMS::LinkField& f, bool withFront)
{
    ASSERT_EQ(0u, f.startBuild());
    ASSERT_EQ(0u, f.createRoot("R", "Top", 0, 0, 256));
    uint32_t index = 0;
    JVariant min(-100);
    JVariant max(100);
    JVariant step(1);
    JVariant def(10);
    if (withFront) {
        ASSERT_EQ(0u, f.addPrmFast(&index, "R", nullptr, 0, "New", 2, MMS::kMmsTypeInt32, &min, &max, &def, &step,
                                   nullptr, nullptr, 0, 1, 0, nullptr, 0));
    }
    ASSERT_EQ(0u, f.addPrmFast(&index, "R", nullptr, 0, "I", 4, MMS::kMmsTypeInt32, &min, &max, &def, &step, nullptr,
                               nullptr, 0, 1, 0, nullptr, 0));
    ASSERT_EQ(0u, f.addCollectionFast(&index, "R", nullptr, 0, "C", 2));
    const uint32_t c[1] = {withFront ? 2u : 1u};
    ASSERT_EQ(0u, f.addPrmFast(&index, "R", c, 1, "K", 2, MMS::kMmsTypeInt32, &min, &max, &def, &step, nullptr,
                               nullptr, 0, 1, 0, nullptr, 0));
    ASSERT_EQ(0u, f.finishBuild(1));
}

TEST(LinkImageDefinitionTest, MembersAreFoundByNameAfterTheDefinitionChanged)
{
    (void)MmsTest::heap1();
    MMS::LinkField older(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    MMS::LinkField newer(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    buildRoot(older, false);
    buildRoot(newer, true);
    uint32_t handle = 0;
    ASSERT_EQ(0u, older.linkHndlOpen(&handle));
    uint32_t id = 0;
    ASSERT_EQ(0u, older.createLink(&id, "R", handle, 1, 0));
    const uint32_t i[1] = {0};
    const uint32_t k[2] = {1, 0};
    for (uint32_t e : {0u, 3u}) {
        const uint32_t at[1] = {e};
        ASSERT_EQ(0u, older.addLinkPrm("R", id, i, at, 1, handle, 1, 0));
    }
    const uint32_t k1[2] = {1, 1};
    ASSERT_EQ(0u, older.addLinkPrm("R", id, k, k1, 2, handle, 1, 0));
    uint32_t size = 0;
    ASSERT_EQ(0u, older.getExportDataSizeFast(&size, "R", nullptr, 0, 0));
    std::vector<uint8_t> image(size);
    uint32_t written = 0;
    ASSERT_EQ(0u, older.exportDataFast(image.data(), &written, size, "R", nullptr, nullptr, 0, 0, 0, 0, 0, 0, nullptr));

    ASSERT_FALSE(MMS::mmsIsFailure(newer.importDataFast(image.data(), written, nullptr, 0, "R", nullptr, nullptr, 0,
                                                        0, 1, 0, 0, nullptr, 0, nullptr)));
    uint32_t count = 0;
    ASSERT_EQ(0u, newer.getNumOfLinkPrm(&count, "R", 1));
    ASSERT_EQ(3u, count);
    const uint32_t expected[3][4] = {{1, 0, 0, 0}, {1, 0, 3, 0}, {2, 0, 1, 1}};  // node, node, index, index
    for (uint32_t p = 0; p < 3; ++p) {
        uint32_t nodes[5] = {};
        uint32_t indices[5] = {};
        uint32_t depth = 0;
        JVariant value;
        ASSERT_EQ(0u, newer.getLinkItemInfo(nodes, indices, &depth, &value, 5, "R", 1, p));
        EXPECT_EQ(expected[p][0], nodes[0]) << p;
        EXPECT_EQ(expected[p][1], nodes[1]) << p;
        EXPECT_EQ(expected[p][2], indices[0]) << p;
        EXPECT_EQ(expected[p][3], indices[1]) << p;
    }
    // And they link the same parameters: I[0] moves I[3] and C[1]/K[0], not New.
    const uint32_t iNew[1] = {1};
    ASSERT_FALSE(MMS::mmsIsFailure(newer.setPrmFast(JVariant(15), "R", iNew, i, 1, 0, 0, 0, 0, 1, nullptr, 0,
                                                    nullptr)));
    auto value = [&](const uint32_t* nodes, std::vector<uint32_t> indices, uint32_t depth) {
        JVariant v;
        EXPECT_EQ(0u, newer.getPrmFast(&v, nullptr, "R", nodes, indices.data(), depth, 0, 0));
        return v.toInt32();
    };
    const uint32_t kNew[2] = {2, 0};
    const uint32_t front[1] = {0};
    EXPECT_EQ(15, value(iNew, {3}, 1));
    EXPECT_EQ(15, value(kNew, {1, 1}, 2));
    EXPECT_EQ(10, value(front, {0}, 1));
}

TEST(LinkImageDefinitionTest, BitParameterLinksMergeAndTheLinksBehindThemSurvive)
{
    (void)MmsTest::heap1();
    MMS::LinkField f(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_EQ(0u, f.startBuild());
    ASSERT_EQ(0u, f.createRoot("R", "Top", 0, 0, 256));
    uint32_t index = 0;
    JVariant zero(0u);
    JVariant one(1u);
    JVariant min(-100);
    JVariant max(100);
    JVariant def(10);
    ASSERT_EQ(0u, f.addPrmFast(&index, "R", nullptr, 0, "Bit", 4, MMS::kMmsTypeBit, &zero, &one, &zero, &one,
                               nullptr, nullptr, 0, 1, 0, nullptr, 0));
    ASSERT_EQ(0u, f.addPrmFast(&index, "R", nullptr, 0, "I", 4, MMS::kMmsTypeInt32, &min, &max, &def, &one, nullptr,
                               nullptr, 0, 1, 0, nullptr, 0));
    ASSERT_EQ(0u, f.finishBuild(1));
    uint32_t handle = 0;
    ASSERT_EQ(0u, f.linkHndlOpen(&handle));
    for (uint32_t node : {0u, 1u}) {
        uint32_t id = 0;
        ASSERT_EQ(0u, f.createLink(&id, "R", handle, 1, 0));
        const uint32_t nodes[1] = {node};
        for (uint32_t e : {0u, 1u}) {
            const uint32_t at[1] = {e};
            ASSERT_EQ(0u, f.addLinkPrm("R", id, nodes, at, 1, handle, 1, 0));
        }
    }
    uint32_t size = 0;
    ASSERT_EQ(0u, f.getExportDataSizeFast(&size, "R", nullptr, 0, 0));
    std::vector<uint8_t> image(size);
    uint32_t written = 0;
    ASSERT_EQ(0u, f.exportDataFast(image.data(), &written, size, "R", nullptr, nullptr, 0, 0, 0, 0, 0, 0, nullptr));
    ASSERT_EQ(0u, f.deleteLink("R", 2, handle, 1, 0));

    ASSERT_FALSE(MMS::mmsIsFailure(f.importDataFast(image.data(), written, nullptr, 0, "R", nullptr, nullptr, 0, 0,
                                                    1, 0, 0, nullptr, 0, nullptr)));
    uint32_t links = 0;
    ASSERT_EQ(0u, f.getNumOfLink(&links, "R"));
    EXPECT_EQ(2u, links);
    uint32_t members = 0;
    ASSERT_EQ(0u, f.getNumOfLinkPrm(&members, "R", 2));
    EXPECT_EQ(2u, members);
    uint16_t type = 9;
    ASSERT_EQ(0u, f.getLinkType(&type, "R", 1));
    EXPECT_EQ(1u, type);  // a toggle link of bits
}

}  // namespace
}  // namespace MmsTreeTest
