#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/tpcp/MeterNotificationCollection.h"
#include "common/tpcp/NotificationCollection.h"
#include "TpcpTestSupport.h"

using namespace tpcptest;

namespace {

const unsigned char kBytes[] = {0xde, 0xad, 0xbe, 0xef};

JVariant blob(size_t n = 4) { return JVariant(kBytes, static_cast<unsigned int>(n)); }
JVariant text(const char* t) { return JVariant(t, 100); }

TEST(NotificationTest, TablesFindTheirHandlersByAddressAndEmptyOnFree)
{
    TPCP::NotificationCollection stream;
    TPCP::MeterNotificationCollection meter;
    EXPECT_EQ(nullptr, stream.getNotification("/DRAVO/error"));
    EXPECT_EQ(0u, stream.createNotificationMap());
    EXPECT_EQ(0u, meter.createMeterNotificationMap());
    for (const char* name : {"/DRAVO/tcpconnected", "/DRAVO/error"}) {
        ASSERT_NE(nullptr, stream.getNotification(name));
        EXPECT_STREQ(name, stream.getNotification(name)->getName());
        EXPECT_EQ(nullptr, meter.getMeterNotification(name));
    }
    for (const char* name : {"/DRAVO/meter", "/DRAVO/playerstatus"}) {
        ASSERT_NE(nullptr, meter.getMeterNotification(name));
        EXPECT_STREQ(name, meter.getMeterNotification(name)->getName());
    }
    EXPECT_EQ(nullptr, stream.getNotification("/DRAVO/err"));
    EXPECT_EQ(nullptr, stream.getNotification(nullptr));
    EXPECT_EQ(0u, stream.freeNotificationMap());
    EXPECT_EQ(0u, meter.freeMeterNotificationMap());
    EXPECT_EQ(nullptr, stream.getNotification("/DRAVO/error"));
    EXPECT_EQ(nullptr, meter.getMeterNotification("/DRAVO/meter"));
}

// Each row: the address, its arguments, the processor's answer, the handler's answer and the call
// the processor saw ("" when it must not be called).
TEST(NotificationTest, HandlersCheckTheCountConvertArgumentsAndReduceResults)
{
    struct Case {
        const char* name;
        const char* address;
        std::vector<JVariant> arguments;
        JLIB::JResult processorResult;
        JLIB::JResult result;
        std::string call;
    };
    const std::vector<Case> cases = {
        {"connected", "/DRAVO/tcpconnected", {text("p1")}, 0, 0, "tcpconnected \"p1\""},
        {"connected status", "/DRAVO/tcpconnected", {text("p1")}, 0x7FFFFFFF, 0, "tcpconnected \"p1\""},
        {"connected failure", "/DRAVO/tcpconnected", {text("p1")}, 0x80000123u, 0x80000000u, "tcpconnected \"p1\""},
        {"connected not text", "/DRAVO/tcpconnected", {JVariant(3)}, 0, 0, "tcpconnected none"},
        {"connected no args", "/DRAVO/tcpconnected", {}, 0, 0x80000000u, ""},
        {"error", "/DRAVO/error", {text("a"), text("b")}, 0, 0, "error \"a\" \"b\""},
        {"error one arg", "/DRAVO/error", {text("a")}, 0, 0x80000000u, ""},
        {"error three args", "/DRAVO/error", {text("a"), text("b"), text("c")}, 0, 0x80000000u, ""},
        {"error blob", "/DRAVO/error", {blob(), text("b")}, 0, 0, "error none \"b\""},
        {"meter", "/DRAVO/meter", {JVariant(1), JVariant(0xFFFFFFFFu), JVariant(3), JVariant(4), blob()}, 5, 0,
         "meter 1 4294967295 3 4 4 deadbeef"},
        {"meter failure", "/DRAVO/meter", {JVariant(1), JVariant(2), JVariant(3), JVariant(4), blob(2)}, 0x80000009u,
         0x80000000u, "meter 1 2 3 4 2 dead"},
        {"meter other types", "/DRAVO/meter", {JVariant(2.5f), text("7"), JVariant(), JVariant(-1), JVariant(9)}, 0, 0,
         "meter 0 0 0 4294967295 0 -"},
        {"meter four args", "/DRAVO/meter", {JVariant(1), JVariant(2), JVariant(3), blob()}, 0, 0x80000000u, ""},
        {"status", "/DRAVO/playerstatus",
         {JVariant(7u), JVariant(-2), JVariant(3), JVariant(0), JVariant(1), blob()}, 0, 0,
         "status 7 4294967294 3 0 1 4 deadbeef"},
        {"status not blob", "/DRAVO/playerstatus",
         {JVariant(7u), JVariant(1), JVariant(2), JVariant(0), JVariant(1), text("x")}, 0x80000000u, 0x80000000u,
         "status 7 1 2 0 1 0 -"},
        {"status five args", "/DRAVO/playerstatus", {JVariant(1), JVariant(2), JVariant(3), JVariant(4), blob()}, 0,
         0x80000000u, ""},
    };
    TPCP::NotificationCollection stream;
    TPCP::MeterNotificationCollection meter;
    ASSERT_EQ(0u, stream.createNotificationMap());
    ASSERT_EQ(0u, meter.createMeterNotificationMap());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingProcessor processor;
        processor.result = c.processorResult;
        JLIB::JResult result = 0x5A5A5A5A;
        if (TPCP::INotification* h = stream.getNotification(c.address)) {
            result = h->process(&processor, &c.arguments);
            EXPECT_EQ(0x80000000u, h->process(nullptr, &c.arguments));
            EXPECT_EQ(0x80000000u, h->process(&processor, nullptr));
        } else if (TPCP::IMeterNotification* m = meter.getMeterNotification(c.address)) {
            result = m->process(&processor, &c.arguments);
            EXPECT_EQ(0x80000000u, m->process(nullptr, &c.arguments));
            EXPECT_EQ(0x80000000u, m->process(&processor, nullptr));
        }
        EXPECT_EQ(c.result, result);
        const std::vector<std::string> calls = processor.calls();
        EXPECT_EQ(c.call.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.call}, calls);
    }
}

}  // namespace
