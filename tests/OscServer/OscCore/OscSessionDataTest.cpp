#include "OscServer/OscCore/OscSessionData.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "OscServer/OscCore/OscSystem.h"
#include "OscServer/OscCore/OscTimer.h"
#include "OscServer/OscCore/internal/OscSessionCounter.h"
#include "OscTestSupport.h"

using JOSC::OscSessionData;
using OscTest::waitFor;

namespace {

struct MeterStatus {
    uint32_t index;
    uint32_t interval;
    bool due;
    bool operator==(const MeterStatus& o) const { return index == o.index && interval == o.interval && due == o.due; }
};

void PrintTo(const MeterStatus& s, std::ostream* os) { *os << "{" << s.index << "," << s.interval << "," << s.due << "}"; }

// One whole meter pass as the server makes it.
std::vector<MeterStatus> walk(OscSessionData& session)
{
    std::vector<MeterStatus> out;
    session.resetMeterStatusIterator();
    MeterStatus s{};
    while (JLIB::isSuccess(session.popMeterStatus(s.index, s.interval, s.due))) out.push_back(s);
    return out;
}

std::vector<uint32_t> indices(const std::vector<MeterStatus>& statuses)
{
    std::vector<uint32_t> out;
    for (const MeterStatus& s : statuses) out.push_back(s.index);
    return out;
}

bool dueIn(OscSessionData& session, uint32_t index)
{
    for (const MeterStatus& s : walk(session)) {
        if (s.index == index) return s.due;
    }
    return false;
}

}  // namespace

TEST(OscSessionDataTest, ValuesAfterConstructionDifferFromThoseAfterStop)
{
    OscSessionData constructed;
    OscSessionData initialized;
    ASSERT_EQ(0u, initialized.initialize(4));
    OscSessionData stopped;
    ASSERT_EQ(0u, stopped.initialize(4));
    stopped.start();
    ASSERT_EQ(0u, stopped.setEncoding(JOSC::kOscEncoding1));
    ASSERT_EQ(0u, stopped.setValueType(JOSC::kOscValueTypeNormalized));
    ASSERT_EQ(0u, stopped.setSnapshotType(JOSC::kOscSnapshotTypeText));
    ASSERT_EQ(0u, stopped.setResolution(500));
    stopped.setKeepAliveInterval(60000);
    stopped.setTxPort(9001);
    stopped.setMaxMessageNum(5);
    ASSERT_EQ(0u, stopped.subscribeAddress({4, 2}));
    ASSERT_EQ(0u, stopped.startKeepAlive());
    stopped.setSessionNo(77);
    ASSERT_EQ(0u, stopped.setSessionTimerReset());
    ASSERT_EQ(0u, stopped.setMeterStart(1, 50));
    ASSERT_EQ(0u, stopped.stop());

    struct Row {
        const char* field;
        std::function<uint64_t(OscSessionData&)> read;
        uint64_t afterConstruction;
        uint64_t afterStop;
    };
    const Row rows[] = {
        {"enabled", [](OscSessionData& s) { return s.isEnabled(); }, 0, 0},
        {"oscFormat", [](OscSessionData& s) { return s.getOscFormat(); }, 2, 2},
        {"encoding", [](OscSessionData& s) { return s.getEncoding(); }, 0, 0},
        {"valueType", [](OscSessionData& s) { return s.getValueType(); }, 0, 0},
        {"snapshotType", [](OscSessionData& s) { return s.getSnapshotType(); }, 0, 0},
        {"resolution", [](OscSessionData& s) { return s.getResolution(); }, 0, 1000},
        {"keepAliveInterval", [](OscSessionData& s) { return s.getKeepAliveInterval(); }, 0, 0},
        {"txPort", [](OscSessionData& s) { return s.getTxPort(); }, 0, 0},
        {"maxMessageNum", [](OscSessionData& s) { return s.getMaxMessageNum(); }, 0xFFFFFFFF, 0xFFFFFFFF},
        {"subscribeList size", [](OscSessionData& s) { return s.getSubscribeList().size(); }, 0, 0},
        {"keepAliveActive", [](OscSessionData& s) { return s.isKeepAliveActive(); }, 0, 0},
        {"keep-alive timed out (interval 0)", [](OscSessionData& s) { return s.isKeepAliveTimeout(); }, 1, 1},
        {"sessionNo", [](OscSessionData& s) { return s.getSessionNo(); }, 0, 0},
        {"session timer run out", [](OscSessionData& s) { return s.isSessionTimeout(); }, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.field);
        EXPECT_EQ(row.afterConstruction, row.read(constructed));
        EXPECT_EQ(row.afterStop, row.read(initialized)) << "initialize stops the session once";
        EXPECT_EQ(row.afterStop, row.read(stopped));
    }
    EXPECT_FALSE(constructed.isMeterEnable());
    EXPECT_TRUE(stopped.isMeterEnable()) << "stop leaves the meter list as it is";
    EXPECT_EQ((std::vector<uint32_t>{1}), indices(walk(stopped)));
}

