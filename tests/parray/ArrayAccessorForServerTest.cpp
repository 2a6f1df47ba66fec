#include "parray/ArrayAccessorForServer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "parray/ParrayTestSupport.h"

using parraytest::sizeWord;
using PARRAY::ArrayAccessorForServer;

namespace {

void* const kPoison = reinterpret_cast<void*>(0x5A5A5A5A);

// Three arrays sized against numX 3 and numY 2: UINT32 [4], FLOAT [3][2], UINT8 [2][2][3].
const PARRAY::ArrayInfo kInfos[3] = {
    {PARRAY::kTypeUINT32, 4, 0, 0, "level"},
    {PARRAY::kTypeFLOAT, sizeWord(1, 0, 1), sizeWord(2, 0, 1), 0, "gr"},
    {PARRAY::kTypeUINT8, 2, sizeWord(4, 0, 1), sizeWord(3, 0, 1), "raw"},
};

uint32_t byteSize(const ArrayAccessorForServer& accessor, uint32_t id)
{
    void* data = nullptr;
    uint32_t size = 0;
    (void)accessor.getArrayPointer(data, size, id);  // failure leaves 0, which is the answer
    return size;
}

}  // namespace

TEST(ArrayAccessorForServerTest, InitializeBuildsOneRecordPerDescription)
{
    ArrayAccessorForServer accessor;
    EXPECT_EQ(0u, accessor.arrayIDNum());
    EXPECT_EQ(nullptr, accessor.arrayInfoTable());
    ASSERT_EQ(0u, accessor.initialize(kInfos, 3, 3, 2));
    EXPECT_EQ(3u, accessor.arrayIDNum());
    EXPECT_EQ(kInfos, accessor.arrayInfoTable());
    EXPECT_FALSE(accessor.hasDirty());
    const uint32_t sizes[3] = {16, 24, 12};
    for (uint32_t id = 0; id < 3; ++id) EXPECT_EQ(sizes[id], byteSize(accessor, id)) << "array " << id;
    EXPECT_STREQ("level", accessor.getExtInfo(0));
    EXPECT_STREQ("raw", accessor.getExtInfo(2));
    EXPECT_EQ(ArrayAccessorForServer::nullExtInfo, accessor.getExtInfo(3));
    EXPECT_EQ(0, std::memcmp(std::vector<char>(16, 0).data(), accessor.getExtInfo(3), 16));
    EXPECT_EQ(ArrayAccessorForServer::nullExtInfo, ArrayAccessorForServer().getExtInfo(0));
}

TEST(ArrayAccessorForServerTest, RefusedInitializeKeepsOrDropsTheHeldTable)
{
    ArrayAccessorForServer accessor;
    ASSERT_EQ(0u, accessor.initialize(kInfos, 3, 3, 2));
    ASSERT_EQ(0u, accessor.setParam<uint32_t>(0, 1, 0, 0, 77u));

    // Missing descriptions: the held table stays usable.
    EXPECT_EQ(0x80000000u, accessor.initialize(kInfos, 0, 3, 2));
    EXPECT_EQ(0x80000000u, accessor.initialize(nullptr, 3, 3, 2));
    EXPECT_EQ(3u, accessor.arrayIDNum());
    EXPECT_EQ(77u, accessor.getParam<uint32_t>(0, 1, 0, 0));

    // A factory failure: the old table is gone and the accessor is empty.
    EXPECT_EQ(0x80000000u, accessor.initialize(kInfos, 3, 3, 0));
    EXPECT_EQ(0u, accessor.arrayIDNum());
    EXPECT_EQ(nullptr, accessor.arrayInfoTable());
    EXPECT_FALSE(accessor.hasDirty());
    EXPECT_EQ(0u, accessor.getParam<uint32_t>(0, 1, 0, 0));

    // A new table starts clean.
    ASSERT_EQ(0u, accessor.initialize(kInfos, 3, 3, 2));
    EXPECT_FALSE(accessor.hasDirty());
    EXPECT_EQ(0u, accessor.getParam<uint32_t>(0, 1, 0, 0));
    EXPECT_EQ(0u, accessor.finalize());
    EXPECT_EQ(0u, accessor.finalize());
    EXPECT_EQ(0u, accessor.arrayIDNum());
}

