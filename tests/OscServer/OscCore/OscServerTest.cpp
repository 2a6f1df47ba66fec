#include "OscServer/OscCore/OscServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "OscServer/OscCore/internal/OscServerProbe.h"
#include "OscServerTestSupport.h"

using JOSC::internal::OscServerProbe;
using OscTest::B;
using OscTest::D;
using OscTest::F;
using OscTest::H;
using OscTest::I;
using OscTest::Lines;
using OscTest::S;

namespace {

uint32_t recordChange(uint16_t, uint8_t, uint32_t, uint32_t, uint32_t) { return 0; }

// A server set up without sockets: ten slots whose sockets carry user ids 1 to 10 but are not
// open. Requests go straight to the per-datagram handling; queues are read as they are.
class OscServerTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(OscTest::startOsLayer());
        server.reset(static_cast<JOSC::OscServer*>(JOSC::createOscServer(0)));
        ASSERT_NE(nullptr, server);
        ASSERT_EQ(0u, OscServerProbe::setUp(*server, 10, wakeup, device, parameters, meters, JOSC::kNetworkOrigin1));
    }

    OscServerProbe::Slot& slot(uint8_t i) { return OscServerProbe::slot(*server, i); }

    void request(uint8_t i, const std::vector<char>& packet)
    {
        OscServerProbe::handlePacket(*server, packet.data(), static_cast<uint32_t>(packet.size()), slot(i));
    }

    // The queued messages of a slot, one line each, emptying the queue.
    Lines take(uint8_t i)
    {
        Lines lines;
        for (const auto& m : slot(i).queue) {
            std::string line = m.address;
            for (const std::string& a : OscTest::describe(m.arguments)) line += " " + a;
            lines.push_back(line);
        }
        slot(i).queue.clear();
        return lines;
    }

    // Keep-alive on for a long time, and nothing sent, so that the queue can be read.
    void keepAlive(uint8_t i)
    {
        slot(i).session.setKeepAliveInterval(60000);
        (void)slot(i).session.startKeepAlive();  // always 0
        slot(i).session.setMaxMessageNum(0);
    }

    void activate(uint8_t i) { OscServerProbe::activeSlots(*server).push_back(&slot(i)); }

    // What each of the first n slots has queued, emptying the queues.
    std::vector<Lines> takeAll(uint8_t n)
    {
        std::vector<Lines> all;
        for (uint8_t i = 0; i < n; ++i) all.push_back(take(i));
        return all;
    }

    OscTest::NullWakeup wakeup;
    OscTest::TestDevice device;
    OscTest::TestParameter parameters;
    OscTest::TestMeter meters;
    std::unique_ptr<JOSC::OscServer> server;
};

OscServerProbe::Message sized(uint32_t bytes, const std::string& tag = "m")
{
    // An address of n characters and no arguments takes roundUp4(n + 1) + 4 bytes.
    OscServerProbe::Message m;
    m.address = "/" + tag;
    m.address.resize(bytes - 4 - 1, 'x');
    return m;
}

}  // namespace

TEST_F(OscServerTest, ParsesTheAddressGrammarWithNetworkOriginOne)
{
    struct Case {
        const char* address;
        uint32_t error;
        const char* type;
        const char* command;
        const char* parameter;
        const char* x;
        const char* y;
    };
    const Case cases[] = {
        {"/josc:req/get/uz:AuxIn/Fader/Level/3/2", 0, "req", "get", "uz:AuxIn/Fader/Level", "2", "1"},
        {"/josc:req/get/uz:AuxIn/Fader/3/Level", 0, "req", "get", "uz:AuxIn/Fader/Level", "2", ""},
        {"/josc:req/get/uz:AuxIn/3/Fader/Level", 0x80000005u, "req", "get", "uz:AuxIn", "", ""},
        {"/josc:req/get/uz:AuxIn//Fader/Level", 0x80000005u, "req", "get", "uz:AuxIn/Fader/Level", "", ""},
        {"/josc:req/get/uz:AuxIn/Fader/Level/1/0", 0x80000004u, "req", "get", "uz:AuxIn/Fader/Level", "0", ""},
        {"/josc:req/get/uz:AuxIn/-1", 0x80000004u, "req", "get", "uz:AuxIn", "", ""},
        {"/josc:req/get/a/1/2/3", 0x80000005u, "req", "get", "a", "", ""},
        {"/josc:req/get/", 0, "req", "get", "", "", ""},
        {"/josc:req/get", 0, "req", "get", "", "", ""},
        {"/josc:req", 0, "req", "", "", "", ""},
        {"/josc:", 0, "", "", "", "", ""},
        {"/josc", 0x80000001u, "", "", "", "", ""},
        {"/JOSC:req/get", 0x80000001u, "", "", "", "", ""},
        {"/josc:ok/get/a", 0, "ok", "get", "a", "", ""},  // the type is checked by the request handling
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        JOSC::OscCommandData command;
        uint32_t error = 0x5A5A5A5A;
        const JLIB::JResult r = OscServerProbe::parse(*server, c.address, command, error);
        EXPECT_EQ(c.error, error);
        EXPECT_EQ(c.error != 0 ? 0x80000000u : 0u, r);
        EXPECT_EQ(c.type, command.type);
        EXPECT_EQ(c.command, command.command);
        EXPECT_EQ(c.parameter, command.address);
        EXPECT_EQ(c.x, command.x);
        EXPECT_EQ(c.y, command.y);
    }
}

