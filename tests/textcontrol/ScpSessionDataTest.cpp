#include "textcontrol/ScpSessionData.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "ScpTestSupport.h"
#include "textcontrol/ScpDecoderJSON.h"
#include "textcontrol/ScpDecoderRAW.h"

using ScpTest::waitFor;

namespace {

// (address, due) of every subscription of one meter pass.
std::vector<std::pair<uint32_t, bool>> meterPass(SCP::ScpSessionData& session)
{
    std::vector<std::pair<uint32_t, bool>> out;
    EXPECT_EQ(0u, session.resetMeterStatusIterator());
    uint32_t address = 0, interval = 0;
    bool due = false;
    while (session.popMeterStatus(address, interval, due) == 0) out.emplace_back(address, due);
    EXPECT_EQ(0u, address);
    EXPECT_FALSE(due);
    return out;
}

void expectDefaults(SCP::ScpSessionData& session)
{
    EXPECT_FALSE(session.isEnabled());
    EXPECT_EQ(SCP::kScpFormatRaw, session.getScpFormat());
    ASSERT_NE(nullptr, session.decoderPtr());
    EXPECT_NE(nullptr, dynamic_cast<SCP::ScpDecoderRAW*>(session.decoderPtr()));
    EXPECT_EQ(0u, session.decoderPtr()->getDataTable().size());
    EXPECT_EQ(SCP::kScpEncodingAscii, session.getEncoding());
    EXPECT_EQ(SCP::kScpValueTypeRaw, session.getValueType());
    EXPECT_EQ(1000u, session.getResolution());
    EXPECT_EQ(0u, session.getKeepAliveInterval());
    EXPECT_FALSE(session.isKeepAliveTimeout());
}

}  // namespace

TEST(ScpSessionDataTest, ConstructedThenInitialisedToItsDefaults)
{
    SCP::ScpSessionData session;
    EXPECT_EQ(SCP::kScpFormatNone, session.getScpFormat());
    EXPECT_EQ(nullptr, session.decoderPtr());
    EXPECT_EQ(0u, session.getResolution());
    EXPECT_EQ(0x80000000u, session.start()) << "no decoder yet";
    ASSERT_EQ(0u, session.initialize(4));
    expectDefaults(session);
    EXPECT_EQ(0x80000000u, session.initialize(4)) << "a second initialisation";
    EXPECT_EQ(0u, session.start());
    EXPECT_TRUE(session.isEnabled());
}

TEST(ScpSessionDataTest, RefusedSettingsLeaveTheOldValue)
{
    SCP::ScpSessionData session;
    ASSERT_EQ(0u, session.initialize(1));
    struct Case {
        const char* name;
        JLIB::JResult (*apply)(SCP::ScpSessionData&);
        JLIB::JResult result;
        uint32_t (*read)(SCP::ScpSessionData&);
        uint32_t after;
    };
    const Case cases[] = {
        {"resolution 99", [](SCP::ScpSessionData& s) { return s.setResolution(99); }, 0x80000004u,
         [](SCP::ScpSessionData& s) { return s.getResolution(); }, 1000},
        {"resolution 100", [](SCP::ScpSessionData& s) { return s.setResolution(100); }, 0,
         [](SCP::ScpSessionData& s) { return s.getResolution(); }, 100},
        {"keep-alive 1999", [](SCP::ScpSessionData& s) { return s.setKeepAliveInterval(1999); }, 0x80000004u,
         [](SCP::ScpSessionData& s) { return s.getKeepAliveInterval(); }, 0},
        {"keep-alive 2000", [](SCP::ScpSessionData& s) { return s.setKeepAliveInterval(2000); }, 0,
         [](SCP::ScpSessionData& s) { return s.getKeepAliveInterval(); }, 2000},
        {"encoding 2", [](SCP::ScpSessionData& s) { return s.setEncoding(static_cast<SCP::ScpEncoding>(2)); },
         0x80000004u, [](SCP::ScpSessionData& s) { return uint32_t{s.getEncoding()}; }, 0},
        {"encoding utf8", [](SCP::ScpSessionData& s) { return s.setEncoding(SCP::kScpEncodingUtf8); }, 0,
         [](SCP::ScpSessionData& s) { return uint32_t{s.getEncoding()}; }, 1},
        {"value type 5", [](SCP::ScpSessionData& s) { return s.setValueType(static_cast<SCP::ScpValueType>(5)); },
         0x80000004u, [](SCP::ScpSessionData& s) { return uint32_t{s.getValueType()}; }, 0},
        {"format 2", [](SCP::ScpSessionData& s) { return s.changeScpFormat(SCP::kScpFormatNone); }, 0x80000004u,
         [](SCP::ScpSessionData& s) { return uint32_t{s.getScpFormat()}; }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.result, c.apply(session));
        EXPECT_EQ(c.after, c.read(session));
    }
}

