#pragma once
// A laid-out tree with the memories a root gives it, for the value and plug-in tests:
//   Mix (top)  { Lvl: u8 x1, default 5
//                Ch[4] { Gain: u8 x2 (max 100, default 10, unit "dB")
//                        Sub[2] { X: u8 x1, default 7 } }
//                Name: string of 8, default "abc" }
// Node indexes: Mix/Lvl {0}, Mix/Name {1}, Mix/Ch {2}, Ch/Gain {2,0}, Ch/Sub {2,1}, Sub/X {2,1,0}.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "MMS/Common/mms_Collection.h"
#include "MMS/Common/mms_CommonFunction.h"
#include "MMS/Common/mms_DirtyFlagList.h"
#include "MMS/Common/mms_Parameter.h"
#include "MMS/Common/mms_ProcessOption.h"
#include "MMS/Common/mms_SharedMemWrapper.h"
#include "MMS/Common/mms_TreeNodeFactory.h"
#include "MmsTestHeap.h"
#include "jlib/JVariant.h"

namespace MmsValues {

// Marks into one task's dirty memory, as the root's holder does for a single subscriber.
class BitHolder : public MMS::IDirtyFlagHolder {
public:
    explicit BitHolder(std::vector<unsigned char>& dirty) : m_dirty(dirty) {}
    uint32_t set(uint32_t bit) override
    {
        ++marks;
        return MMS::CommonFunction::dirtyFlagController(m_dirty.data(), bit, 1);
    }
    uint32_t setImportFlag(uint32_t) override { return 0; }
    uint32_t setImportSearcher(uint32_t) override { return 0; }
    int marks = 0;

private:
    std::vector<unsigned char>& m_dirty;
};

class ValueTree {
public:
    // String pool: "dB" at 0, "abc" at 3, "Chan %d" at 7.
    static constexpr char kPool[] = "dB\0abc\0Chan %d";

    // withUndefaulted adds Sub/Raw (u8 x1, node {2,1,1}) without a default value.
    explicit ValueTree(bool withUndefaulted = false) : m_heap(MmsTest::heap1())
    {
        top = m_factory.create("Mix", 1);
        EXPECT_NE(nullptr, top);
        JVariant five(5u);
        JVariant hundred(100u);
        JVariant ten(10u);
        JVariant seven(7u);
        JVariant nameMax(8u);
        JVariant nameDef(3u);
        add({}, m_factory.create("Lvl", 1, MMS::kMmsTypeUInt8, nullptr, nullptr, &five, nullptr, nullptr, 0, 0, 1, 0,
                                 0, 0));
        add({}, m_factory.create("Name", 1, MMS::kMmsTypeString, nullptr, &nameMax, &nameDef, nullptr, nullptr, 0, 0,
                                 1, 0, 0, 0));
        addColl({}, "Ch", 4);
        add({2}, m_factory.create("Gain", 2, MMS::kMmsTypeUInt8, nullptr, &hundred, &ten, nullptr, nullptr, 0, 2, 3, 4,
                                  7, 7));
        addColl({2}, "Sub", 2);
        add({2, 1}, m_factory.create("X", 1, MMS::kMmsTypeUInt8, nullptr, nullptr, &seven, nullptr, nullptr, 0, 0, 1,
                                     0, 0, 0));
        if (withUndefaulted) {
            add({2, 1}, m_factory.create("Raw", 1, MMS::kMmsTypeUInt8, nullptr, nullptr, nullptr, nullptr, nullptr, 0,
                                         0, 1, 0, 0, 0));
        }
        uint32_t values = 0, dirty = 0, imports = 0, serials = 0, tags = 0, scalars = 0;
        EXPECT_EQ(0u, top->setMemAddrInfo(&values, &dirty, &imports, &serials, &tags, &scalars, 0, 0, 0, 0, 0, 0));
        tagMemory.assign(tags, 0);
        EXPECT_EQ(0u, top->setImportTags(tagMemory.data(), 0));
        uint32_t collections = 0;
        uint32_t parameters = 0;
        EXPECT_EQ(0u, top->getCollNodeNum(&collections, &parameters, 0, 0, 1));
        valueMemory.assign(values, 0);
        dirtyMemory.assign((dirty + 7) / 8, 0);
        factorMemory.assign(dirty, 0);
        plugins.assign(collections, MMS::ProcessOption());
        EXPECT_EQ(withUndefaulted ? 0x80000005u : 0u, top->setDefaultPrms(valueMemory.data(), kPool, 0));
    }
    ~ValueTree()
    {
        for (MMS::ProcessOption& slot : plugins) (void)MMS::Collection::removePlugin(&slot);
        if (top != nullptr) (void)top->release(&m_wrapper);
    }
    ValueTree(const ValueTree&) = delete;
    ValueTree& operator=(const ValueTree&) = delete;

