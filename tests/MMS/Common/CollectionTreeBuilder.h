#pragma once
// A laid-out tree with the memories a root would give it (one subscribed task), for the tests of
// the collection's flags, export and import. Values are poked straight into the value memory and
// flags marked by hand, so that each operation is tested on its own.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "MMS/Common/mms_Collection.h"
#include "MMS/Common/mms_CommonFunction.h"
#include "MMS/Common/mms_DirtyFlagList.h"
#include "MMS/Common/mms_Parameter.h"
#include "MMS/Common/mms_SharedMemWrapper.h"
#include "MMS/Common/mms_TreeNodeFactory.h"
#include "MmsTestHeap.h"
#include "jlib/JVariant.h"

namespace MmsTest {

using Vec = std::vector<uint32_t>;

class TreeBuilder {
public:
    explicit TreeBuilder(const char* topName = "Mix") : m_heap(heap1())
    {
        bool area = false;
        EXPECT_EQ(0u, m_factory.createMemoryArea(&area, &m_wrapper, 0, 0));
        top = m_factory.create(topName, 1);
        EXPECT_NE(nullptr, top);
    }
    ~TreeBuilder()
    {
        if (top != nullptr) (void)top->release(&m_wrapper);
    }
    TreeBuilder(const TreeBuilder&) = delete;
    TreeBuilder& operator=(const TreeBuilder&) = delete;

    void prm(const Vec& path, const char* name, uint32_t arraySize, uint32_t type = MMS::kMmsTypeUInt8)
    {
        MMS::Parameter* parameter =
            m_factory.create(name, arraySize, type, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 1, 0, 0, 0);
        ASSERT_NE(nullptr, parameter) << name;
        const MMS::T_FAST_ADDRESS address{path.data(), nullptr, static_cast<uint32_t>(path.size())};
        uint32_t index = 0;
        ASSERT_EQ(0u, top->addPrm(&index, &m_wrapper, parameter, &address, 0)) << name;
    }
    void coll(const Vec& path, const char* name, uint32_t arraySize)
    {
        MMS::Collection* child = m_factory.create(name, arraySize);
        ASSERT_NE(nullptr, child) << name;
        const MMS::T_FAST_ADDRESS address{path.data(), nullptr, static_cast<uint32_t>(path.size())};
        uint32_t index = 0;
        ASSERT_EQ(0u, top->addCollection(&index, &m_wrapper, child, &address, 0)) << name;
    }

    // Lays the tree out and makes zeroed memories of the reported sizes.
    void finish()
    {
        uint32_t serials = 0;
        uint32_t scalars = 0;
        ASSERT_EQ(0u, top->setMemAddrInfo(&valueBytes, &dirtyBits, &importBits, &serials, &tagBytes, &scalars, 0, 0,
                                          0, 0, 0, 0));
        tags.assign(tagBytes, 0);
        ASSERT_EQ(0u, top->setImportTags(tags.data(), 0));
        uint32_t collections = 0;
        uint32_t parameters = 0;
        ASSERT_EQ(0u, top->getCollNodeNum(&collections, &parameters, 0, 0, 1));
        values.assign(valueBytes, 0);
        dirty.assign((dirtyBits + 7) / 8, 0);
        flags.assign((importBits + 7) / 8, 0);
        searcher.assign((importBits + 7) / 8, 0);
        factors.assign(dirtyBits, 0);
    }

    // The collection and the bases of the element that a path of (node, element) pairs names.
    struct Place {
        const MMS::Collection* collection;
        uint32_t valueOffset;
        uint32_t dirtyBase;
        uint32_t importBase;
    };
    Place place(const Vec& nodes, const Vec& indexes) const
    {
        Place at{top, 0, 0, 0};
        for (size_t level = 0; level < nodes.size(); ++level) {
            const MMS::Collection* child =
                at.collection->getCollectionItem(nodes[level] - at.collection->getPrmCount());
            const uint32_t e = indexes[level];
            at.valueOffset += child->getDataInfo().offset + e * child->getDataInfo().unit;
            at.dirtyBase += child->getDirtyInfo().offset + e * child->getDirtyInfo().unit;
            at.importBase += child->getImportInfo().offset + e * child->getImportInfo().unit;
            at.collection = child;
        }
        return at;
    }
    // Byte offset in the value memory and dirty bit of a parameter element below a collection path.
    uint32_t valueOffset(const Vec& nodes, const Vec& indexes, uint32_t prm, uint32_t element) const
    {
        const Place at = place(nodes, indexes);
        const MMS::Parameter* p = at.collection->getPrmItem(prm);
        return at.valueOffset + p->getParamAddrInfo().offset + element * p->getElementSize();
    }
    uint32_t dirtyBit(const Vec& nodes, const Vec& indexes, uint32_t prm, uint32_t element) const
    {
        const Place at = place(nodes, indexes);
        return at.dirtyBase + at.collection->getPrmItem(prm)->getDirtyFlagAddrInfo().offset + element;
    }
    // Marks a parameter element changed as a set does: its bit and every summary bit on its path.
    void markChanged(const Vec& nodes, const Vec& indexes, uint32_t prm, uint32_t element)
    {
        for (size_t n = 0; n <= nodes.size(); ++n) {
            const Vec partNodes(nodes.begin(), nodes.begin() + static_cast<long>(n));
            const Vec partIndexes(indexes.begin(), indexes.begin() + static_cast<long>(n));
            setBit(dirty, place(partNodes, partIndexes).dirtyBase);
        }
        setBit(dirty, dirtyBit(nodes, indexes, prm, element));
    }

    static void setBit(std::vector<unsigned char>& bitmap, uint32_t bit)
    {
        (void)MMS::CommonFunction::dirtyFlagController(bitmap.data(), bit, 1);
    }
    static bool isSet(const std::vector<unsigned char>& bitmap, uint32_t bit)
    {
        return MMS::CommonFunction::isDirty(bitmap.data(), bit);
    }
    static bool allClear(const std::vector<unsigned char>& bitmap)
    {
        for (unsigned char b : bitmap) {
            if (b != 0) return false;
        }
        return true;
    }

    MMS::Collection* top = nullptr;
    uint32_t valueBytes = 0;
    uint32_t dirtyBits = 0;
    uint32_t importBits = 0;
    uint32_t tagBytes = 0;
    std::vector<unsigned char> tags;
    std::vector<unsigned char> values;
    std::vector<unsigned char> dirty;
    std::vector<unsigned char> flags;
    std::vector<unsigned char> searcher;
    std::vector<unsigned char> factors;

private:
    TestHeapManager& m_heap;
    MMS::SharedMemWrapper m_wrapper;
    MMS::TreeNodeCollector m_factory;
};

// Marks into the builder's memories, as a root with one subscribed task would.
class BitHolder : public MMS::IDirtyFlagHolder {
public:
    explicit BitHolder(TreeBuilder& tree) : m_tree(tree) {}
    uint32_t set(uint32_t bit) override
    {
        TreeBuilder::setBit(m_tree.dirty, bit);
        return 0;
    }
    uint32_t setImportFlag(uint32_t bit) override
    {
        TreeBuilder::setBit(m_tree.flags, bit);
        return 0;
    }
    uint32_t setImportSearcher(uint32_t bit) override
    {
        TreeBuilder::setBit(m_tree.searcher, bit);
        return 0;
    }

private:
    TreeBuilder& m_tree;
};

}  // namespace MmsTest
