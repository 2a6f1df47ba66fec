#include "editor/VDMeterContainer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

using VDevice::MeterInfo;
using VDevice::VDMeterContainer;

namespace {

// A registry of the test's own, apart from the process-wide one.
struct Registry : VDMeterContainer {};

TEST(VDMeterContainerTest, CountsRegistrationsPerKeyAndRefusesEmptyParts)
{
    Registry meters;
    const MeterInfo info{"m1", "AudioCompo/#12"};
    EXPECT_TRUE(meters.regist(info));
    EXPECT_TRUE(meters.regist(info));
    EXPECT_TRUE(meters.unregist(info));
    EXPECT_EQ(std::vector<std::string>{"AudioCompo/#12"}, meters.componentAddrList());
    EXPECT_TRUE(meters.unregist(info));
    EXPECT_TRUE(meters.componentAddrList().empty());
    EXPECT_FALSE(meters.unregist(info));

    for (const MeterInfo& empty : {MeterInfo{"", "AudioCompo/#1"}, MeterInfo{"m1", ""}}) {
        EXPECT_FALSE(meters.regist(empty));
        EXPECT_FALSE(meters.unregist(empty));
    }
    EXPECT_TRUE(meters.componentAddrList().empty());

    EXPECT_TRUE(meters.regist({"m1", "AudioCompo/#1"}));
    EXPECT_TRUE(meters.regist({"m2", "AudioCompo/#2"}));
    EXPECT_TRUE(meters.clear());
    EXPECT_TRUE(meters.componentAddrList().empty());
    EXPECT_TRUE(meters.componentIDList().empty());
}

TEST(VDMeterContainerTest, IntervalRefusesLessThanSixtyMilliseconds)
{
    Registry meters;
    EXPECT_EQ(60, meters.getIntervalTime());
    struct Case {
        int32_t given;
        bool taken;
        int32_t after;
    };
    const Case cases[] = {{59, false, 60}, {1000, true, 1000}, {0, false, 1000}, {-100, false, 1000}, {60, true, 60}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given);
        EXPECT_EQ(c.taken, meters.setIntervalTime(c.given));
        EXPECT_EQ(c.after, meters.getIntervalTime());
    }
}

TEST(VDMeterContainerTest, ListsTakeTheTextAfterTheFirstSlashOnceInKeyOrder)
{
    Registry meters;
    const MeterInfo infos[] = {
        {"m2", "AudioCompo/#12"},
        {"m1", "AudioCompo/#12"},      // the same component under another id: listed once
        {"m1", "AudioCompo/#3"},
        {"b", "AudioCompo/#0x10"},     // a numeric literal
        {"a", "AudioCompo/12"},        // no "#": an address, but no id
        {"c", "AudioCompo/#5/Gain"},   // a path after the id: no id
        {"x/y", "AudioCompo/#7"},      // a slash in the id moves the split
        {"B", "Other/#3"},             // upper case sorts first; id 3 is listed once
    };
    for (const MeterInfo& info : infos) ASSERT_TRUE(meters.regist(info));
    EXPECT_EQ((std::vector<std::string>{"Other/#3", "AudioCompo/12", "AudioCompo/#0x10", "AudioCompo/#5/Gain",
                                        "AudioCompo/#12", "AudioCompo/#3", "y/AudioCompo/#7"}),
              meters.componentAddrList());
    EXPECT_EQ((std::vector<uint32_t>{3, 16, 12}), meters.componentIDList());
}

TEST(VDMeterContainerTest, ChangesOnOneThreadAndReadsOnAnotherDoNotRace)
{
    Registry meters;
    std::atomic<bool> done{false};
    std::thread reader([&] {
        while (!done.load()) {
            for (const uint32_t id : meters.componentIDList()) EXPECT_LT(id, 8u);
            (void)meters.getIntervalTime();
        }
    });
    for (int round = 0; round < 2000; ++round) {
        const MeterInfo info{"m", "AudioCompo/#" + std::to_string(round % 8)};
        EXPECT_TRUE(meters.regist(info));
        EXPECT_TRUE(meters.setIntervalTime(60 + round % 5));
        if (round % 3 == 0) EXPECT_TRUE(meters.unregist(info));
        if (round % 500 == 0) EXPECT_TRUE(meters.clear());
    }
    done = true;
    reader.join();
}

}  // namespace