TEST_F(OscServerTest, OutgoingAddressesCountIndicesFromOneAndErrorsEndAtTheWord)
{
    struct Case {
        JOSC::OscCommandData command;
        const char* address;
    };
    const Case cases[] = {
        {{"ok", "get", "uz:AuxIn/Fader/Level", "2", "1"}, "/josc:ok/get/uz:AuxIn/Fader/Level/3/2"},
        {{"okm", "setn", "uz:A", "0", ""}, "/josc:okm/setn/uz:A/1"},
        {{"ok", "get", "uz:A", "", "1"}, "/josc:ok/get/uz:A"},  // y only after x
        {{"notify", "set", "uz:A", "4294967295", "0"}, "/josc:notify/set/uz:A"},
        {{"error", "get", "uz:A", "2", "1"}, "/josc:error/get"},
        {{"ok", "prmnum", "", "", ""}, "/josc:ok/prmnum"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        EXPECT_EQ(c.address, OscServerProbe::outgoingAddress(*server, c.command));
    }
}

TEST_F(OscServerTest, WithoutKeepAliveOnlyQueriesAreAnsweredAndOnlyOnSuccess)
{
    request(0, OscTest::message("/josc:req/get/uz:AuxIn/Fader/Level/3/2"));
    request(0, OscTest::message("/josc:req/set/uz:AuxIn/Fader/Level/1", {I(5)}));
    request(0, OscTest::message("/josc:req/get/uz:Nothing"));
    request(0, OscTest::message("/josc:req/bogus"));
    request(0, {'n', 'o', 't', ' ', 'o', 's', 'c', '!'});
    request(0, OscTest::message("/josc:req/devinfo", {S("name")}));
    EXPECT_EQ((Lines{"/josc:ok/get/uz:AuxIn/Fader/Level/3/2 i:21", "/josc:ok/devinfo s:name s:UZ"}), take(0));
    EXPECT_EQ((Lines{"setValue o1 i0 x0 y0 [i:5]"}), parameters.calls) << "the set was carried out";
}

TEST_F(OscServerTest, WithKeepAliveEveryRequestIsAnsweredErrorsIncluded)
{
    request(3, OscTest::message("/josc:req/keepalive", {I(60000)}));
    const Lines first = take(3);
    ASSERT_EQ(1u, first.size());
    EXPECT_EQ(0u, first[0].rfind("/josc:ok/keepalive i:60000 i:0 i:", 0)) << first[0];

    struct Case {
        std::vector<char> packet;
        const char* answer;
    };
    const Case cases[] = {
        {OscTest::message("/josc:req/bogus/uz:A/1"), "/josc:error/unknown s:UnknownCommand"},
        {OscTest::message("/josc:ok/get/uz:AuxIn/Fader/Level"), "/josc:error/unknown s:UnknownCommand"},
        {OscTest::message("/josc:req"), "/josc:error/unknown s:UnknownCommand"},
        {OscTest::message("/josc:req/get/uz:AuxIn/3/Fader/Level"), "/josc:error/get s:UnknownAddress"},
        {OscTest::message("/josc:req/get/uz:AuxIn//Fader"), "/josc:error/get s:UnknownAddress"},
        {OscTest::message("/josc:req/get/uz:AuxIn/Fader/Level/0"), "/josc:error/get s:InvalidArgument"},
        {OscTest::message("/josc:req/get/uz:Nothing/2"), "/josc:error/get s:UnknownAddress"},
        {OscTest::message("/josc:req/set/uz:AuxIn/Fader/Level/4/1", {I(7)}),
         "/josc:ok/set/uz:AuxIn/Fader/Level/4/1 i:7 s:t7"},
        {OscTest::message("/josc:req/setn/uz:AuxIn/Fader/Level/4", {I(1200)}),
         "/josc:okm/setn/uz:AuxIn/Fader/Level/4 u:9990 s:t999"},
        {OscTest::message("/josc:req/identify", {I(100)}), "/josc:okm/identify i:60"},
        {OscTest::message("/josc:req/devinfo", {S("serial")}), "/josc:error/devinfo s:InvalidArgument"},
        {OscTest::message("/josc:req/mtrinfo", {I(5)}), "/josc:error/mtrinfo s:InternalError"},  // 0x80000078
        {OscTest::message("/josc:req/subscribe/uz:@Group"), "/josc:ok/subscribe/uz:@Group"},
    };
    for (const Case& c : cases) {
        request(3, c.packet);
        const Lines answer = take(3);
        SCOPED_TRACE(c.answer);
        EXPECT_EQ((Lines{c.answer}), answer);
    }
}

TEST_F(OscServerTest, ArgumentsArriveByTypeAndUnsupportedOnesAreLeftOut)
{
    const std::string longText(1024, 'L');
    request(0, OscTest::message("/josc:req/event", {S("uz:Command/A"), I(-3), F(1.5f), D(0.25), D(1e300), B("xyz"),
                                                    B(""), H(7), OscTest::Arg{'T', "", 0, 0}, S(longText), S("")}));
    ASSERT_EQ(1u, device.calls.size());
    EXPECT_EQ("event o1 uz:Command/A [i:-3 f:1.500000 f:0.250000 f:inf b:78797a s:ERROR: s:]", device.calls[0]);

    request(0, OscTest::message(""));  // no address: nothing to answer, even with keep-alive
    keepAlive(0);
    request(0, OscTest::message(""));
    EXPECT_TRUE(take(0).empty());
}

TEST_F(OscServerTest, PacketsTheReaderWouldMisreadAreSkipped)
{
    keepAlive(0);
    std::vector<char> packet = OscTest::message("/josc:req/event", {S("id"), B("abcd")});
    packet[packet.size() - 5] = 0x08;  // the blob's length word now claims 8 bytes, 4 are there
    request(0, packet);

    // Inside a bundle the limit is the element, not the datagram: a blob that would reach into
    // the next element rejects the packet, its good message included.
    std::vector<char> buffer(1024);
    osc::OutboundPacketStream p(buffer.data(), buffer.size());
    p << osc::BeginBundleImmediate;
    OscTest::writeMessage(p, "/josc:req/event", {S("first"), B("abcd")});
    OscTest::writeMessage(p, "/josc:req/event", {S("second")});
    p << osc::EndBundle;
    buffer.resize(p.Size());
    std::vector<char> good = buffer;
    const std::vector<char> first = OscTest::message("/josc:req/event", {S("first"), B("abcd")});
    buffer[16 + 4 + first.size() - 5] = 0x10;
    request(0, buffer);
    EXPECT_TRUE(device.calls.empty());
    EXPECT_TRUE(take(0).empty()) << "a malformed packet is not answered";

    // Padding after a text must be zero: the reader and a careful walk would read it differently.
    std::vector<char> padding = OscTest::message("/josc:req/event", {S("ab"), I(1)});
    padding[16 + 4 + 3] = 'x';  // "ab", its zero, then one byte of padding
    request(0, padding);
    EXPECT_TRUE(device.calls.empty());

    request(0, good);
    EXPECT_EQ((Lines{"event o1 first [b:61626364]", "event o1 second []"}), device.calls);
}

TEST_F(OscServerTest, BundlesAreWalkedInElementOrderWhateverTheirTimeTag)
{
    std::vector<char> buffer(4096);
    osc::OutboundPacketStream p(buffer.data(), buffer.size());
    p << osc::BeginBundle(0xFFFFFFFF00000000ull);  // far in the future: handled at once all the same
    p << osc::BeginBundle();
    OscTest::writeMessage(p, "/josc:req/event", {S("first")});
    p << osc::BeginBundle();
    OscTest::writeMessage(p, "/josc:req/event", {S("nested")});
    p << osc::EndBundle << osc::EndBundle;
    OscTest::writeMessage(p, "/josc:req/event", {S("second")});
    OscTest::writeMessage(p, "/josc:req/event", {S("third")});
    p << osc::EndBundle;
    buffer.resize(p.Size());
    request(0, buffer);
    EXPECT_EQ((Lines{"event o1 first []", "event o1 nested []", "event o1 second []", "event o1 third []"}),
              device.calls);

    // A bundle whose last element claims more bytes than there are is rejected by the reader.
    std::vector<char> broken = buffer;
    broken[16] = 0x7F;
    device.calls.clear();
    request(0, broken);
    EXPECT_TRUE(device.calls.empty());
}

TEST_F(OscServerTest, QueueKeepsTheNewestThreeThousand)
{
    for (int i = 1; i <= 3001; ++i) {
        OscServerProbe::Message m;
        m.address = "/m/" + std::to_string(i);
        OscServerProbe::pushMessage(*server, m, slot(2));
    }
    ASSERT_EQ(3000u, slot(2).queue.size());
    EXPECT_EQ("/m/2", slot(2).queue.front().address);
    EXPECT_EQ("/m/3001", slot(2).queue.back().address);
}

TEST_F(OscServerTest, EncodedSizeIsWhatTheWriterWrites)
{
    const std::vector<JOSC::JVariantList> argumentLists = {
        {},
        {JVariant(1)},
        {JVariant(7u)},
        {JVariant(1.5f)},
        {JVariant("", 10u), JVariant("abc", 10u), JVariant("abcd", 10u)},
        {JVariant(reinterpret_cast<const unsigned char*>("12345"), 5u), JVariant(reinterpret_cast<const unsigned char*>("1"), 1u)},
        {JVariant(), JVariant(3), JVariant()},  // values without type travel as nothing
        {JVariant(), JVariant()},
    };
    for (const std::string& address : {std::string("/a"), std::string("/abc"), std::string("/josc:ok/get/x/1/2")}) {
        for (const JOSC::JVariantList& arguments : argumentLists) {
            OscServerProbe::Message m;
            m.address = address;
            m.arguments = arguments;
            SCOPED_TRACE(address + " " + OscTest::joinLines(OscTest::describe(arguments)));
            OscServerProbe::pushMessage(*server, m, slot(0));
            std::vector<char> datagram;
            ASSERT_TRUE(OscServerProbe::encodeDatagram(*server, slot(0), datagram));
            EXPECT_EQ(m.size(), datagram.size());
            EXPECT_TRUE(slot(0).queue.empty());
        }
    }

    // Each type by its OSC tag: UInt32 as a 64-bit integer, values without type as nothing.
    OscServerProbe::Message m;
    m.address = "/t";
    m.arguments = {JVariant(-1), JVariant(0xFFFFFFFFu), JVariant("x", 10u), JVariant(1.5f),
                   JVariant(reinterpret_cast<const unsigned char*>("abc"), 3u), JVariant()};
    OscServerProbe::pushMessage(*server, m, slot(0));
    std::vector<char> datagram;
    ASSERT_TRUE(OscServerProbe::encodeDatagram(*server, slot(0), datagram));
    EXPECT_EQ((Lines{"/t i:-1 h:4294967295 s:x f:1.500000 b:3"}), OscTest::readDatagram(datagram));
}

TEST_F(OscServerTest, BundleClosesBeforeTheFirstMessageThatWouldNotFit)
{
    // 100-byte messages: 16 + 14 * (4 + 100) fills the 1472-byte datagram exactly.
    for (int i = 0; i < 30; ++i) OscServerProbe::pushMessage(*server, sized(100, std::to_string(i)), slot(0));
    std::vector<size_t> perDatagram;
    std::vector<size_t> sizes;
    std::vector<char> datagram;
    std::string order;
    while (OscServerProbe::encodeDatagram(*server, slot(0), datagram)) {
        const Lines lines = OscTest::readDatagram(datagram);
        ASSERT_EQ("[", lines.front());
        const osc::ReceivedBundle bundle(osc::ReceivedPacket(datagram.data(), datagram.size()));
        EXPECT_EQ(1u, bundle.TimeTag()) << "immediately";
        perDatagram.push_back(lines.size() - 2);
        sizes.push_back(datagram.size());
        for (size_t i = 1; i + 1 < lines.size(); ++i) order += lines[i].substr(1, lines[i].find('x') - 1) + ",";
    }
    EXPECT_EQ((std::vector<size_t>{14, 14, 2}), perDatagram);
    EXPECT_EQ((std::vector<size_t>{1472, 1472, 16 + 2 * 104}), sizes);
    std::string expected;
    for (int i = 0; i < 30; ++i) expected += std::to_string(i) + ",";
    EXPECT_EQ(expected, order);
}

TEST_F(OscServerTest, LargeFrontMessagesGoAloneAndTooLargeOnesAreDroppedWithAWarning)
{
    // 1452 still fits a bundle; 1453 to 1472 only a datagram of its own; more, nothing.
    for (uint32_t size : {1452u, 1456u, 1472u, 1476u, 40u, 40u}) {
        OscServerProbe::pushMessage(*server, sized(size, std::to_string(size)), slot(0));
    }
    testing::internal::CaptureStdout();
    std::vector<std::string> shapes;
    std::vector<char> datagram;
    for (int guard = 0; guard < 10 && OscServerProbe::encodeDatagram(*server, slot(0), datagram); ++guard) {
        const Lines lines = OscTest::readDatagram(datagram);
        std::string shape = lines.front() == "[" ? "bundle" : "single";
        for (const std::string& line : lines) {
            if (line != "[" && line != "]") shape += " " + line.substr(1, line.find('x') - 1);
        }
        shapes.push_back(shape + " " + std::to_string(datagram.size()));
    }
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ((std::vector<std::string>{"bundle 1452 1472", "single 1456 1456", "single 1472 1472", "bundle 40 40 104"}),
              shapes);
    EXPECT_NE(std::string::npos, log.find("[W] OscServer::sendToClient - message /1476")) << log;
    EXPECT_TRUE(slot(0).queue.empty());
}

TEST_F(OscServerTest, ParameterChangesReachOtherKeepAliveClientsBySubscriptionRawOrNormalised)
{
    for (uint8_t i = 0; i < 5; ++i) activate(i);
    for (uint8_t i : {0, 1, 2, 3}) keepAlive(i);
    slot(4).session.setMaxMessageNum(0);  // no keep-alive: told nothing
    ASSERT_EQ(0u, slot(2).session.subscribeAddress({2}));
    ASSERT_EQ(0u, slot(3).session.setValueType(JOSC::kOscValueTypeNormalized));

    // Slot 0 (user id 1) made the change: it is not told; slot 2 watches other parameters; slot
    // 3 wants normalised values; slot 4 has no keep-alive.
    EXPECT_EQ(0u, server->onFoundDirty(1, 0, 2, 1));
    EXPECT_EQ((std::vector<Lines>{{},
                                  {"/josc:notify/set/uz:AuxIn/Fader/Level/3/2 i:21 s:t21"},
                                  {},
                                  {"/josc:notify/setn/uz:AuxIn/Fader/Level/3/2 u:210 s:t21"},
                                  {}}),
              takeAll(5));

    // A text parameter has no normalised form; changed by no client, so slot 0 is told too.
    const Lines name = {"/josc:notify/set/uz:Obj/Name/1/1 s:Vocal s:t100"};
    EXPECT_EQ(0u, server->onFoundDirty(9, 1, 0, 0));
    EXPECT_EQ((std::vector<Lines>{name, name, {}, name, {}}), takeAll(5));
    EXPECT_EQ(0u, server->onFoundDirty(9, 2, 0, 0));
    EXPECT_EQ((Lines{"/josc:notify/set/uz:Obj/Mode/1/1 i:200 s:t200"}), takeAll(5)[2]) << "its subscription";

    EXPECT_EQ(0u, server->onFoundDirty(9, 7, 0, 0)) << "a change that cannot be described is not sent";
    EXPECT_EQ(std::vector<Lines>(5), takeAll(5));
    EXPECT_EQ(0x80000000u, server->onFoundDirtyWithTarget(9, 0, 0, 0));
}

TEST_F(OscServerTest, WritesOfOneClientAreNotifiedToTheOthersThroughTheProvider)
{
    activate(0);
    activate(1);
    keepAlive(0);
    keepAlive(1);
    request(0, OscTest::message("/josc:req/set/uz:AuxIn/Fader/Level/2/2", {I(55)}));
    EXPECT_EQ((Lines{"/josc:ok/set/uz:AuxIn/Fader/Level/2/2 i:55 s:t55"}), take(0));
    EXPECT_EQ((Lines{"/josc:notify/set/uz:AuxIn/Fader/Level/2/2 i:55 s:t55"}), take(1));
}

TEST_F(OscServerTest, SnapshotChangesByNumberOrNameFollowEachSessionsSnapshotType)
{
    for (uint8_t i = 0; i < 3; ++i) {
        activate(i);
        keepAlive(i);
    }
    ASSERT_EQ(0u, slot(2).session.setSnapshotType(JOSC::kOscSnapshotTypeText));
    using R = JOSC::IOscParameterCallback;
    EXPECT_EQ(0u, server->onSnapshotChanged(1, "scene", 1u, R::kSSChangeRecall));
    EXPECT_EQ((std::vector<Lines>{{}, {"/josc:notify/ssrecall_ex s:scene i:1"}, {"/josc:notify/ssrecallt_ex s:scene s:S1"}}),
              takeAll(3));

    const Lines current = {"/josc:notify/sscurrent_ex s:scene i:2 s:unmodified"};
    EXPECT_EQ(0u, server->onSnapshotChanged(9, "scene", std::string("S2"), R::kSSChangeCurrent));
    EXPECT_EQ((std::vector<Lines>{current, current, {"/josc:notify/sscurrentt_ex s:scene s:S2 s:unmodified"}}),
              takeAll(3));
    EXPECT_EQ(0u, server->onSnapshotChanged(9, "scene", 0u, R::kSSChangeUpdate));
    EXPECT_EQ((Lines{"/josc:notify/ssupdate_ex s:scene i:0"}), takeAll(3)[0]);

    EXPECT_EQ(0u, server->onSnapshotChanged(9, "scene", 1u, static_cast<R::SSChangeReason>(4)));
    EXPECT_EQ(0x80000000u, server->onSnapshotChanged(9, "scene", 5u, R::kSSChangeRecall));
    EXPECT_EQ(0x80000000u, server->onSnapshotChanged(9, "scene", std::string("S9"), R::kSSChangeRecall));
    EXPECT_EQ(std::vector<Lines>(3), takeAll(3)) << "nothing for reason 4 or a snapshot not found";
}

TEST_F(OscServerTest, DeviceStatusGoesToEveryKeepAliveClient)
{
    EXPECT_EQ(0u, server->onDeviceStatusChanged("runmode", "normal")) << "nobody active";
    activate(0);
    activate(1);
    keepAlive(0);
    slot(1).session.setMaxMessageNum(0);
    EXPECT_EQ(0u, server->onDeviceStatusChanged("runmode", "normal"));
    EXPECT_EQ((Lines{"/josc:notify/devstatus s:runmode s:normal"}), take(0));
    EXPECT_TRUE(take(1).empty());
    EXPECT_EQ(0u, server->onDeviceStatusChanged(nullptr, "x"));
    EXPECT_TRUE(take(0).empty());
}

TEST_F(OscServerTest, TimerPassSendsDueMetersAndReleasesIdleSlots)
{
    activate(0);
    activate(1);
    slot(0).session.setMaxMessageNum(0);
    ASSERT_EQ(0u, slot(0).session.setMeterStart(1, 0));  // due at every pass, without keep-alive
    EXPECT_EQ(0u, server->onTimer());
    EXPECT_EQ((Lines{"/josc:notify/mtr/uz:Current/Meter/B s:hold b:010203"}), take(0));
    EXPECT_TRUE(OscServerProbe::activeSlots(*server).empty()) << "sockets not open: both leave the active list";
}

TEST_F(OscServerTest, ProviderCallbacksNeedAParameterProvider)
{
    JOSC::OscServer bare;
    EXPECT_EQ(0x80000000u, bare.onFoundDirty(1, 0, 0, 0));
    EXPECT_EQ(0x80000000u, bare.onSnapshotChanged(1, "scene", 0u, JOSC::IOscParameterCallback::kSSChangeRecall));
    EXPECT_EQ(0x80000000u, bare.onReceived(0, 0));
    EXPECT_EQ(0u, bare.onParameterChanged(1, 0, 0, 0)) << "no change function: nothing to call";
    EXPECT_EQ(0u, bare.onDeviceStatusChanged("a", "b"));
}

TEST(OscServerSetUpTest, InitializeRefusesMissingPiecesAndChangesNothing)
{
    ASSERT_TRUE(OscTest::startOsLayer());
    OscTest::NullWakeup wakeup;
    OscTest::TestDevice device;
    OscTest::TestParameter parameters;
    OscTest::TestMeter meters;
    JOSC::OscServer server;
    const VCOM::VComSocketAddress any(NETC_AF_INET, "127.0.0.1");
    EXPECT_EQ(0x80000000u, server.initialize(0, any, 0, 0, &wakeup, recordChange, device, parameters, meters,
                                             JOSC::kNetworkOrigin1));
    EXPECT_EQ(0x80000000u, server.initialize(10, any, 0, 0, nullptr, recordChange, device, parameters, meters,
                                             JOSC::kNetworkOrigin1));
    EXPECT_EQ(0x80000000u,
              server.initialize(10, any, 0, 0, &wakeup, nullptr, device, parameters, meters, JOSC::kNetworkOrigin1));
    EXPECT_EQ(0u, OscServerProbe::commandCount(server));
    EXPECT_EQ(nullptr, parameters.callback()) << "providers untouched";
}

TEST(OscServerSetUpTest, SessionsStartWithTheirDefaultsAlsoOnADeviceWithoutMeters)
{
    ASSERT_TRUE(OscTest::startOsLayer());
    OscTest::NullWakeup wakeup;
    OscTest::TestDevice device;
    OscTest::TestParameter parameters;
    JOSC::OscMeter noMeters;  // 0 addresses: no session can hold a meter setting
    JOSC::OscServer server;
    ASSERT_EQ(0u, OscServerProbe::setUp(server, 2, wakeup, device, parameters, noMeters, JOSC::kNetworkOrigin1));
    EXPECT_EQ(1000u, OscServerProbe::slot(server, 1).session.getResolution());
    const std::vector<char> setn = OscTest::message("/josc:req/setn/uz:AuxIn/Fader/Level", {I(500)});
    OscServerProbe::handlePacket(server, setn.data(), static_cast<uint32_t>(setn.size()), OscServerProbe::slot(server, 1));
    EXPECT_EQ((Lines{"setRatio o2 i0 x0 y0 [u:500] r1000"}), parameters.calls) << "not clipped to a resolution of 0";
    const std::vector<char> start = OscTest::message("/josc:req/mtrstart/uz:Current/Meter/A", {I(100)});
    OscServerProbe::slot(server, 1).session.setKeepAliveInterval(60000);
    (void)OscServerProbe::slot(server, 1).session.startKeepAlive();  // always 0
    OscServerProbe::handlePacket(server, start.data(), static_cast<uint32_t>(start.size()), OscServerProbe::slot(server, 1));
    ASSERT_EQ(1u, OscServerProbe::slot(server, 1).queue.size());
    EXPECT_EQ("/josc:error/mtrstart", OscServerProbe::slot(server, 1).queue.front().address);
}

TEST(OscServerSetUpTest, CreateGivesNullWhenABufferCannotBeAllocated)
{
    static OscTest::RecordingHeapManager heap;  // registered for the whole process
    static const bool registered = JLIB::SubscribeHeapId(24, heap) == 0;
    ASSERT_TRUE(registered);
    for (int refused : {1, 2}) {
        SCOPED_TRACE(refused);
        heap.allocations = 0;
        heap.refuseAllocation = refused;
        EXPECT_EQ(nullptr, JOSC::createOscServer(24));
        EXPECT_TRUE(heap.live.empty()) << "what was allocated went back";
    }
    heap.refuseAllocation = 0;
    JOSC::IOscServer* server = JOSC::createOscServer(24);
    ASSERT_NE(nullptr, server);
    std::vector<std::string> tags = heap.liveTags();
    std::sort(tags.begin(), tags.end());
    EXPECT_EQ((std::vector<std::string>{"OscServer::m_pReceiveBuffers", "OscServer::m_pSendBuffer"}), tags);
    JOSC::destroyOscServer(server);
    JOSC::destroyOscServer(nullptr);
    EXPECT_TRUE(heap.live.empty());
    JOSC::setOscHeapId(0);
}
