#include "MMS/Common/mms_Collection.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "MMS/Common/mms_CollectionTagInfo.h"
#include "MMS/Common/mms_Parameter.h"
#include "MMS/Common/mms_ProcessOption.h"
#include "MMS/Common/mms_SharedMemWrapper.h"
#include "MMS/Common/mms_TreeNodeFactory.h"
#include "MMS/Common/mms_sharedRootInfo.h"
#include "MmsTestHeap.h"
#include "jlib/JVariant.h"

namespace {

using MMS::Collection;
using MMS::Parameter;
using MMS::T_FAST_ADDRESS;

constexpr uint32_t kMissing = 0x80000001u;
constexpr uint32_t kBadArgument = 0x80000002u;
constexpr uint32_t kNoSuchItem = 0x80000006u;
constexpr uint32_t kNotFound = 0x80000007u;
constexpr uint32_t kLimit = 0x80000008u;
constexpr uint32_t kAlreadyPresent = 0x80000009u;
constexpr uint32_t kNotSupported = 0x8000000au;

// What the top collection reports to the root.
struct Totals {
    uint32_t values = 0;
    uint32_t dirty = 0;
    uint32_t imports = 0;
    uint32_t serials = 0;
    uint32_t tags = 0;
    uint32_t scalars = 0;
};

// A tree made through a node factory and laid out the way the root does it: the top collection
// "Mix" of array size 1, then layOut() with all starts 0, the tag memory from the tag total and
// the collection numbers.
class Tree {
public:
    explicit Tree(uint32_t maxCollections = 0, uint32_t maxParameters = 0, const char* topName = "Mix")
        : m_heap(MmsTest::heap1())
    {
        EXPECT_EQ(0u, m_factory.createMemoryArea(&m_area, &m_wrapper, maxCollections, maxParameters));
        top = m_factory.create(topName, 1);
        EXPECT_NE(nullptr, top);
    }
    ~Tree()
    {
        if (top == nullptr) return;
        if (m_area) {
            (void)top->releaseItems(&m_wrapper);
            (void)m_factory.destroy(&m_wrapper);
        } else {
            (void)top->release(&m_wrapper);
        }
    }
    Tree(const Tree&) = delete;
    Tree& operator=(const Tree&) = delete;

    // Adds a parameter under the collection that path names; the node index, or the failure.
    uint32_t addPrm(const std::vector<uint32_t>& path, const char* name, uint32_t arraySize,
                    uint32_t type = MMS::kMmsTypeUInt8, uint32_t stringSize = 0)
    {
        JVariant maximum(stringSize);
        Parameter* parameter = m_factory.create(name, arraySize, type, nullptr,
                                                type == MMS::kMmsTypeString ? &maximum : nullptr, nullptr, nullptr,
                                                nullptr, 0, 0, 1, 0, 0, 0);
        EXPECT_NE(nullptr, parameter) << name;
        if (parameter == nullptr) return kMissing;
        const T_FAST_ADDRESS address{path.data(), nullptr, static_cast<uint32_t>(path.size())};
        uint32_t index = 0xA5A5A5A5u;
        const uint32_t result = top->addPrm(&index, &m_wrapper, parameter, &address, 0);
        if (MMS::mmsIsFailure(result)) {
            if (!m_area) (void)parameter->release();
            (void)m_factory.removeLastItem(&m_wrapper);
            return result;
        }
        return index;
    }

    uint32_t addColl(const std::vector<uint32_t>& path, const char* name, uint32_t arraySize)
    {
        Collection* child = m_factory.create(name, arraySize);
        EXPECT_NE(nullptr, child) << name;
        if (child == nullptr) return kMissing;
        const T_FAST_ADDRESS address{path.data(), nullptr, static_cast<uint32_t>(path.size())};
        uint32_t index = 0xA5A5A5A5u;
        const uint32_t result = top->addCollection(&index, &m_wrapper, child, &address, 0);
        if (MMS::mmsIsFailure(result)) {
            if (!m_area) (void)child->release(&m_wrapper);
            (void)m_factory.removeLastItem(&m_wrapper);
            return result;
        }
        return index;
    }

    uint32_t layOut()
    {
        const uint32_t result = top->setMemAddrInfo(&totals.values, &totals.dirty, &totals.imports, &totals.serials,
                                                    &totals.tags, &totals.scalars, 0, 0, 0, 0, 0, 0);
        if (MMS::mmsIsFailure(result)) return result;
        tagMemory.assign(totals.tags, 0);
        EXPECT_EQ(0u, top->setImportTags(tagMemory.data(), 0));
        uint32_t collections = 0;
        uint32_t parameters = 0;
        EXPECT_EQ(0u, top->getCollNodeNum(&collections, &parameters, 0, 0, 1));
        return result;
    }

    MMS::SharedMemWrapper* wrapper() { return &m_wrapper; }
    MMS::TreeNodeCollector& factory() { return m_factory; }