TEST(ScpSessionDataTest, FormatChangeKeepsTheOldDecoderUntilReleased)
{
    ScpTest::RecordingHeapManager& heap = ScpTest::useTestHeap();
    {
        SCP::ScpSessionData session;
        ASSERT_EQ(0u, session.initialize(2));
        EXPECT_EQ(1, heap.liveTagCounts()["ScpSessionData::m_pDecoder"]);
        SCP::ScpAbstractDecoder* raw = session.decoderPtr();
        uint32_t consumed = 0;
        ASSERT_EQ(0u, ScpTest::decodeText(*raw, "scpmode format", consumed));
        EXPECT_EQ(0u, session.changeScpFormat(SCP::kScpFormatRaw));
        EXPECT_EQ(raw, session.decoderPtr()) << "the same format keeps decoder and content";

        ASSERT_EQ(0u, session.changeScpFormat(SCP::kScpFormatJson));
        EXPECT_NE(nullptr, dynamic_cast<SCP::ScpDecoderJSON*>(session.decoderPtr()));
        EXPECT_EQ(1u, raw->getDataTable().size()) << "the running command still reads the old tables";
        EXPECT_EQ(2, heap.liveTagCounts()["ScpSessionData::m_pDecoder"]);
        session.releaseReplacedDecoder();
        EXPECT_EQ(1, heap.liveTagCounts()["ScpSessionData::m_pDecoder"]);

        ASSERT_EQ(0u, session.changeScpFormat(SCP::kScpFormatRaw));
        EXPECT_EQ(0u, session.decoderPtr()->getDataTable().size()) << "partial input of the old form is gone";
        ASSERT_EQ(0u, session.changeScpFormat(SCP::kScpFormatJson));
        EXPECT_EQ(2, heap.liveTagCounts()["ScpSessionData::m_pDecoder"]) << "at most one replaced decoder is held";
        ASSERT_EQ(0u, session.stop());
        expectDefaults(session);
        EXPECT_EQ(1, heap.liveTagCounts()["ScpSessionData::m_pDecoder"]);
    }
    EXPECT_TRUE(heap.live.empty());
    SCP::gScpHeapId = 0;
}

TEST(ScpSessionDataTest, RefusedDecoderLeavesTheSessionUnableToStart)
{
    ScpTest::RecordingHeapManager& heap = ScpTest::useTestHeap();
    {
        SCP::ScpSessionData session;
        ASSERT_EQ(0u, session.initialize(1));
        heap.refuseAllocation = heap.allocations + 1;
        EXPECT_EQ(0u, session.changeScpFormat(SCP::kScpFormatJson));
        EXPECT_EQ(SCP::kScpFormatJson, session.getScpFormat());
        EXPECT_EQ(nullptr, session.decoderPtr());
        EXPECT_EQ(0x80000000u, session.start());
        ASSERT_EQ(0u, session.stop());
        EXPECT_EQ(0u, session.start()) << "stop makes a raw decoder again";
    }
    SCP::gScpHeapId = 0;
}