TEST(OscSessionDataTest, InitializeRefusesZeroAndASecondCallAndKeepsTheSession)
{
    OscSessionData session;
    EXPECT_EQ(0x80000000u, session.initialize(0));
    EXPECT_EQ(0u, session.getResolution()) << "a failed set-up keeps the constructor values";
    EXPECT_EQ(0x80000005u, session.setMeterStart(0, 0)) << "no meter storage: every meter is unknown";

    ASSERT_EQ(0u, session.initialize(2));
    ASSERT_EQ(0u, session.setResolution(300));
    EXPECT_EQ(0x80000000u, session.initialize(5));
    EXPECT_EQ(300u, session.getResolution()) << "a refused second set-up does not stop the session";
    EXPECT_EQ(0x80000005u, session.setMeterStart(2, 0)) << "capacity stays 2";
}

TEST(OscSessionDataTest, OptionSettersRefuseValuesOutsideTheirSets)
{
    struct Case {
        const char* name;
        std::function<JLIB::JResult(OscSessionData&, uint32_t)> set;
        std::function<uint32_t(const OscSessionData&)> get;
        uint32_t before;  // a valid value set first, to show that a refusal changes nothing
        uint32_t value;
        JLIB::JResult result;
        uint32_t after;
    };
    const auto encoding = [](OscSessionData& s, uint32_t v) { return s.setEncoding(JOSC::OscEncoding(v)); };
    const auto valueType = [](OscSessionData& s, uint32_t v) { return s.setValueType(JOSC::OscValueType(v)); };
    const auto snapshotType = [](OscSessionData& s, uint32_t v) {
        return s.setSnapshotType(JOSC::OscSnapshotType(v));
    };
    const auto resolution = [](OscSessionData& s, uint32_t v) { return s.setResolution(v); };
    const auto format = [](OscSessionData& s, uint32_t v) { return s.changeOscFormat(JOSC::OscFormat(v)); };
    const auto getEncoding = [](const OscSessionData& s) -> uint32_t { return s.getEncoding(); };
    const auto getValueType = [](const OscSessionData& s) -> uint32_t { return s.getValueType(); };
    const auto getSnapshotType = [](const OscSessionData& s) -> uint32_t { return s.getSnapshotType(); };
    const auto getResolution = [](const OscSessionData& s) -> uint32_t { return s.getResolution(); };
    const auto getFormat = [](const OscSessionData& s) -> uint32_t { return s.getOscFormat(); };
    const Case cases[] = {
        {"encoding 0", encoding, getEncoding, 1, 0, 0, 0},
        {"encoding 2", encoding, getEncoding, 1, 2, 0x80000004, 1},
        {"valueType normalized", valueType, getValueType, 0, 1, 0, 1},
        {"valueType 2", valueType, getValueType, 1, 2, 0x80000004, 1},
        {"valueType max", valueType, getValueType, 0, 0xFFFFFFFF, 0x80000004, 0},
        {"snapshotType text", snapshotType, getSnapshotType, 0, 1, 0, 1},
        {"snapshotType 2", snapshotType, getSnapshotType, 1, 2, 0x80000004, 1},
        {"resolution 99", resolution, getResolution, 1000, 99, 0x80000004, 1000},
        {"resolution 0", resolution, getResolution, 1000, 0, 0x80000004, 1000},
        {"resolution 100", resolution, getResolution, 1000, 100, 0, 100},
        {"resolution max", resolution, getResolution, 1000, 0xFFFFFFFF, 0, 0xFFFFFFFF},
        {"format 2", format, getFormat, 2, 2, 0x80000002, 2},
        {"format 1", format, getFormat, 2, 1, 0x80000002, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OscSessionData session;
        ASSERT_EQ(0u, session.initialize(1));
        if (c.get(session) != c.before) {
            ASSERT_EQ(0u, c.set(session, c.before));
        }
        EXPECT_EQ(c.result, c.set(session, c.value));
        EXPECT_EQ(c.after, c.get(session));
    }
}

TEST(OscSessionDataTest, KeepAliveWithIntervalZeroIsOnButAlreadyTimedOut)
{
    OscSessionData session;
    ASSERT_EQ(0u, session.initialize(1));
    EXPECT_EQ(0u, session.startKeepAlive());
    EXPECT_TRUE(session.isKeepAliveActive());
    EXPECT_EQ(0x80000000u, session.setKeepAliveTimerReset());
    EXPECT_TRUE(session.isKeepAliveTimeout());

    session.setKeepAliveInterval(60000);
    EXPECT_FALSE(session.isKeepAliveTimeout()) << "an interval whose timer never ran has not run out";
    EXPECT_EQ(0u, session.setKeepAliveTimerReset());
    EXPECT_FALSE(session.isKeepAliveTimeout());
}

TEST(OscSessionDataTest, KeepAliveRunsOutAfterItsIntervalAndARestartRenewsIt)
{
    OscSessionData session;
    ASSERT_EQ(0u, session.initialize(1));
    session.setKeepAliveInterval(40);
    ASSERT_EQ(0u, session.startKeepAlive());
    EXPECT_TRUE(session.isKeepAliveActive());
    ASSERT_TRUE(waitFor([&] { return session.isKeepAliveTimeout(); }, std::chrono::seconds(2)));

    session.setKeepAliveInterval(60000);
    ASSERT_EQ(0u, session.setKeepAliveTimerReset());
    EXPECT_FALSE(session.isKeepAliveTimeout());

    session.stopKeepAlive();
    EXPECT_FALSE(session.isKeepAliveActive());
    EXPECT_EQ(0u, session.getKeepAliveInterval());
    EXPECT_TRUE(session.isKeepAliveTimeout());
}

TEST(OscSessionDataTest, SessionTimerRunsTenSeconds)
{
    OscSessionData session;
    EXPECT_FALSE(session.isSessionTimeout());
    ASSERT_EQ(0u, session.setSessionTimerReset());
    EXPECT_FALSE(session.isSessionTimeout());
}

TEST(OscSessionDataTest, FirstSessionNumberAfterProgramStartIsOne)
{
    // The counter is process-wide; ctest runs every test in a fresh process.
    if (JOSC::internal::currentSessionNo() != 0) GTEST_SKIP() << "another test of this process drew a number";
    EXPECT_EQ(1u, OscSessionData::makeSessionNo());
    EXPECT_EQ(2u, OscSessionData::makeSessionNo());
}

TEST(OscSessionDataTest, SessionNumbersAreSharedAndWrapToOne)
{
    OscSessionData a;
    OscSessionData b;
    JOSC::internal::setSessionCounter(0x7FFFFFFD);
    EXPECT_EQ(0x7FFFFFFEu, a.makeSessionNo());
    EXPECT_EQ(0x7FFFFFFFu, b.makeSessionNo()) << "one counter for all sessions";
    EXPECT_EQ(1u, a.makeSessionNo());
    EXPECT_EQ(2u, b.makeSessionNo());
    EXPECT_EQ(0u, a.getSessionNo()) << "drawing a number does not store it";
    a.setSessionNo(2);
    EXPECT_EQ(2u, a.getSessionNo());
}

TEST(OscSessionDataTest, SubscriptionsStayAscendingAndUnique)
{
    struct Step {
        bool subscribe;
        JOSC::OscIndexList given;
        JLIB::JResult result;
        JOSC::OscIndexList after;
    };
    const Step steps[] = {
        {true, {5, 3, 5}, 0, {3, 5}},
        {false, {5, 7}, 0, {3}},
        {true, {}, 0x80000004, {3}},
        {false, {}, 0x80000004, {3}},
        {true, {9, 1, 3, 1}, 0, {1, 3, 9}},
        {false, {3}, 0, {1, 9}},
        {false, {9, 1}, 0, {}},
        {false, {4}, 0, {}},
        {true, {0xFFFFFFFF, 0}, 0, {0, 0xFFFFFFFF}},
    };
    OscSessionData session;
    ASSERT_EQ(0u, session.initialize(1));
    int n = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(n++);
        EXPECT_EQ(s.result, s.subscribe ? session.subscribeAddress(s.given) : session.unsubscribeAddress(s.given));
        EXPECT_EQ(s.after, session.getSubscribeList());
    }
}

