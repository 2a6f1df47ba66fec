// The protocol device-control thread "DeviceControlForUZ" under a small root, over the stand-in
// rack library.
#include "common/Lpc/LpcUzProtoDeviceControlThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "common/Lpc/LpcPDB.h"
#include "main/app/common/Lpc/LpcRackThreadsFixture.h"

using namespace std::chrono_literals;
using LpcTest::kVolatile;

namespace {

constexpr const char* kName = "/System/Name";
constexpr const char* kOBANum = "/System/OBANum";
const std::string kRestoreLine = "[UZ] restorePluginFromMemory\n";

class LpcUzProtoDeviceControlThreadTest : public LpcTest::RackThreadsFixture {
protected:
    static std::string name()
    {
        JVariant value;
        EXPECT_EQ(0u, db().getVariant(value, kVolatile, ai(kVolatile, kName), 0, 0, nullptr) & 0x80000000u);
        return value.toString() ? value.toString() : "";
    }
    static uint32_t obaNum() { return db().getUInt32(kVolatile, ai(kVolatile, kOBANum), 0, 0, nullptr); }
};

}  // namespace

TEST_F(LpcUzProtoDeviceControlThreadTest, StartWritesTheObjectCountBeforeTheOscServerIsStarted)
{
    struct Case {
        const char* settings;
        uint32_t count;
    };
    const Case cases[] = {{"", 128}, {"OBANum=64\n", 64}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settings);
        std::atomic<uint32_t> atServerStart{0};
        startRoot(nullptr, c.settings, [&] {
            put(kVolatile, kOBANum, 0, 0, JVariant(7u));
            m_oscServer->onMessage = [&](const TMS::AbstractMessage&) { atServerStart = obaNum(); };
        });
        ASSERT_TRUE(TmsTest::waitFor([&] { return m_oscServer->messageCount() == 1; }, 10s));
        EXPECT_EQ(std::vector<std::string>{"CommandName=ServerStart"}, m_oscServer->messages());
        EXPECT_EQ(c.count, atServerStart.load());
        EXPECT_EQ(c.count, obaNum());
        stopRoot();
    }
}

TEST_F(LpcUzProtoDeviceControlThreadTest, ConnectionWritesTheTitleAndSendsTheMemoryUnlessTheRackIsTheSource)
{
    struct Case {
        const char* settings;
        const char* title;
        uint32_t count;
        bool sends;
    };
    const Case cases[] = {
        {"", "Hall i64X", 64, true},
        {"SyncFromPlugin=1\n", "Dome i32X", 32, false},
        {"SyncFromPlugin=on\n", "Club", 128, false},  // a title without a count gives 128
        {"SyncFromPlugin=yes\n", "Stage i16X", 16, true},
        {"OBANum=64\nSyncFromPlugin=0\n", "Arena", 128, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.settings) + c.title);
        startRoot(LpcTest::kStandInRack, c.settings, [&] {
            put(kVolatile, kOBANum, 0, 0, JVariant(7u));
            m_rack.setRackTitle(c.title);
        });
        ASSERT_TRUE(waitForPrint("[UZ][MUR Remote] connected\n", 1));
        ASSERT_TRUE(TmsTest::waitFor([&] { return m_deviceControlForUZ->connectStateChanges.load() == 1; }, 10s));
        EXPECT_EQ(c.title, name());
        EXPECT_EQ(c.count, obaNum());
        EXPECT_EQ(c.sends ? 1u : 0u, printed().count(kRestoreLine));
        EXPECT_EQ(c.sends ? wholeMemoryRecords() : 0u, loggedRecords());
        stopRoot();
    }
}

TEST_F(LpcUzProtoDeviceControlThreadTest, ConfigurationChangeResynchronisesOnlyWhileConnected)
{
    startConnected();
    ASSERT_TRUE(waitForPrint(kRestoreLine, 1));
    testing::internal::CaptureStdout();
    ASSERT_EQ(0u, m_deviceControlForUZ->sendEvent(9));
    const bool served = TmsTest::waitFor([&] { return m_deviceControlForUZ->configChanges.load() == 1; }, 10s);
    const std::string out = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(served);
    EXPECT_NE(std::string::npos, out.find("LpcUzProtoDeviceControlThread::onChangePDBConfig()\n"));
    EXPECT_EQ(2u, printed().count(kRestoreLine));
    EXPECT_EQ(2u * wholeMemoryRecords(), loggedRecords());
    EXPECT_EQ(2u, m_rack.lines("getRackTitle").size());

    // Lost and not back: neither event changes anything.
    m_rack.setConnectResult(false);
    m_rack.fireConnectError();
    ASSERT_TRUE(TmsTest::waitFor([&] { return m_deviceControlForUZ->connectStateChanges.load() == 2; }, 10s));
    ASSERT_EQ(0u, m_deviceControlForUZ->sendEvent(9));
    ASSERT_TRUE(TmsTest::waitFor([&] { return m_deviceControlForUZ->configChanges.load() == 2; }, 10s));
    EXPECT_EQ(2u, printed().count(kRestoreLine));
    EXPECT_EQ(2u, m_rack.lines("getRackTitle").size());
}