TEST(ScpSessionDataTest, KeepAliveRunsOutAfterItsIntervalUnlessReset)
{
    SCP::ScpSessionData session;
    ASSERT_EQ(0u, session.initialize(1));
    EXPECT_EQ(0x80000000u, session.setKeepAliveTimerReset()) << "keep-alive off";
    ASSERT_EQ(0u, session.setKeepAliveInterval(2000));
    EXPECT_FALSE(session.isKeepAliveTimeout());
    EXPECT_EQ(0u, session.setKeepAliveTimerReset());
    ASSERT_TRUE(waitFor([&] { return session.isKeepAliveTimeout(); }, std::chrono::seconds(5)));
    EXPECT_EQ(0u, session.setKeepAliveTimerReset());
    EXPECT_FALSE(session.isKeepAliveTimeout());
    ASSERT_EQ(0u, session.stop());
    EXPECT_FALSE(session.isKeepAliveTimeout());
}

TEST(ScpSessionDataTest, SubscriptionsAreOnePerAddressAndRefusedOutsideTheModel)
{
    SCP::ScpSessionData session;
    ASSERT_EQ(0u, session.initialize(3));
    EXPECT_EQ(0x80000005u, session.setMeterStart(3, 0));
    EXPECT_EQ(0x80000005u, session.setMeterStop(3));
    EXPECT_EQ(0u, session.setMeterStart(2, 0));
    EXPECT_EQ(0u, session.setMeterStart(0, 60000));
    EXPECT_EQ(0u, session.setMeterStart(2, 0));
    using Pass = std::vector<std::pair<uint32_t, bool>>;
    EXPECT_EQ((Pass{{2, true}, {0, false}}), meterPass(session));
    EXPECT_EQ(0u, session.setMeterStop(1)) << "no subscription to stop";
    EXPECT_EQ(0u, session.setMeterStop(2));
    EXPECT_EQ((Pass{{0, false}}), meterPass(session));
}

TEST(ScpSessionDataTest, StopClearsSubscriptionsSoTheNextClientGetsNone)
{
    SCP::ScpSessionData session;
    ASSERT_EQ(0u, session.initialize(2));
    ASSERT_EQ(0u, session.start());
    ASSERT_EQ(0u, session.setMeterStart(1, 0));
    ASSERT_EQ(1u, meterPass(session).size());
    ASSERT_EQ(0u, session.stop());
    ASSERT_EQ(0u, session.start());
    EXPECT_TRUE(meterPass(session).empty());
    EXPECT_EQ(0u, session.setMeterStart(1, 0)) << "the list is usable again";
    EXPECT_EQ(1u, meterPass(session).size());
}

TEST(ScpSessionDataTest, MeterModelWithoutAddressesStillGivesADecoder)
{
    SCP::ScpSessionData session;
    ASSERT_EQ(0u, session.initialize(0));
    expectDefaults(session);
    EXPECT_EQ(0u, session.start());
    EXPECT_EQ(0x80000005u, session.setMeterStart(0, 0));
    EXPECT_TRUE(meterPass(session).empty());
}

TEST(ScpSessionDataTest, LapsedSubscriptionIsErasedWhileARenewedOneLives)
{
    SCP::ScpSessionData session;
    ASSERT_EQ(0u, session.initialize(2));
    ASSERT_EQ(0u, session.setMeterStart(0, 0));
    ASSERT_EQ(0u, session.setMeterStart(1, 0));
    const auto start = std::chrono::steady_clock::now();
    bool lapsed = false;
    // Address 1 is renewed on every pass, address 0 never: after its 10 s only 1 remains.
    while (!lapsed && std::chrono::steady_clock::now() - start < std::chrono::seconds(15)) {
        ASSERT_EQ(0u, session.setMeterStart(1, 0));
        const auto pass = meterPass(session);
        ASSERT_FALSE(pass.empty());
        lapsed = pass.size() == 1;
        if (lapsed) { EXPECT_EQ(1u, pass[0].first); }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_TRUE(lapsed);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(9900));
}