TEST(ArrayAccessorForServerTest, DirtyWalkCollectsEachWrittenArrayOnce)
{
    struct Case { const char* name; std::vector<uint32_t> writes; std::vector<uint32_t> collected; };
    const Case cases[] = {
        {"none", {}, {}},
        {"twice on 2, once on 0", {2, 2, 0}, {0, 2}},
        {"middle only", {1}, {1}},
        {"all", {2, 1, 0}, {0, 1, 2}},
        {"refused writes mark nothing", {3, 9}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ArrayAccessorForServer accessor;
        ASSERT_EQ(0u, accessor.initialize(kInfos, 3, 3, 2));
        for (uint32_t id : c.writes) (void)accessor.setParam<uint32_t>(id, 0, 0, 0, 1u);  // out-of-range IDs are the point
        EXPECT_EQ(!c.collected.empty(), accessor.hasDirty());
        std::vector<uint32_t> collected;
        uint32_t id = 0;
        while (id < accessor.arrayIDNum()) {
            if (accessor.checkNextDirty(id) != 0) break;
            collected.push_back(id);  // the same ID again moves on: its flag is clear now
        }
        EXPECT_EQ(c.collected, collected);
        EXPECT_EQ(3u, id);
        EXPECT_FALSE(accessor.hasDirty());
    }
}

TEST(ArrayAccessorForServerTest, CheckNextDirtyStepsAsTheCollectorExpects)
{
    ArrayAccessorForServer accessor;
    ASSERT_EQ(0u, accessor.initialize(kInfos, 3, 3, 2));
    ASSERT_EQ(0u, accessor.setParam<uint32_t>(2, 0, 0, 0, 1u));
    ASSERT_EQ(0u, accessor.setParam<uint32_t>(2, 0, 0, 0, 2u));
    ASSERT_EQ(0u, accessor.setParam<uint32_t>(0, 0, 0, 0, 3u));
    struct Step { uint32_t from; uint32_t result; uint32_t id; };
    const Step steps[] = {{0, 0, 0}, {0, 0, 2}, {2, 0x80000000u, 3}, {7, 0x80000000u, 7}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.from);
        uint32_t id = s.from;
        EXPECT_EQ(s.result, accessor.checkNextDirty(id));
        EXPECT_EQ(s.id, id);
    }
    EXPECT_FALSE(accessor.hasDirty());
    EXPECT_FALSE(accessor.hasArrayDirty(3));
    ASSERT_EQ(0u, accessor.setParam<float>(1, 0, 0, 0, 1.0f));
    EXPECT_TRUE(accessor.hasArrayDirty(1));
    EXPECT_FALSE(accessor.hasArrayDirty(1));
    EXPECT_FALSE(accessor.hasDirty());
}