    // Dirty bit numbers of the tree's summary and value elements.
    uint32_t chElement(uint32_t ch) const
    {
        return MMS::CommonFunction::offsetCalculation(ch_()->getDirtyInfo(), ch);
    }
    uint32_t gainBit(uint32_t ch, uint32_t e) const { return chElement(ch) + gain_()->getDirtyFlagAddrInfo().offset + e; }
    uint32_t subElement(uint32_t ch, uint32_t sub) const
    {
        return chElement(ch) + MMS::CommonFunction::offsetCalculation(sub_()->getDirtyInfo(), sub);
    }
    uint32_t xBit(uint32_t ch, uint32_t sub) const { return subElement(ch, sub) + x_()->getDirtyFlagAddrInfo().offset; }
    bool dirty(uint32_t bit) const { return MMS::CommonFunction::isDirty(dirtyMemory.data(), bit); }
    int dirtyCount() const
    {
        int n = 0;
        for (unsigned char b : dirtyMemory) n += __builtin_popcount(b);
        return n;
    }
    void clearDirty() { std::fill(dirtyMemory.begin(), dirtyMemory.end(), 0); }

    uint32_t set(const std::vector<uint32_t>& nodes, const std::vector<uint32_t>& indexes, uint32_t value,
                 uint8_t* pluginFound = nullptr, JVariant* old = nullptr, uint8_t factor = 9)
    {
        const MMS::T_FAST_ADDRESS address{nodes.data(), indexes.data(), static_cast<uint32_t>(nodes.size())};
        return top->setPrm(pluginFound, old, JVariant(value), &address, 0, factor, 0, nullptr, valueMemory.data(),
                           &holder, 0, factorMemory.data(), plugins.data(), nullptr, 0);
    }
    uint32_t get(const std::vector<uint32_t>& nodes, const std::vector<uint32_t>& indexes, uint8_t clear = 0,
                 uint32_t* result = nullptr)
    {
        const MMS::T_FAST_ADDRESS address{nodes.data(), indexes.data(), static_cast<uint32_t>(nodes.size())};
        JVariant value;
        const uint32_t r = top->getPrm(&value, nullptr, &address, 0, clear, valueMemory.data(), dirtyMemory.data(),
                                       0, factorMemory.data());
        if (result != nullptr) *result = r;
        return value.toUInt32();
    }

    MMS::Collection* top = nullptr;
    std::vector<unsigned char> tagMemory;
    std::vector<unsigned char> valueMemory;
    std::vector<unsigned char> dirtyMemory;
    std::vector<unsigned char> factorMemory;
    std::vector<MMS::ProcessOption> plugins;
    BitHolder holder{dirtyMemory};

    const MMS::Collection* ch_() const { return top->getCollectionItem(0); }
    const MMS::Collection* sub_() const { return ch_()->getCollectionItem(0); }
    const MMS::Parameter* gain_() const { return ch_()->getPrmItem(0); }
    const MMS::Parameter* x_() const { return sub_()->getPrmItem(0); }

private:
    void add(const std::vector<uint32_t>& path, MMS::Parameter* parameter)
    {
        ASSERT_NE(nullptr, parameter);
        const MMS::T_FAST_ADDRESS address{path.data(), nullptr, static_cast<uint32_t>(path.size())};
        uint32_t index = 0;
        ASSERT_EQ(0u, top->addPrm(&index, &m_wrapper, parameter, &address, 0));
    }
    void addColl(const std::vector<uint32_t>& path, const char* name, uint32_t size)
    {
        MMS::Collection* child = m_factory.create(name, size);
        ASSERT_NE(nullptr, child);
        const MMS::T_FAST_ADDRESS address{path.data(), nullptr, static_cast<uint32_t>(path.size())};
        uint32_t index = 0;
        ASSERT_EQ(0u, top->addCollection(&index, &m_wrapper, child, &address, 0));
    }

    MmsTest::TestHeapManager& m_heap;
    MMS::SharedMemWrapper m_wrapper;
    MMS::TreeNodeCollector m_factory;
};

}  // namespace MmsValues