TEST(OscSessionDataTest, MeterIndexAtOrAboveTheCapacityIsUnknown)
{
    OscSessionData session;
    ASSERT_EQ(0u, session.initialize(3));
    EXPECT_EQ(0x80000005u, session.setMeterStart(3, 0));
    EXPECT_EQ(0x80000005u, session.setMeterStart(0xFFFFFFFF, 0));
    EXPECT_EQ(0x80000005u, session.setMeterStop(3));
    EXPECT_EQ(0u, session.setMeterStop(2)) << "stopping a meter that does not run is fine";
    EXPECT_FALSE(session.isMeterEnable());
}

TEST(OscSessionDataTest, MetersKeepOneSettingPerIndexInStartOrder)
{
    OscSessionData session;
    ASSERT_EQ(0u, session.initialize(3));
    ASSERT_EQ(0u, session.setMeterStart(0, 100000));
    ASSERT_EQ(0u, session.setMeterStart(1, 100000));
    ASSERT_EQ(0u, session.setMeterStart(2, 100000));
    ASSERT_EQ(0u, session.setMeterStart(0, 200000));
    EXPECT_EQ((std::vector<MeterStatus>{{0, 200000, false}, {1, 100000, false}, {2, 100000, false}}), walk(session));

    ASSERT_EQ(0u, session.setMeterStop(1));
    ASSERT_EQ(0u, session.setMeterStart(1, 5));
    EXPECT_EQ((std::vector<uint32_t>{0, 2, 1}), indices(walk(session))) << "a restarted meter goes last";

    for (uint32_t i : {0u, 1u, 2u}) ASSERT_EQ(0u, session.setMeterStop(i));
    EXPECT_FALSE(session.isMeterEnable());
    EXPECT_TRUE(walk(session).empty());
}