TEST(ArrayAccessorForServerTest, ElementAccessStaysWithinTheArrayBytes)
{
    // Adds a 2-byte array and one without elements to the three above.
    const PARRAY::ArrayInfo infos[5] = {
        kInfos[0], kInfos[1], kInfos[2],
        {PARRAY::kTypeUINT8, 2, 0, 0, ""},
        {PARRAY::kTypeDOUBLE, sizeWord(3, 0, 0), 0, 0, ""},
    };
    using Write = std::function<uint32_t(ArrayAccessorForServer&)>;
    struct Case { const char* name; uint32_t id; Write write; uint32_t result; uint32_t byteOffset; std::vector<uint8_t> bytes; };
    const float half = 0.5f;
    std::vector<uint8_t> halfBytes(4);
    std::memcpy(halfBytes.data(), &half, 4);
    const double quarter = 0.25;
    std::vector<uint8_t> quarterBytes(8);
    std::memcpy(quarterBytes.data(), &quarter, 8);
    const Case cases[] = {
        {"uint32 at x 3", 0, [](auto& a) { return a.template setParam<uint32_t>(0, 3, 0, 0, 0x04030201u); }, 0, 12, {1, 2, 3, 4}},
        {"x 9 lands on element 0", 0, [](auto& a) { return a.template setParam<int32_t>(0, 9, 0, 0, -1); }, 0, 0, {0xFF, 0xFF, 0xFF, 0xFF}},
        {"float into uint32 keeps its bits", 0, [](auto& a) { return a.template setParam<float>(0, 1, 0, 0, 0.5f); }, 0, 4, halfBytes},
        {"double into uint32 within the bytes", 0, [](auto& a) { return a.template setParam<double>(0, 1, 0, 0, 0.25); }, 0, 8, quarterBytes},
        {"double into uint32 past the bytes", 0, [](auto& a) { return a.template setParam<double>(0, 2, 0, 0, 0.25); }, 0x80000000u, 0, {}},
        {"float at (2, 1)", 1, [](auto& a) { return a.template setParam<float>(1, 2, 1, 0, 0.5f); }, 0, 20, halfBytes},
        {"uint32 into the last uint8 bytes", 2, [](auto& a) { return a.template setParam<uint32_t>(2, 1, 1, 2, 1u); }, 0x80000000u, 0, {}},
        {"uint32 over a 2-byte array", 3, [](auto& a) { return a.template setParam<uint32_t>(3, 0, 0, 0, 1u); }, 0x80000000u, 0, {}},
        {"array without elements", 4, [](auto& a) { return a.template setParam<double>(4, 0, 0, 0, 1.0); }, 0x80000000u, 0, {}},
        {"ID N", 5, [](auto& a) { return a.template setParam<uint32_t>(5, 0, 0, 0, 1u); }, 0x80000000u, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ArrayAccessorForServer accessor;
        ASSERT_EQ(0u, accessor.initialize(infos, 5, 3, 2));
        EXPECT_EQ(c.result, c.write(accessor));
        EXPECT_EQ(c.result == 0, accessor.hasDirty());
        void* data = nullptr;
        uint32_t size = 0;
        if (c.id >= 5 || accessor.getArrayPointer(data, size, c.id) != 0 || !data) continue;
        std::vector<uint8_t> expected(size, 0);
        std::copy(c.bytes.begin(), c.bytes.end(), expected.begin() + c.byteOffset);
        EXPECT_EQ(0, std::memcmp(expected.data(), data, size));
    }
}

TEST(ArrayAccessorForServerTest, ReadsGiveTheElementOrZeroWhereAWriteWouldBeRefused)
{
    const PARRAY::ArrayInfo infos[2] = {kInfos[2], {PARRAY::kTypeSINT32, sizeWord(1, 0, 0), 0, 0, ""}};
    ArrayAccessorForServer accessor;
    ASSERT_EQ(0u, accessor.initialize(infos, 2, 3, 2));
    void* data = nullptr;
    uint32_t size = 0;
    ASSERT_EQ(0u, accessor.getArrayPointer(data, size, 0));
    ASSERT_EQ(12u, size);
    for (uint32_t i = 0; i < size; ++i) static_cast<uint8_t*>(data)[i] = static_cast<uint8_t>(0xA0 + i);
    EXPECT_FALSE(accessor.hasDirty());  // writes through the pointer are not tracked

    EXPECT_EQ(0xA0 + 11, accessor.getParam<uint8_t>(0, 1, 1, 2));
    EXPECT_EQ(0xA0 + 3, accessor.getParam<uint8_t>(0, 0, 1, 0));
    EXPECT_EQ(0xA0, accessor.getParam<uint8_t>(0, 2, 0, 0));  // out of range: position 0
    EXPECT_EQ(0xA3A2A1A0u, accessor.getParam<uint32_t>(0, 0, 0, 0));
    EXPECT_EQ(0u, accessor.getParam<uint32_t>(0, 1, 1, 0));   // position 4 as uint32 runs past byte 12
    EXPECT_EQ(0.0, accessor.getParam<double>(0, 0, 0, 1));   // position 1 as double runs past
    EXPECT_EQ(0, accessor.getParam<int32_t>(1, 0, 0, 0));     // no element memory
    EXPECT_EQ(0.0f, accessor.getParam<float>(2, 0, 0, 0));    // ID N
    EXPECT_EQ(&ArrayAccessorForServer::gDummy<float>, &accessor.getParam<float>(2, 0, 0, 0));

    data = kPoison;
    size = 77;
    EXPECT_EQ(0x80000000u, accessor.getArrayPointer(data, size, 2));
    EXPECT_EQ(nullptr, data);
    EXPECT_EQ(0u, size);
    ASSERT_EQ(0u, accessor.getArrayPointer(data, size, 1));  // an array without elements is an empty range
    EXPECT_EQ(nullptr, data);
    EXPECT_EQ(0u, size);
}

TEST(ArrayAccessorForServerTest, CopiesHoldTablesOfTheirOwn)
{
    ArrayAccessorForServer original;
    ASSERT_EQ(0u, original.initialize(kInfos, 3, 3, 2));
    ASSERT_EQ(0u, original.setParam<float>(1, 2, 1, 0, 1.25f));

    ArrayAccessorForServer copy(original);
    ASSERT_EQ(3u, copy.arrayIDNum());
    EXPECT_EQ(kInfos, copy.arrayInfoTable());
    EXPECT_EQ(1.25f, copy.getParam<float>(1, 2, 1, 0));
    EXPECT_NE(&original.getParam<float>(1, 2, 1, 0), &copy.getParam<float>(1, 2, 1, 0));
    uint32_t id = 0;
    EXPECT_EQ(0u, copy.checkNextDirty(id));
    EXPECT_EQ(1u, id);
    EXPECT_TRUE(original.hasDirty());  // flags are per accessor

    ArrayAccessorForServer assigned;
    ASSERT_EQ(0u, assigned.initialize(kInfos, 1, 1, 1));
    assigned = original;  // its own table is released first
    EXPECT_EQ(3u, assigned.arrayIDNum());
    assigned = static_cast<const ArrayAccessorForServer&>(assigned);
    EXPECT_EQ(1.25f, assigned.getParam<float>(1, 2, 1, 0));
    assigned = ArrayAccessorForServer();  // the reset of an empty accessor
    EXPECT_EQ(0u, assigned.arrayIDNum());
    EXPECT_EQ(nullptr, assigned.arrayInfoTable());
    // Each accessor's destructor releases only its own table; the sanitizer build checks.
}
