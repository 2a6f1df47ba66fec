#pragma once
// A small built root for the value, change and plug-in tests:
//   /Mix/Ch[4]/Gain[3]  int16 -100 .. 100, step 1, default 0
//   /Mix/Bus[2]/Level[2] int16 -100 .. 100, step 1, default 0
// Node indexes: Ch 0, Bus 1 below the top; Gain and Level 0 in theirs. The root is left laid out
// (plug-ins may be attached) until ready() is called.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "MMS/Common/mms_Root.h"
#include "MMS/Common/mms_SharedMemWrapper.h"
#include "MmsTestHeap.h"
#include "jlib/JVariant.h"
#include "jlib/JVariantArray.h"

namespace MmsTest {

class ValueRoot {
public:
    static constexpr uint32_t kCh[2] = {0, 0};   // Ch/Gain
    static constexpr uint32_t kBus[2] = {1, 0};  // Bus/Level

    ValueRoot()
    {
        (void)heap1();
        uint32_t result = 1;
        root = std::make_unique<MMS::Root>(&result, &m_definition, &m_values, &m_tasks, "Mix", 0, 0, 64);
        EXPECT_EQ(0u, result);
        uint32_t index = 0;
        EXPECT_EQ(0u, root->addCollectionFast(&index, nullptr, 0, "Ch", 4));
        EXPECT_EQ(0u, root->addCollectionFast(&index, nullptr, 0, "Bus", 2));
        addInt16(0, "Gain", 3);
        addInt16(1, "Level", 2);
        EXPECT_EQ(0u, root->linkBuild(1));
    }
    // The root goes before the memories it borrows.
    ~ValueRoot() { root.reset(); }
    ValueRoot(const ValueRoot&) = delete;
    ValueRoot& operator=(const ValueRoot&) = delete;

    void ready() { EXPECT_EQ(0u, root->finishBuild(1)); }

    int get(const uint32_t* nodes, uint32_t a, uint32_t b, uint8_t* factor = nullptr)
    {
        const uint32_t indices[2] = {a, b};
        JVariant out;
        EXPECT_EQ(0u, root->getPrmFast(&out, factor, nodes, indices, 2, 0, 0));
        return out.toInt32();
    }
    uint32_t set(int value, const uint32_t* nodes, uint32_t a, uint32_t b, uint8_t factor = 1,
                 uint32_t task = 99, uint32_t mode = 0, uint8_t markOwn = 0,
                 const MMS::ISetChecker* checker = nullptr, const MMS::ExternalSetArg* external = nullptr)
    {
        const uint32_t indices[2] = {a, b};
        return root->setPrmFast(JVariant(value), nodes, indices, 2, factor, markOwn, 0, 0, task, checker, mode,
                                external);
    }
    // Is the element changed for the task (without clearing).
    int changed(uint32_t task, const uint32_t* nodes, uint32_t a, uint32_t b, uint8_t clear = 0)
    {
        const uint32_t indices[2] = {a, b};
        uint8_t out = 9;
        EXPECT_FALSE(root->isChangedFast(&out, nodes, indices, 2, clear, task) & 0x80000000u);
        return out;
    }

    std::unique_ptr<MMS::Root> root;

private:
    void addInt16(uint32_t parent, const char* name, uint32_t size)
    {
        const uint32_t nodes[1] = {parent};
        JVariant minimum(-100);
        JVariant maximum(100);
        JVariant def(0);
        JVariant step(1);
        JVariant nominal(0);
        uint32_t index = 0;
        EXPECT_EQ(0u, root->addPrmFast(&index, nodes, 1, name, size, 0x002, &minimum, &maximum, &def, &step,
                                       &nominal, nullptr, 0, 0, 0, nullptr, 0));
    }

    MMS::SharedMemWrapper m_definition;
    MMS::SharedMemWrapper m_values;
    MMS::SharedMemWrapper m_tasks;
};

// An int32 array over its own memory holding the given values (empty: an array of no element).
class IntArray {
public:
    explicit IntArray(std::vector<int> v) : m_memory(v.empty() ? 1 : v.size(), 0)
    {
        array = std::make_unique<JVariantArray>(v.empty() ? nullptr : m_memory.data(), JVariant::kTypeInt32, 4,
                                                static_cast<uint32_t>(v.size()));
        for (uint32_t i = 0; i < v.size(); ++i) EXPECT_FALSE(array->setValue(i, JVariant(v[i])) & 0x80000000u);
    }
    std::unique_ptr<JVariantArray> array;

private:
    std::vector<int32_t> m_memory;
};

}  // namespace MmsTest