    Collection* top = nullptr;
    Totals totals;
    std::vector<unsigned char> tagMemory;

private:
    MmsTest::TestHeapManager& m_heap;
    MMS::SharedMemWrapper m_wrapper;
    MMS::TreeNodeCollector m_factory;
    bool m_area = false;
};

// Mix: parameter Lvl, then collections A (parameter Pa) and B (parameter Pb).
void buildMixLvlAB(Tree& tree)
{
    ASSERT_EQ(0u, tree.addPrm({}, "Lvl", 1));
    ASSERT_EQ(1u, tree.addColl({}, "A", 1));
    ASSERT_EQ(2u, tree.addColl({}, "B", 1));
    ASSERT_EQ(0u, tree.addPrm({1}, "Pa", 1));
    ASSERT_EQ(0u, tree.addPrm({2}, "Pb", 1));
    ASSERT_EQ(0u, tree.layOut());
}

TEST(CollectionTest, ConstructionChecksNameAndArraySize)
{
    struct Case {
        const char* name;
        uint32_t arraySize;
        uint32_t result;
    };
    const std::string longest(23, 'n');
    const std::string tooLong(24, 'n');
    const Case cases[] = {
        {"Mix", 1, 0},
        {longest.c_str(), 65535, 0},
        {tooLong.c_str(), 1, kMissing},
        {"", 1, kMissing},
        {nullptr, 1, kMissing},
        {"Mix", 0, kMissing},
        {"Mix", 65536, kMissing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name == nullptr ? "(null)" : c.name);
        uint32_t result = 0x5A5A5A5A;
        Collection node(&result, c.name, c.arraySize);
        EXPECT_EQ(c.result, result);
        if (c.result != 0) continue;
        char name[24];
        std::memset(name, 'x', sizeof(name));
        ASSERT_EQ(0u, node.getNodeName(name));
        EXPECT_STREQ(c.name, name);
        EXPECT_EQ(c.arraySize, node.getArraySize());
    }
}

TEST(CollectionTest, HeapTreeGoesBackWholeOnRelease)
{
    MmsTest::TestHeapManager& heap = MmsTest::heap1();
    const int before = heap.live;
    {
        Tree tree;
        ASSERT_EQ(0u, tree.addPrm({}, "Lvl", 2));
        ASSERT_EQ(1u, tree.addColl({}, "Ch", 4));
        ASSERT_EQ(0u, tree.addPrm({1}, "Gain", 1));
        ASSERT_EQ(1u, tree.addColl({1}, "Eq", 3));
        ASSERT_EQ(0u, tree.addPrm({1, 1}, "Freq", 3));
        EXPECT_GT(heap.live, before);
        EXPECT_EQ("MMS Wrap", heap.lastTag);  // nodes and child lists on the library heap
    }
    EXPECT_EQ(before, heap.live);  // nodes and their child lists
}

TEST(CollectionTest, NodeIndexesNumberParametersBeforeCollections)
{
    Tree tree;
    EXPECT_EQ(0u, tree.addPrm({}, "Lvl", 1));
    EXPECT_EQ(1u, tree.addColl({}, "Ch", 1));
    char name[24] = {};
    ASSERT_EQ(0u, tree.top->getChildNodeName(name, 1));
    EXPECT_STREQ("Ch", name);

    // A second parameter takes index 1 and moves the collection to 2.
    EXPECT_EQ(1u, tree.addPrm({}, "Pan", 1));
    ASSERT_EQ(0u, tree.top->getChildNodeName(name, 1));
    EXPECT_STREQ("Pan", name);
    ASSERT_EQ(0u, tree.top->getChildNodeName(name, 2));
    EXPECT_STREQ("Ch", name);
    EXPECT_EQ(kMissing, tree.top->getChildNodeName(name, 3));
    uint32_t count = 0;
    ASSERT_EQ(0u, tree.top->getNumOfChildNodes(&count));
    EXPECT_EQ(3u, count);
}

TEST(CollectionTest, RefusesDuplicateNamesAcrossBothKinds)
{
    Tree tree;
    ASSERT_EQ(0u, tree.addPrm({}, "Lvl", 1));
    ASSERT_EQ(1u, tree.addColl({}, "Ch", 1));
    EXPECT_EQ(kAlreadyPresent, tree.addPrm({}, "Ch", 1));
    EXPECT_EQ(kAlreadyPresent, tree.addColl({}, "Lvl", 1));
    EXPECT_EQ(kAlreadyPresent, tree.addColl({}, "Ch", 1));
    EXPECT_EQ(0u, tree.addPrm({1}, "Lvl", 1));  // the same name one level down is another node
    EXPECT_EQ(1u, tree.addPrm({}, "Lv", 1));    // a prefix is another name
    EXPECT_EQ(2u, tree.top->getPrmCount());
    EXPECT_EQ(1u, tree.top->getCollectionCount());

    uint32_t index = 0;
    EXPECT_EQ(kBadArgument, tree.top->addPrm(nullptr, tree.wrapper(), nullptr));
    EXPECT_EQ(kBadArgument, tree.top->addCollection(&index, tree.wrapper(), nullptr));
}

TEST(CollectionTest, FastAddWalksAtMostFourNodeIndexes)
{
    Tree tree;
    ASSERT_EQ(0u, tree.addPrm({}, "Lvl", 1));
    ASSERT_EQ(1u, tree.addColl({}, "L1", 1));
    ASSERT_EQ(0u, tree.addColl({1}, "L2", 1));
    ASSERT_EQ(0u, tree.addColl({1, 0}, "L3", 1));
    ASSERT_EQ(0u, tree.addColl({1, 0, 0}, "L4", 1));
    ASSERT_EQ(0u, tree.addColl({1, 0, 0, 0}, "L5", 1));  // into the collection at level 4
    EXPECT_EQ(0u, tree.addPrm({1, 0, 0, 0}, "Deep", 1));  // L5 moves to node index 1
    // The walk reaching level 5 is refused, even when level 5 is the target.
    EXPECT_EQ(kLimit, tree.addPrm({1, 0, 0, 0, 1}, "TooDeep", 1));
    EXPECT_EQ(kLimit, tree.addColl({1, 0, 0, 0, 1}, "TooDeep", 1));
    EXPECT_EQ(kNoSuchItem, tree.addPrm({0}, "UnderLeaf", 1));  // node 0 is the parameter Lvl
    EXPECT_EQ(kNoSuchItem, tree.addPrm({2}, "Nowhere", 1));
    EXPECT_EQ(6u, tree.top->getDepth());

    uint32_t index = 0;
    const T_FAST_ADDRESS noVector{nullptr, nullptr, 1};
    Collection* spare = tree.factory().create("Spare", 1);
    ASSERT_NE(nullptr, spare);
    EXPECT_EQ(kMissing, tree.top->addCollection(&index, tree.wrapper(), spare, &noVector, 0));
    (void)spare->release(tree.wrapper());

    const uint32_t path[] = {1};
    const T_FAST_ADDRESS address{path, nullptr, 1};
    EXPECT_EQ(kNotSupported, tree.top->delCollection(&address, 0));
    EXPECT_EQ(kNotSupported, tree.top->delPrm(&address, 0));
}

TEST(CollectionTest, LayoutCountsOwnPartsParametersThenChildArrays)
{
    // One parameter of 4 elements and a child of 3 elements whose element holds a parameter of 2.
    Tree tree;
    ASSERT_EQ(0u, tree.addPrm({}, "P", 4));
    ASSERT_EQ(1u, tree.addColl({}, "C", 3));
    ASSERT_EQ(0u, tree.addPrm({1}, "Q", 2));
    ASSERT_EQ(0u, tree.layOut());

    struct Row {
        const char* what;
        uint32_t got;
        uint32_t expected;
    };
    const Collection* child = tree.top->getCollectionItem(0);
    const Parameter* q = child->getPrmItem(0);
    const Row rows[] = {
        {"dirty bits", tree.totals.dirty, 14},     // 1 + 4 + 3 x (1 + 2)
        {"import bits", tree.totals.imports, 4},   // 1 + 3 x 1
        {"serial numbers", tree.totals.serials, 10},  // 4 + 3 x 2
        {"tag bytes", tree.totals.tags, 160},      // 48 + 32 + (48 + 32)
        {"scalar numbers", tree.totals.scalars, 4},  // 1 + 1 + (1 + 1)
        {"value bytes", tree.totals.values, 10},   // 4 + 3 x 2
        {"child value start", child->getDataInfo().offset, 4},
        {"child element bytes", child->getDataInfo().unit, 2},
        {"child dirty start", child->getDirtyInfo().offset, 5},
        {"child dirty bits per element", child->getDirtyInfo().unit, 3},
        {"child import start", child->getImportInfo().offset, 1},
        {"child serial start", child->getSerialInfo().offset, 4},
        {"child tag start", child->getTagInfo().offset, 80},
        {"child tag bytes", child->getTagInfo().unit, 80},
        {"child scalar start", child->getScalarInfo().offset, 2},
        {"child's parameter dirty start", q->getDirtyFlagAddrInfo().offset, 1},
        {"child's parameter tag start", q->getTagAddrInfo().offset, 48},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(row.expected, row.got);
    }

    uint32_t count = 0;
    ASSERT_EQ(0u, child->getNodeDirtyBitNum(&count));
    EXPECT_EQ(3u, count);
    ASSERT_EQ(0u, child->getNodePrmNum(&count));
    EXPECT_EQ(2u, count);
    count = 3;
    ASSERT_EQ(0u, child->getDataSize(&count));
    EXPECT_EQ(6u, count);
}

TEST(CollectionTest, BitParametersShareBytesClosedBeforeAByteParameter)
{
    Tree tree;
    ASSERT_EQ(0u, tree.addPrm({}, "B3", 3, MMS::kMmsTypeBit));
    ASSERT_EQ(1u, tree.addPrm({}, "B6", 6, MMS::kMmsTypeBit));
    ASSERT_EQ(2u, tree.addPrm({}, "W", 2, MMS::kMmsTypeUInt16));
    ASSERT_EQ(0u, tree.layOut());
    EXPECT_EQ(6u, tree.totals.values);
    uint32_t size = 0;
    ASSERT_EQ(0u, tree.top->getNodeDataSize(&size));
    EXPECT_EQ(6u, size);
    const Parameter* b6 = tree.top->getPrmItem(1);
    EXPECT_EQ(0u, b6->getParamAddrInfo().offset);
    EXPECT_EQ(3u, b6->getBitOffset());
    EXPECT_EQ(2u, tree.top->getPrmItem(2)->getParamAddrInfo().offset);

    // After the last parameter a partly used byte is closed too, before the child arrays.
    Tree closing;
    ASSERT_EQ(0u, closing.addPrm({}, "B1", 1, MMS::kMmsTypeBit));
    ASSERT_EQ(1u, closing.addColl({}, "C", 2));
    ASSERT_EQ(0u, closing.addPrm({1}, "V", 1));
    ASSERT_EQ(0u, closing.layOut());
    EXPECT_EQ(1u, closing.top->getCollectionItem(0)->getDataInfo().offset);
    EXPECT_EQ(3u, closing.totals.values);
}

TEST(CollectionTest, LayoutRefusesCountsBeyond32Bits)
{
    // One element of the child takes 65535 x 65535 bytes: two elements do not fit.
    Tree product;
    ASSERT_EQ(0u, product.addColl({}, "C", 2));
    ASSERT_EQ(0u, product.addPrm({0}, "Text", 65535, MMS::kMmsTypeString, 65535));
    EXPECT_EQ(kBadArgument, product.layOut());

    // Two children of one such element each: their sum does not fit.
    Tree sum;
    ASSERT_EQ(0u, sum.addColl({}, "C1", 1));
    ASSERT_EQ(1u, sum.addColl({}, "C2", 1));
    ASSERT_EQ(0u, sum.addPrm({0}, "Text", 65535, MMS::kMmsTypeString, 65535));
    ASSERT_EQ(0u, sum.addPrm({1}, "Text", 65535, MMS::kMmsTypeString, 65535));
    EXPECT_EQ(kBadArgument, sum.layOut());

    Totals t;
    EXPECT_EQ(kBadArgument, sum.top->setMemAddrInfo(nullptr, &t.dirty, &t.imports, &t.serials, &t.tags, &t.scalars,
                                                    0, 0, 0, 0, 0, 0));
}

TEST(CollectionTest, TopCollectionCountsOneElement)
{
    uint32_t result = 0;
    Collection top(&result, "Mix", 8);
    ASSERT_EQ(0u, result);
    uint32_t count = 0;
    ASSERT_EQ(0u, top.getNodeArraySize(&count, 0));
    EXPECT_EQ(1u, count);
    ASSERT_EQ(0u, top.getNodeArraySize(&count, 1));
    EXPECT_EQ(8u, count);
    EXPECT_EQ(0u, top.isChannelSize(0, 0));
    EXPECT_EQ(kNoSuchItem, top.isChannelSize(1, 0));
    EXPECT_EQ(1u, top.getChannelSize(nullptr, nullptr, 0));
}

TEST(CollectionTest, CollectionNumbersFollowPreOrder)
{
    // Mix { A { A1, A2 }, B { B1 } }: pre-order numbers Mix 0, A 1, A1 2, A2 3, B 4, B1 5.
    Tree tree;
    ASSERT_EQ(0u, tree.addPrm({}, "Lvl", 1));
    ASSERT_EQ(1u, tree.addColl({}, "A", 1));
    ASSERT_EQ(2u, tree.addColl({}, "B", 1));
    ASSERT_EQ(0u, tree.addColl({1}, "A1", 1));
    ASSERT_EQ(1u, tree.addColl({1}, "A2", 1));
    ASSERT_EQ(0u, tree.addPrm({1, 1}, "X", 1));
    ASSERT_EQ(0u, tree.addColl({2}, "B1", 1));
    ASSERT_EQ(0u, tree.layOut());

    uint32_t collections = 0;
    uint32_t parameters = 0;
    ASSERT_EQ(0u, tree.top->getCollNodeNum(&collections, &parameters, 0, 0, 0));
    EXPECT_EQ(6u, collections);
    EXPECT_EQ(2u, parameters);
    EXPECT_EQ(kBadArgument, tree.top->getCollNodeNum(nullptr, &parameters, 0, 0, 0));

    const Collection* a = tree.top->getCollectionItem(0);
    const Collection* b = tree.top->getCollectionItem(1);
    EXPECT_EQ(0u, tree.top->getCollNumInfo().offset);
    EXPECT_EQ(1u, a->getCollNumInfo().offset);
    EXPECT_EQ(1u, a->getCollNumInfo().unit);
    EXPECT_EQ(1u + 1u, a->getCollNumInfo().offset + a->getCollectionItem(0)->getCollNumInfo().offset);
    EXPECT_EQ(1u + 2u, a->getCollNumInfo().offset + a->getCollectionItem(1)->getCollNumInfo().offset);
    EXPECT_EQ(4u, b->getCollNumInfo().offset);
    EXPECT_EQ(4u + 1u, b->getCollNumInfo().offset + b->getCollectionItem(0)->getCollNumInfo().offset);
    EXPECT_EQ(3u, tree.top->getDepth());
    EXPECT_EQ(1u, b->getCollectionItem(0)->getDepth());
}

TEST(CollectionTest, WritesTagsInPreOrder)
{
    Tree tree;
    ASSERT_EQ(0u, tree.addPrm({}, "P", 4));
    ASSERT_EQ(1u, tree.addColl({}, "C", 3));
    ASSERT_EQ(0u, tree.addPrm({1}, "Q", 2, MMS::kMmsTypeFloat));
    ASSERT_EQ(0u, tree.layOut());
    ASSERT_EQ(160u, tree.tagMemory.size());
    const unsigned char* tags = tree.tagMemory.data();

    MMS::T_COLLECTION_TAG mix{};
    ASSERT_EQ(0u, MMS::CollectionTagInfo::readCollTagInfo(&mix, tags, 160, false));
    EXPECT_STREQ("Mix", mix.name);
    EXPECT_EQ(32u, mix.parameterTagsSize);
    EXPECT_EQ(80u, mix.childTagsSize);
    EXPECT_EQ(0u, mix.dataOffset);
    EXPECT_EQ(4u + 3u * 8u, mix.elementDataSize);
    EXPECT_EQ(1u, mix.arraySize);

    MMS::T_PARAMETER_TAG p{};
    ASSERT_EQ(0u, MMS::CollectionTagInfo::readPrmTagInfo(&p, tags + 48, 32, false));
    EXPECT_STREQ("P", p.name);
    EXPECT_EQ(4u, p.arraySize);

    MMS::T_COLLECTION_TAG c{};
    ASSERT_EQ(0u, MMS::CollectionTagInfo::readCollTagInfo(&c, tags + 80, 80, false));
    EXPECT_STREQ("C", c.name);
    EXPECT_EQ(32u, c.parameterTagsSize);
    EXPECT_EQ(0u, c.childTagsSize);
    EXPECT_EQ(4u, c.dataOffset);
    EXPECT_EQ(8u, c.elementDataSize);
    EXPECT_EQ(3u, c.arraySize);

    MMS::T_PARAMETER_TAG q{};
    ASSERT_EQ(0u, MMS::CollectionTagInfo::readPrmTagInfo(&q, tags + 128, 32, false));
    EXPECT_STREQ("Q", q.name);
    EXPECT_EQ(MMS::kMmsClassFloat, q.dataClass);

    EXPECT_EQ(kMissing, tree.top->setImportTags(nullptr, 0));

    // Before its layout a collection has no tag block: nothing is written.
    uint32_t result = 0;
    Collection fresh(&result, "Fresh", 1);
    ASSERT_EQ(0u, result);
    std::vector<unsigned char> untouched(48, 0);
    EXPECT_EQ(kMissing, fresh.setImportTags(untouched.data(), 0));
    EXPECT_EQ(std::vector<unsigned char>(48, 0), untouched);
}

TEST(CollectionTest, ConvertsTextToFastAddress)
{
    Tree tree;
    ASSERT_EQ(0u, tree.addPrm({}, "Lvl", 1));
    ASSERT_EQ(1u, tree.addColl({}, "Ch", 4));
    ASSERT_EQ(0u, tree.addPrm({1}, "Pan", 4));
    ASSERT_EQ(1u, tree.addPrm({1}, "Gain", 4));
    ASSERT_EQ(0u, tree.layOut());

    struct Case {
        const char* text;
        uint32_t capacity;
        uint32_t result;
        std::vector<uint32_t> nodes;
    };
    const Case cases[] = {
        {"Ch/Gain", 5, 0, {1, 1}},
        {"Ch//Gain", 5, 0, {1, 1}},   // a separator run counts as one
        {"Ch/Gain/x", 5, 0, {1, 1}},  // text after a parameter is ignored
        {"Lvl", 5, 0, {0}},
        {"Ch", 5, 0, {1}},
        {"Ch/", 5, 0, {1}},
        {"", 5, 0, {}},
        {"Ch/Volume", 5, kNoSuchItem, {}},
        {"Chan/Gain", 5, kNoSuchItem, {}},
        {"C", 5, kNoSuchItem, {}},
        {"Ch/Gain", 1, kBadArgument, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        uint32_t nodes[5] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
        uint32_t depth = 0;
        const uint32_t result =
            tree.top->cnvStrToFastAddr(nodes, &depth, c.capacity, c.text, static_cast<uint32_t>(std::strlen(c.text)));
        EXPECT_EQ(c.result, result);
        if (result != 0) continue;
        ASSERT_EQ(c.nodes.size(), depth);
        for (uint32_t i = 0; i < depth; ++i) EXPECT_EQ(c.nodes[i], nodes[i]);
    }

    // The terminator counted in the length ends the text.
    uint32_t nodes[5] = {};
    uint32_t depth = 0;
    ASSERT_EQ(0u, tree.top->cnvStrToFastAddr(nodes, &depth, 5, "Ch/Pan", 7));
    EXPECT_EQ(2u, depth);
    EXPECT_EQ(0u, nodes[1]);
    EXPECT_EQ(kBadArgument, tree.top->cnvStrToFastAddr(nullptr, &depth, 5, "Ch", 2));
}

TEST(CollectionTest, ReadsTheFirstNameAndFindsThatChild)
{
    Tree tree;
    ASSERT_EQ(0u, tree.addPrm({}, "Lvl", 1));
    ASSERT_EQ(1u, tree.addPrm({}, "Pan", 1));
    ASSERT_EQ(2u, tree.addColl({}, "Ch", 1));
    ASSERT_EQ(3u, tree.addColl({}, "Bus", 1));

    struct Case {
        const char* text;
        uint32_t result;
        uint8_t kind;  // 0 parameter, 1 collection
        uint32_t listIndex;
        const char* rest;
    };
    const Case cases[] = {
        {"Pan", 0, 0, 1, ""},
        {"Bus//Gain/x", 0, 1, 1, "Gain/x"},
        {"Ch/", 0, 1, 0, ""},
        {"Pa", kNotFound, 0, 0, nullptr},
        {"Bus2/Gain", kNotFound, 0, 0, nullptr},
        {"/Ch", kNotFound, 0, 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        uint8_t kind = 0xEE;
        uint32_t listIndex = 0xEE;
        const char* rest = nullptr;
        uint32_t restLength = 0xEE;
        const uint32_t length = static_cast<uint32_t>(std::strlen(c.text));
        EXPECT_EQ(c.result, tree.top->stringAddressReader(&kind, &listIndex, &rest, &restLength, c.text, length));
        if (c.result != 0) continue;
        EXPECT_EQ(c.kind, kind);
        EXPECT_EQ(c.listIndex, listIndex);
        EXPECT_EQ(std::string(c.rest), std::string(rest, restLength));
    }
    uint8_t kind = 0;
    uint32_t listIndex = 0;
    EXPECT_EQ(kBadArgument, tree.top->searchedChildNode(&kind, nullptr, "Ch", 2));
    ASSERT_EQ(0u, tree.top->searchedChildNode(&kind, &listIndex, "ChX", 2));  // the length bounds the name
    EXPECT_EQ(1u, kind);
    EXPECT_EQ(0u, listIndex);
}

TEST(CollectionTest, ConvertsFastAddressToText)
{
    Tree tree;
    ASSERT_EQ(0u, tree.addColl({}, "Ch", 4));
    ASSERT_EQ(0u, tree.addPrm({0}, "Gain", 4));
    ASSERT_EQ(0u, tree.layOut());
    const uint32_t path[] = {0, 0, 0};
    const uint32_t indexes[] = {1, 2};

    struct Case {
        uint32_t depth;
        uint8_t topName;
        uint32_t bufferSize;
        uint32_t result;
        const char* text;
        uint32_t size;
    };
    const Case cases[] = {
        {2, 1, 32, 0, "/Mix/Ch/Gain", 12},
        {2, 0, 32, 0, "Ch/Gain", 7},
        {1, 1, 32, 0, "/Mix/Ch", 7},
        {0, 1, 32, 0, "/Mix", 4},
        {0, 0, 32, 0, "", 0},
        {2, 0, 7, 0, "Ch/Gain", 7},          // exactly fits (the caller's buffer holds the terminator)
        {2, 0, 6, kBadArgument, "Ch", 7},    // Gain does not fit: nothing of it is written
        {3, 0, 32, kNoSuchItem, "Ch", 0},    // a further level past a parameter
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const T_FAST_ADDRESS address{path, indexes, c.depth};
        char buffer[32] = {};
        EXPECT_EQ(c.result, tree.top->cnvFastToStrAddr(buffer, c.bufferSize, &address, 0, c.topName));
        if (c.result == 0 || c.result == kBadArgument) {
            EXPECT_STREQ(c.text, buffer);
        }
        uint32_t size = 0;
        if (c.result == 0) {
            ASSERT_EQ(0u, tree.top->getStrAddrSize(&size, &address, 0, c.topName));
            EXPECT_EQ(c.size, size);
        }
    }
    const T_FAST_ADDRESS tooDeep{path, indexes, 3};
    uint32_t size = 0;
    EXPECT_EQ(kNoSuchItem, tree.top->getStrAddrSize(&size, &tooDeep, 0, 0));
    const T_FAST_ADDRESS unknown{indexes, nullptr, 1};  // node index 1: past the children
    char buffer[32] = {};
    EXPECT_EQ(kNoSuchItem, tree.top->cnvFastToStrAddr(buffer, 32, &unknown, 0, 0));
}

TEST(CollectionTest, ScalarNumbersFollowTheDefinition)
{
    Tree tree;
    buildMixLvlAB(tree);
    EXPECT_EQ(6u, tree.totals.scalars);

    struct Case {
        uint32_t scalar;
        std::vector<uint32_t> nodes;
    };
    const Case cases[] = {
        {0, {}}, {1, {0}}, {2, {1}}, {3, {1, 0}}, {4, {2}}, {5, {2, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scalar);
        uint32_t nodes[5] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
        uint32_t depth = 0xEE;
        ASSERT_EQ(0u, tree.top->cnvScalarToFastAddr(nodes, &depth, 5, c.scalar, 0));
        ASSERT_EQ(c.nodes.size(), depth);
        for (uint32_t i = 0; i < depth; ++i) EXPECT_EQ(c.nodes[i], nodes[i]);

        const T_FAST_ADDRESS address{c.nodes.data(), nullptr, static_cast<uint32_t>(c.nodes.size())};
        uint32_t scalar = 0xEE;
        ASSERT_EQ(0u, tree.top->cnvFastToScalarAddr(&scalar, 0, &address, 0));
        EXPECT_EQ(c.scalar, scalar);
    }
    uint32_t nodes[5] = {};
    uint32_t depth = 0;
    EXPECT_EQ(kNotFound, tree.top->cnvScalarToFastAddr(nodes, &depth, 5, 6, 0));
    EXPECT_EQ(kBadArgument, tree.top->cnvScalarToFastAddr(nodes, &depth, 0, 1, 0));
    EXPECT_EQ(kBadArgument, tree.top->cnvFastToScalarAddr(nullptr, 0, nullptr, 0));
}

TEST(CollectionTest, ParameterIndexesEnumerateEveryElement)
{
    // Mix { P[4], C[3] { Q[2] } }: P 0..3, then per element of C its Q: 4..5, 6..7, 8..9.
    Tree tree;
    ASSERT_EQ(0u, tree.addPrm({}, "P", 4));
    ASSERT_EQ(1u, tree.addColl({}, "C", 3));
    ASSERT_EQ(0u, tree.addPrm({1}, "Q", 2));
    ASSERT_EQ(0u, tree.layOut());

    struct Case {
        uint32_t index;
        uint32_t result;
        std::vector<uint32_t> nodes;
        std::vector<uint32_t> indexes;
    };
    const Case cases[] = {
        {0, 0, {0}, {0}},
        {3, 0, {0}, {3}},
        {4, 0, {1, 0}, {0, 0}},
        {7, 0, {1, 0}, {1, 1}},
        {9, 0, {1, 0}, {2, 1}},
        {10, kNotFound, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        uint32_t nodes[5] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
        uint32_t indexes[5] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
        uint32_t depth = 0xEE;
        EXPECT_EQ(c.result, tree.top->cnvPrmIndexToFastAddr(nodes, indexes, &depth, 5, c.index, 0));
        if (c.result != 0) continue;
        ASSERT_EQ(c.nodes.size(), depth);
        for (uint32_t i = 0; i < depth; ++i) {
            EXPECT_EQ(c.nodes[i], nodes[i]);
            EXPECT_EQ(c.indexes[i], indexes[i]);
        }
    }
    uint32_t nodes[5] = {};
    uint32_t indexes[5] = {};
    uint32_t depth = 0;
    EXPECT_EQ(kBadArgument, tree.top->cnvPrmIndexToFastAddr(nodes, nullptr, &depth, 5, 0, 0));
    EXPECT_EQ(kBadArgument, tree.top->cnvPrmIndexToFastAddr(nodes, indexes, &depth, 0, 0, 0));

    // A tree without parameter elements has no parameter index.
    Tree empty;
    ASSERT_EQ(0u, empty.addColl({}, "C", 2));
    ASSERT_EQ(0u, empty.layOut());
    EXPECT_EQ(kNotFound, empty.top->cnvPrmIndexToFastAddr(nodes, indexes, &depth, 5, 0, 0));
}

TEST(CollectionTest, CountsElementsOfALevel)
{
    uint32_t result = 0;
    Collection ch(&result, "Ch", 8);
    ASSERT_EQ(0u, result);
    struct Case {
        const char* what;
        uint32_t first;
        uint32_t last;
        bool withFirst;
        bool withLast;
        uint32_t count;
    };
    const Case cases[] = {
        {"whole array", 0, 0, false, false, 8},
        {"to the end", 3, 0xFFFFFFFFu, true, true, 5},
        {"range", 2, 4, true, true, 3},
        {"last below first", 5, 2, true, true, 1},
        {"first past the end", 9, 0, true, false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const uint32_t first[] = {c.first};
        const uint32_t last[] = {c.last};
        EXPECT_EQ(c.count, ch.getChannelSize(c.withFirst ? first : nullptr, c.withLast ? last : nullptr, 1));
    }
    EXPECT_EQ(0u, ch.isChannelSize(7, 1));
    EXPECT_EQ(kNoSuchItem, ch.isChannelSize(8, 1));
}

TEST(CollectionTest, NodeQueriesAnswerAtTheAddressedNode)
{
    Tree tree;
    ASSERT_EQ(0u, tree.addPrm({}, "Lvl", 1, MMS::kMmsTypeInt16));
    ASSERT_EQ(1u, tree.addColl({}, "Ch", 4));
    ASSERT_EQ(0u, tree.addPrm({1}, "Gain", 3, MMS::kMmsTypeFloat));
    ASSERT_EQ(0u, tree.layOut());

    struct Case {
        const char* what;
        std::vector<uint32_t> path;
        const char* name;
        uint32_t category;
        uint32_t arraySize;
        uint32_t children;
        uint32_t dataSize;
        uint32_t prmNum;
    };
    const Case cases[] = {
        {"top", {}, "Mix", 0, 1, 2, 2 + 4 * 12, 1 + 4 * 3},
        {"parameter", {0}, "Lvl", 1, 1, 0, 2, 1},
        {"child", {1}, "Ch", 0, 4, 1, 12, 3},
        {"child's parameter", {1, 0}, "Gain", 1, 3, 0, 4, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const T_FAST_ADDRESS address{c.path.data(), nullptr, static_cast<uint32_t>(c.path.size())};
        char name[24] = {};
        uint32_t value = 0xEE;
        ASSERT_EQ(0u, tree.top->getNodeNameFast(name, &address, 0));
        EXPECT_STREQ(c.name, name);
        ASSERT_EQ(0u, tree.top->getNodeCategoryFast(&value, &address, 0));
        EXPECT_EQ(c.category, value);
        ASSERT_EQ(0u, tree.top->getNodeArraySizeFast(&value, &address, 0));
        EXPECT_EQ(c.arraySize, value);
        ASSERT_EQ(0u, tree.top->getNumOfChildNodesFast(&value, &address, 0));
        EXPECT_EQ(c.children, value);
        ASSERT_EQ(0u, tree.top->getNodeDataSizeFast(&value, &address, 0));
        EXPECT_EQ(c.dataSize, value);
        ASSERT_EQ(0u, tree.top->getNodePrmNumFast(&value, &address, 0));
        EXPECT_EQ(c.prmNum, value);
    }
    char name[24] = {};
    const uint32_t path[] = {1, 0, 0};
    const T_FAST_ADDRESS pastLeaf{path, nullptr, 3};
    EXPECT_EQ(kNoSuchItem, tree.top->getNodeNameFast(name, &pastLeaf, 0));
    const T_FAST_ADDRESS child{path, nullptr, 1};
    ASSERT_EQ(0u, tree.top->getChildNodeNameFast(name, 0, &child, 0));
    EXPECT_STREQ("Gain", name);
    EXPECT_EQ(kBadArgument, tree.top->getNodeName(nullptr));
}

TEST(CollectionTest, ShareRootDescribesOneElementOfASubCollection)
{
    Tree tree;
    ASSERT_EQ(0u, tree.addPrm({}, "Lvl", 2));
    ASSERT_EQ(1u, tree.addColl({}, "Ch", 4));
    ASSERT_EQ(0u, tree.addPrm({1}, "Gain", 3, MMS::kMmsTypeUInt16));
    ASSERT_EQ(1u, tree.addColl({1}, "Eq", 2));  // after Gain
    ASSERT_EQ(0u, tree.addPrm({1, 1}, "Freq", 1, MMS::kMmsTypeUInt32));
    ASSERT_EQ(0u, tree.layOut());

    std::vector<unsigned char> values(tree.totals.values);
    std::vector<unsigned char> factors(tree.totals.dirty);
    std::vector<MMS::ProcessOption> plugins(5);
    int64_t origin = 0;
    auto whole = [&] {
        MMS::sharedRootInfo info;
        info.values = values.data();
        info.valueSize = tree.totals.values;
        info.factors = factors.data();
        info.factorSize = tree.totals.dirty;
        info.taskListOrigin = &origin;
        info.tagArea = tree.tagMemory.data();
        info.tagAreaSize = tree.totals.tags;
        info.plugins = plugins.data();
        return info;
    };

    // Ch[2], then its Eq[1].
    const uint32_t path[] = {1, 1};
    const uint32_t indexes[] = {2, 1};
    MMS::sharedRootInfo info = whole();
    const T_FAST_ADDRESS address{path, indexes, 2};
    ASSERT_EQ(0u, tree.top->shareRoot(&info, &address, 0));
    const Collection* ch = tree.top->getCollectionItem(0);
    const Collection* eq = ch->getCollectionItem(0);
    EXPECT_EQ(eq, info.topNode);
    EXPECT_EQ(nullptr, info.values);
    EXPECT_EQ(nullptr, info.factors);
    EXPECT_EQ(nullptr, info.taskListOrigin);
    EXPECT_EQ(tree.tagMemory.data() + ch->getTagInfo().offset + eq->getTagInfo().offset, info.tagArea);
    EXPECT_EQ(80u, info.tagAreaSize);
    EXPECT_EQ(4u, info.valueSize);
    EXPECT_EQ(2u, info.factorSize);  // its summary bit and Freq
    EXPECT_EQ(1u, info.dirtySize);
    EXPECT_EQ(plugins.data() + 2, info.plugins);  // Mix 0, Ch 1, Eq 2

    // The whole root keeps the root's own description.
    MMS::sharedRootInfo top = whole();
    ASSERT_EQ(0u, tree.top->shareRoot(&top, nullptr, 0));
    EXPECT_EQ(values.data(), top.values);
    EXPECT_EQ(nullptr, top.topNode);

    struct Case {
        const char* what;
        std::vector<uint32_t> indexes;
        uint32_t depth;
        const uint32_t* path;
        uint32_t result;
    };
    const uint32_t throughLeaf[] = {0};
    const Case cases[] = {
        {"element outside the array", {4, 0}, 1, path, kBadArgument},
        {"no array indexes", {}, 1, path, kMissing},
        {"ends at a parameter", {0}, 1, throughLeaf, kNoSuchItem},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MMS::sharedRootInfo refused = whole();
        const T_FAST_ADDRESS bad{c.path, c.indexes.empty() ? nullptr : c.indexes.data(), c.depth};
        EXPECT_EQ(c.result, tree.top->shareRoot(&refused, &bad, 0));
    }
    EXPECT_EQ(kBadArgument, tree.top->shareRoot(nullptr, nullptr, 0));
}

TEST(CollectionTest, NodeFactoryPlacesAndUndoesRealNodes)
{
    MmsTest::TestHeapManager& heap = MmsTest::heap1();
    MMS::SharedMemWrapper wrapper;
    MMS::TreeNodeCollector factory;
    bool area = false;
    ASSERT_EQ(0u, factory.createMemoryArea(&area, &wrapper, 3, 2));
    ASSERT_TRUE(area);
    static_assert(MMS::TreeNodeCollector::collectionRecordSize() == 120);
    const unsigned char* base = factory.getNodeListPointer();
    const uint32_t prmRecord = MMS::TreeNodeCollector::parameterRecordSize();
    const uint32_t collRecord = MMS::TreeNodeCollector::collectionRecordSize();
    auto makePrm = [&](const char* name, uint32_t arraySize) {
        return factory.create(name, arraySize, MMS::kMmsTypeUInt8, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0,
                              1, 0, 0, 0);
    };

    Parameter* p = makePrm("P", 2);
    Collection* c = factory.create("C", 1);
    EXPECT_EQ(static_cast<const void*>(base), static_cast<void*>(p));
    EXPECT_EQ(static_cast<const void*>(base + prmRecord), static_cast<void*>(c));
    // Nodes that refuse their construction leave no trace in the area.
    EXPECT_EQ(nullptr, factory.create("", 1));
    EXPECT_EQ(nullptr, makePrm("Q", 0));
    Collection* d = factory.create("D", 1);
    ASSERT_EQ(static_cast<const void*>(base + prmRecord + collRecord), static_cast<void*>(d));

    // Undoing the last collection gives its child list back and clears its record.
    uint32_t index = 0;
    ASSERT_EQ(0u, d->addPrm(&index, &wrapper, p));
    const int live = heap.live;
    EXPECT_EQ(0u, factory.removeLastItem(&wrapper));
    EXPECT_EQ(live - 1, heap.live);
    const std::vector<unsigned char> zeros(collRecord + prmRecord, 0);
    EXPECT_EQ(0, std::memcmp(zeros.data(), base + prmRecord + collRecord, collRecord));
    EXPECT_EQ(0x8000u, factory.removeLastItem(&wrapper));
    EXPECT_EQ(static_cast<void*>(d), static_cast<void*>(factory.create("E", 1)));

    // The parameter branch.
    Parameter* q = makePrm("Q", 1);
    ASSERT_EQ(static_cast<const void*>(base + prmRecord + 2 * collRecord), static_cast<void*>(q));
    EXPECT_EQ(0u, factory.removeLastItem(&wrapper));
    EXPECT_EQ(0, std::memcmp(zeros.data(), base + prmRecord + 2 * collRecord, prmRecord));
    EXPECT_EQ(static_cast<void*>(q), static_cast<void*>(makePrm("Q2", 1)));
    (void)factory.destroy(&wrapper);

    // Heap mode: a refused node is freed again; nothing can be undone.
    MMS::TreeNodeCollector heapFactory;
    ASSERT_EQ(0u, heapFactory.createMemoryArea(&area, &wrapper, 0, 0));
    const int before = heap.live;
    EXPECT_EQ(nullptr, heapFactory.create("", 1));
    EXPECT_EQ(nullptr, heapFactory.create("Q", 1, 0x003, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 1, 0, 0,
                                          0));
    EXPECT_EQ(before, heap.live);
    Collection* alone = heapFactory.create("Alone", 2);
    ASSERT_NE(nullptr, alone);
    EXPECT_EQ(0x8000u, heapFactory.removeLastItem(&wrapper));
    (void)alone->release(&wrapper);
    EXPECT_EQ(before, heap.live);
}

}  // namespace