TEST(OscSessionDataTest, MeterWalkReportsDueMetersAndRestartsTheirIntervals)
{
    OscSessionData session;
    ASSERT_EQ(0u, session.initialize(2));
    ASSERT_EQ(0u, session.setMeterStart(0, 0));
    ASSERT_EQ(0u, session.setMeterStart(1, 80));
    EXPECT_EQ((std::vector<MeterStatus>{{0, 0, true}, {1, 80, false}}), walk(session))
        << "interval 0 is due at every pass; 80 ms only after 80 ms";
    ASSERT_TRUE(waitFor([&] { return dueIn(session, 1); }, std::chrono::seconds(2)));
    EXPECT_EQ((std::vector<MeterStatus>{{0, 0, true}, {1, 80, false}}), walk(session));

    uint32_t index = 7;
    uint32_t interval = 7;
    bool due = true;
    EXPECT_EQ(0x80000000u, session.popMeterStatus(index, interval, due)) << "the walk is finished";
    EXPECT_EQ(0u, index);
    EXPECT_EQ(0u, interval);
    EXPECT_FALSE(due);
}

TEST(OscSessionDataTest, RenewalRestartsOnlyTheTimeOutNotARunningInterval)
{
    OscSessionData session;
    ASSERT_EQ(0u, session.initialize(1));
    ASSERT_EQ(0u, session.setMeterStart(0, 80));
    ASSERT_EQ(0u, session.setMeterStart(0, 0));
    EXPECT_EQ((std::vector<MeterStatus>{{0, 0, false}}), walk(session)) << "the running 80 ms interval is kept";
    ASSERT_TRUE(waitFor([&] { return dueIn(session, 0); }, std::chrono::seconds(2)));
    EXPECT_EQ((std::vector<MeterStatus>{{0, 0, true}}), walk(session)) << "then the new interval 0 applies";
}

