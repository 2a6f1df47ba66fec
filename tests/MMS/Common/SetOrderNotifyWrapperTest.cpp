#include "MMS/Common/mms_SetOrderNotifyWrapper.h"

#include <gtest/gtest.h>

#include <vector>

#include "MmsTestHeap.h"
#include "comctrl/OrderedNotify/ISetOrderedNotify.h"

namespace {

using MMS::SetOrderNotifyWrapper;

class RecordingWriter : public OrderedNotify::ISetOrderedNotify {
public:
    void release() override { ++releases; }
    uint32_t notify(uint32_t index) override
    {
        serials.push_back(index);
        return answer;
    }
    int releases = 0;
    uint32_t answer = 0;
    std::vector<uint32_t> serials;
};

TEST(SetOrderNotifyWrapperTest, KeepsTheFirstWriterAndForwardsSerials)
{
    RecordingWriter first;
    RecordingWriter second;
    {
        SetOrderNotifyWrapper wrapper;
        EXPECT_EQ(0u, wrapper.set(3));  // nothing attached yet
        EXPECT_EQ(0x80000000u, wrapper.attach(nullptr));
        EXPECT_EQ(0u, wrapper.attach(static_cast<OrderedNotify::ISetOrderedNotify*>(&first)));
        EXPECT_EQ(0x80000000u, wrapper.attach(static_cast<OrderedNotify::ISetOrderedNotify*>(&second)));

        EXPECT_EQ(0u, wrapper.set(7));
        first.answer = 0x80000001u;
        EXPECT_EQ(0x80000001u, wrapper.set(9));  // the writer's answer is passed on
        EXPECT_EQ((std::vector<uint32_t>{7, 9}), first.serials);
        EXPECT_TRUE(second.serials.empty());
        EXPECT_EQ(0, first.releases);
    }
    EXPECT_EQ(1, first.releases);
    EXPECT_EQ(0, second.releases);
}

TEST(SetOrderNotifyWrapperTest, ReleasesNothingWithoutWriterAndIsMadeOnHeapOne)
{
    MmsTest::TestHeapManager& heap = MmsTest::heap1();
    const int live = heap.live;
    SetOrderNotifyWrapper* wrapper = new SetOrderNotifyWrapper;
    ASSERT_NE(nullptr, wrapper);
    EXPECT_EQ("MMS Wrap", heap.lastTag);
    delete wrapper;
    EXPECT_EQ(live, heap.live);

    heap.refuse = true;
    EXPECT_EQ(nullptr, new SetOrderNotifyWrapper[2]);
}

}  // namespace