TEST(OscSessionDataTest, StoppingTheMeterTheWalkStandsOnMovesTheWalkOn)
{
    OscSessionData session;
    ASSERT_EQ(0u, session.initialize(3));
    for (uint32_t i : {0u, 1u, 2u}) ASSERT_EQ(0u, session.setMeterStart(i, 100000));
    session.resetMeterStatusIterator();
    MeterStatus s{};
    ASSERT_EQ(0u, session.popMeterStatus(s.index, s.interval, s.due));
    EXPECT_EQ(0u, s.index);

    ASSERT_EQ(0u, session.setMeterStop(1));  // the walk stands on meter 1
    ASSERT_EQ(0u, session.setMeterStart(1, 100000));  // its slot is taken again, placed last
    std::vector<uint32_t> rest;
    while (JLIB::isSuccess(session.popMeterStatus(s.index, s.interval, s.due))) rest.push_back(s.index);
    EXPECT_EQ((std::vector<uint32_t>{2, 1}), rest);
}

// Waits the whole 10000 ms time-out of a meter setting.
TEST(OscSessionDataTest, TimedOutSettingIsRemovedAndTheNextReportedUnchecked)
{
    OscSessionData session;
    ASSERT_EQ(0u, session.initialize(3));
    ASSERT_EQ(0u, session.setMeterStart(0, 100000));
    ASSERT_EQ(0u, session.setMeterStart(1, 100000));
    ASSERT_EQ(0u, session.setMeterStart(2, 100000));
    // The probe starts after the three settings, so once it has run out, so have they.
    JOSC::OscTimer probe;
    ASSERT_EQ(0u, probe.start(JOSC::OscMeterSetting::kTimeoutMs));
    JOSC::OscTimer margin;
    ASSERT_EQ(0u, margin.start(1000));
    ASSERT_TRUE(waitFor([&] { return margin.isExpired(); }, std::chrono::seconds(5)));
    ASSERT_EQ(0u, session.setMeterStart(2, 100000));  // renewed: it outlives the probe by 1000 ms

    ASSERT_TRUE(waitFor([&] { return probe.isExpired(); }, std::chrono::seconds(15)));
    EXPECT_EQ((std::vector<uint32_t>{1, 2}), indices(walk(session)))
        << "meter 0 is removed; meter 1, timed out as well, is reported in its place";
    EXPECT_EQ((std::vector<uint32_t>{2}), indices(walk(session))) << "the next walk removes meter 1";
    EXPECT_TRUE(session.isMeterEnable());
}
