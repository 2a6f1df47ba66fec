#include "textcontrol/ScpServer.h"

#include <gtest/gtest.h>

#include "ScpServerTestSupport.h"
#include "textcontrol/ScpServerCommandDEVINFO.h"
#include "textcontrol/ScpServerCommandSET.h"
#include "textcontrol/ScpServerError.h"

using namespace ScpTest;

namespace {

class ScpServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(startSocketLayers());
        owner = std::make_unique<ServerOwner>();
        ASSERT_EQ(0u, owner->initResult);
        ASSERT_EQ(1u, owner->listenResult);
    }
    std::unique_ptr<Client> connect(uint32_t expectedSessions)
    {
        auto client = std::make_unique<Client>(owner->port);
        EXPECT_TRUE(client->connected);
        EXPECT_TRUE(owner->waitEnabled(expectedSessions));
        return client;
    }
    std::unique_ptr<ServerOwner> owner;
};

struct Exchange {
    const char* request;
    const char* reply;
};

// Every command of this server, raw and JSON, against the test models.
TEST_F(ScpServerTest, AnswersEveryCommandInRawForm)
{
    auto c = connect(1);
    const Exchange table[] = {
        {"set Fader 0 0 42", "OK set MIXER:Fader 0 0 42 \"v=42\""},
        {"SET Fader 0 0 500", "OKm set MIXER:Fader 0 0 100 \"v=100\""},
        {"set Nope 0 0 1", "ERROR set UnknownAddress"},
        {"set Nope -1 0 1", "ERROR set UnknownAddress"},
        {"set Fader -1 0 1", "ERROR set InvalidArgument"},
        {"set Fader 0 0", "ERROR set WrongFormat"},
        {"set RO 0 0 1", "ERROR set ReadOnly"},
        {"setn Fader 0 0 50", "OK setn MIXER:Fader 0 0 50 \"v=50\""},
        {"setn Fader 0 0 5000", "OKm setn MIXER:Fader 0 0 100 \"v=100\""},
        {"setn Fader 0 0 -3", "OKm setn MIXER:Fader 0 0 0 \"v=0\""},
        {"setr Fader 0 0 7", "OK setr MIXER:Fader 0 0 7 \"v=7\""},
        {"setr Fader 0 0 0", "OK setr MIXER:Fader 0 0 7 \"v=7\""},
        {"sett Fader 0 0 \"12\"", "OK sett MIXER:Fader 0 0 \"v=12\" 12"},
        {"devinfo VerSion", "OK devinfo version \"V1.0\""},
        {"devstatus Runmode", "OK devstatus runmode \"running\""},
        {"devmode EMULATION", "OK devmode emulation"},
        {"event Scene \"Go\"", "OK event Scene \"Go\""},
        {"LISTITEMNUM presets", "OK LISTITEMNUM presets 3 1 3"},
        {"listitem presets 2", "OK LISTITEM presets 2 20"},
        {"identify 5", "OK identify 5"},
        {"scpmode resolution 99", "ERROR scpmode InvalidArgument"},
        {"scpmode resolution 1500abc", "OK scpmode resolution 1500"},
        {"scpmode keepalive 999", "ERROR scpmode InvalidArgument"},
        {"scpmode keepalive -5000", "ERROR scpmode InvalidArgument"},
        {"scpmode colour red", "ERROR scpmode InvalidArgument"},
        {"se Fader", "ERROR unknown UnknownCommand"},
        {"setx Fader 0 0 1", "ERROR unknown UnknownCommand"},
    };
    for (const Exchange& e : table) EXPECT_EQ(e.reply, c->ask(e.request)) << e.request;
    EXPECT_EQ("runmode", owner->device.lastTag);
    EXPECT_EQ("Scene", owner->device.lastEvent);
    EXPECT_EQ("emulation", owner->device.lastMode);
    // An empty line answers a bare line feed.
    EXPECT_EQ("", c->ask(""));
}

TEST_F(ScpServerTest, AnswersInJsonAfterTheSwitchAndMatchesMembersByExactName)
{
    auto c = connect(1);
    EXPECT_EQ("{\"report\":\"OK\",\"command\":\"scpmode\",\"tag\":\"format\",\"data\":\"json\"}",
              c->ask("SCPMODE FORMAT JSON"));
    const Exchange table[] = {
        {R"({"command":"set","address":"Fader","x":0,"y":0,"param":9})",
         R"({"report":"OK","command":"set","address":"MIXER:Fader","x":0,"y":0,"param":9,"text":"v=9"})"},
        {R"({"command":"set","address":"Fader","x":0,"y":0})",
         R"({"report":"ERROR","command":"set","errorid":"WrongFormat"})"},
        // "text" comes first and contains "x": the member named "x" must still feed x.
        {R"({"command":"sett","text":"33","address":"Fader","x":0,"y":0})",
         R"({"report":"OK","command":"sett","address":"MIXER:Fader","x":0,"y":0,"text":"v=33","param":33})"},
        {R"({"command":"setn","address":"Fader","x":0,"y":0,"nparam":5000})",
         R"({"report":"OKm","command":"setn","address":"MIXER:Fader","x":0,"y":0,"nparam":100,"text":"v=100"})"},
        {R"({"command":"LISTITEM","category":"p","index":1})",
         R"({"report":"OK","command":"LISTITEM","category":"p","index":1,"data":10})"},
        {R"({"command":"nothing"})", R"({"report":"ERROR","command":"unknown","errorid":"UnknownCommand"})"},
        {R"({"address":"Fader"})", R"({"report":"ERROR","command":"unknown","errorid":"UnknownCommand"})"},
    };
    for (const Exchange& e : table) EXPECT_EQ(e.reply, c->ask(e.request)) << e.request;
    EXPECT_EQ("33", owner->parameters.lastText);
}

TEST_F(ScpServerTest, ListItemFlagAndModelFailuresShapeTheReply)
{
    auto c = connect(1);
    owner->device.listFlag = true;
    owner->device.modelResult = 0x80000006u;
    EXPECT_EQ("OKm LISTITEM cat 1 10", c->ask("LISTITEM cat 1"));
    EXPECT_EQ("ERROR devinfo InvalidArgument", c->ask("devinfo x"));
    EXPECT_EQ("ERROR devmode InvalidArgument", c->ask("devmode x"));
    EXPECT_EQ("ERROR event UnknownEventID", c->ask("event E \"d\""));
    owner->device.modelResult = 0x80000010u;
    EXPECT_EQ("ERROR identify InternalError", c->ask("identify 1"));
    owner->device.modelResult = 1;
    EXPECT_EQ("OKm event E \"d\"", c->ask("event E \"d\""));
}

TEST_F(ScpServerTest, SplitChunksPipelinesCrLfAndInvalidBytes)
{
    auto c = connect(1);
    ASSERT_TRUE(c->send("set Fa"));
    ASSERT_TRUE(c->send("der 0 0 3\nset Fader 0 0 4\n"));
    EXPECT_EQ("OK set MIXER:Fader 0 0 3 \"v=3\"", c->line());
    EXPECT_EQ("OK set MIXER:Fader 0 0 4 \"v=4\"", c->line());
    ASSERT_TRUE(c->send("set Fader 0 0 5\r\n"));
    EXPECT_EQ("OK set MIXER:Fader 0 0 5 \"v=5\"", c->line());
    EXPECT_EQ("", c->line());
    // An invalid UTF-8 byte costs only itself: the commands around it are answered.
    ASSERT_TRUE(c->send(std::string("set Fader 0 0 6\n\xFF") + "set Fader 0 0 8\n"));
    EXPECT_EQ("OK set MIXER:Fader 0 0 6 \"v=6\"", c->line());
    EXPECT_EQ("OK set MIXER:Fader 0 0 8 \"v=8\"", c->line());
}

TEST_F(ScpServerTest, ClientThatStopsReadingGetsWholeRepliesAndEachWriteOnce)
{
    auto c = connect(1);
    int small = 4096;
    ASSERT_EQ(0, ::setsockopt(c->fd(), SOL_SOCKET, SO_RCVBUF, &small, sizeof small));
    // Pipelined relative steps, far more reply bytes than the socket's send stream holds.
    constexpr int kLines = 1500;
    std::string burst;
    for (int i = 0; i < kLines; ++i) burst += "setr Fader 0 0 0\n";
    owner->parameters.entries[0].maximum = 1 << 30;
    std::thread writer([&] { (void)c->send(burst); });
    // Nothing read for a while: replies must be held back, not cut. A loaded machine takes its time.
    const bool held = waitFor([&] { return owner->call([&] { return owner->server->getPendingInfo(1)->pending; }); },
                              std::chrono::seconds(10));
    if (!held) {
        // The kernel's socket buffers took every reply (they grow on loopback), so nothing was held back here.
        (void)::shutdown(c->fd(), SHUT_RDWR);  // frees the writer before the test ends
        writer.join();
        GTEST_SKIP() << "the socket buffers took all replies; nothing to hold back on this machine";
    }
    // A notification goes out whole when it fits and is dropped when it does not; never cut.
    const char notification[] = "NOTIFY set MIXER:Fader 0 0 0 \"v=0\"\n";
    bool fitted = false;
    const uint32_t status = owner->call([&] {
        fitted = owner->socket->getSession(1)->getRemainSendBuff() >= sizeof notification - 1;
        return owner->parameters.callback()->onFoundDirtyWithTarget(0, 0, 0, 0);
    });
    EXPECT_EQ(fitted ? 0u : 5u, status);
    const int writesWhileStalled = owner->parameters.writes.load();
    EXPECT_LT(writesWhileStalled, kLines);
    int lines = 0;
    bool writerDone = false;
    while (lines < kLines) {
        const std::string l = c->line(5000);
        if (fitted && l == "NOTIFY set MIXER:Fader 0 0 0 \"v=0\"") {
            fitted = false;  // seen once
            continue;
        }
        ASSERT_EQ("OK setr MIXER:Fader 0 0 0 \"v=0\"", l) << "line " << lines;
        ++lines;
        if (!writerDone && lines == kLines / 2) {
            writer.join();
            writerDone = true;
        }
    }
    if (!writerDone) writer.join();
    EXPECT_FALSE(fitted) << "a notification that fitted never arrived";
    EXPECT_EQ(kLines, owner->parameters.writes.load());
    // A stepping command held back is not run twice.
    owner->parameters.writes = 0;
    burst.clear();
    for (int i = 0; i < kLines; ++i) burst += "setr Fader 0 0 1\n";
    std::thread writer2([&] { (void)c->send(burst); });
    writer2.join();
    for (int i = 1; i <= kLines; ++i) {
        const std::string l = c->line(5000);
        ASSERT_EQ("OK setr MIXER:Fader 0 0 " + std::to_string(i) + " \"v=" + std::to_string(i) + "\"", l);
    }
    EXPECT_EQ(kLines, owner->parameters.writes.load());
}

TEST_F(ScpServerTest, ParameterNotificationsReachTheOtherSessionsInTheirValueType)
{
    auto a = connect(1);
    auto b = connect(2);
    auto c = connect(3);
    EXPECT_EQ("OK scpmode valuetype normalized", c->ask("scpmode valuetype normalized"));
    owner->parameters.entries[0].value = 12;
    // Session index 0 caused it: it gets its reply, the others a notification.
    const uint32_t status = owner->call([&] { return owner->parameters.callback()->onFoundDirty(0, 0, 1, 2); });
    EXPECT_EQ(0u, status);
    EXPECT_EQ("NOTIFY set MIXER:Fader 1 2 12 \"v=12\"", b->line());
    EXPECT_EQ("NOTIFY setn MIXER:Fader 1 2 12 \"v=12\"", c->line());
    (void)owner->call([&] { return owner->parameters.callback()->onFoundDirty(0, 1, 0, 0); });
    EXPECT_EQ("NOTIFY set MIXER:Name 0 0 0 \"v=0\"", c->line());
    (void)b->line();
    EXPECT_EQ(4u, owner->call([&] { return owner->parameters.callback()->onFoundDirtyWithTarget(3, 0, 0, 0); }));
    (void)owner->call([&] { return owner->parameters.callback()->onFoundDirtyWithTarget(1, 0, 0, 0); });
    EXPECT_EQ("NOTIFY set MIXER:Fader 0 0 12 \"v=12\"", b->line());
    EXPECT_EQ("<timeout>", a->line(200));
    EXPECT_EQ("<timeout>", c->line(100));
}

TEST_F(ScpServerTest, SnapshotAndDeviceStatusNotifications)
{
    auto a = connect(1);
    auto b = connect(2);
    EXPECT_EQ("{\"report\":\"OK\",\"command\":\"scpmode\",\"tag\":\"format\",\"data\":\"json\"}",
              b->ask("scpmode format json"));
    const SCP::ScpString empty = SCP::makeScpString(8);
    SCP::ScpString scene = SCP::makeScpString(8);
    ASSERT_EQ(0u, scene.fromLatin1("scene", 8));
    using R = SCP::IScpParameterCallback;
    (void)owner->call([&] { return owner->parameters.callback()->onSnapshotChanged(0, scene, 3, R::kSnapshotRecalled); });
    EXPECT_EQ(R"({"report":"NOTIFY","command":"ssrecall_ex","category":"scene","index":3})", b->line());
    (void)owner->call([&] { return owner->parameters.callback()->onSnapshotChanged(1, empty, 4, R::kCurrentSnapshotChanged); });
    EXPECT_EQ("NOTIFY sscurrent  4", a->line());
    (void)owner->call([&] { return owner->parameters.callback()->onSnapshotChanged(1, scene, 5, R::kCurrentSnapshotChanged); });
    EXPECT_EQ("NOTIFY sscurrent_ex scene 5 unmodified", a->line());
    (void)owner->call([&] { return owner->parameters.callback()->onSnapshotChanged(1, scene, 6, R::kSnapshotUpdated); });
    EXPECT_EQ("NOTIFY ssupdate_ex scene 6", a->line());
    EXPECT_EQ(0u, owner->call([&] {
        return owner->parameters.callback()->onSnapshotChanged(1, scene, 6, static_cast<R::SSChangeReason>(9));
    }));
    (void)owner->call([&] { return owner->device.callback()->onDeviceStatusChanged(L"mode", L"on"); });
    EXPECT_EQ("NOTIFY devstatus \"mode\" \"on\"", a->line());
    EXPECT_EQ(R"({"report":"NOTIFY","command":"devstatus","tag":"mode","data":"on"})", b->line());
}

TEST_F(ScpServerTest, ErrorsNameTheCommandAndCutLongNames)
{
    JLIB::JDataStream<unsigned char> stream;
    ASSERT_EQ(0u, stream.initialize(0, 1000));
    auto text = [&] {
        std::string s;
        unsigned char b = 0;
        while (stream.pop(b) == 0 && !stream.isEmpty()) s += static_cast<char>(b);
        if (b) s += static_cast<char>(b);
        return s;
    };
    ASSERT_EQ(0u, SCP::ScpServerError::makeError(SCP::kScpFormatRaw, SCP::kScpEncodingAscii, stream, 0x80000010u, "set"));
    EXPECT_EQ("ERROR set InternalError\n", text());
    ASSERT_EQ(0u, SCP::ScpServerError::makeError(SCP::kScpFormatJson, SCP::kScpEncodingAscii, stream, 0x8000000Du, nullptr));
    EXPECT_EQ("{\"report\":\"ERROR\",\"command\":\"unknown\",\"errorid\":\"Clipped\"}\n", text());
    EXPECT_EQ(0x80000000u, SCP::ScpServerError::makeError(SCP::kScpFormatRaw, SCP::kScpEncodingAscii, stream, 3, "x"));
    const std::string longName(150, 'n');
    ASSERT_EQ(0u, SCP::ScpServerError::makeError(SCP::kScpFormatRaw, SCP::kScpEncodingAscii, stream, 0x80000001u,
                                                 longName.c_str()));
    EXPECT_EQ("ERROR " + std::string(100, 'n') + " UnknownCommand\n", text());

    using C = SCP::ScpServerCommand;
    const struct {
        uint32_t a, b, expected;
    } cases[] = {{0x80000005u, 0x80000003u, 0x80000003u}, {0x80000003u, 0x80000005u, 0x80000003u},
                 {0x80000003u, 0x80000003u, 0x80000003u}, {1, 0x80000004u, 0x80000004u},
                 {0x80000004u, 2, 0x80000004u},            {1, 2, 2},
                 {2, 1, 2}};
    for (const auto& k : cases) EXPECT_EQ(k.expected, C::overrideError(k.a, k.b)) << k.a << " " << k.b;
}

TEST_F(ScpServerTest, MeterNotificationsAtTheirIntervalCappedAtWhatTheModelSupplies)
{
    auto c = connect(1);
    ASSERT_EQ(0u, owner->call([&] {
        return owner->server->getChildSessionDataByIndex(0)->setMeterStart(0, 300);
    }));
    EXPECT_EQ("NOTIFY mtr Meter level 00 01 02 03", c->line(2000));
    EXPECT_EQ("NOTIFY mtr Meter level 00 01 02 03", c->line(2000));
    // The model hands out fewer values than its attributes announce: only those are read.
    owner->meters.num = 300;
    owner->meters.supplied = 2;
    std::string l;
    ASSERT_TRUE(waitFor([&] { l = c->line(1000); return l == "NOTIFY mtr Meter level 00 01"; }));
    owner->meters.supplied = 300;
    ASSERT_TRUE(waitFor([&] { l = c->line(1000); return l.size() > 300; }));
    EXPECT_EQ(std::string("NOTIFY mtr Meter level ").size() + 150 * 3 - 1, l.size());
}

TEST_F(ScpServerTest, KeepAliveDisconnectsASilentSession)
{
    auto c = connect(1);
    EXPECT_EQ("OK scpmode keepalive 1000", c->ask("scpmode keepalive 1000"));
    EXPECT_EQ("<closed>", c->line(5000));
    EXPECT_TRUE(waitFor([&] { return !owner->enabled(0); }));
}

TEST(ScpServerInitTest, RefusesCapacitiesWithoutUsableSessionIds)
{
    ASSERT_TRUE(startSocketLayers());
    for (uint32_t capacity : {0u, 256u}) {
        ServerOwner owner(capacity);
        EXPECT_EQ(0x80000002u, owner.initResult) << capacity;
    }
}

TEST_F(ScpServerTest, TypedEntryPointsRunWithoutALine)
{
    uint32_t r = owner->call([&] {
        SCP::ScpSessionData* session = owner->server->getChildSessionDataByIndex(0);
        SCP::ScpInfoAccessor accessor(owner->device, owner->parameters, owner->meters, *session);
        SCP::ScpServerCommandSET set;
        return set.run(0, accessor, "Fader", 0, 0, 77);
    });
    EXPECT_EQ(0u, r);
    EXPECT_EQ(77, owner->parameters.entries[0].value);
    char data[8] = {};
    r = owner->call([&] {
        SCP::ScpSessionData* session = owner->server->getChildSessionDataByIndex(0);
        SCP::ScpInfoAccessor accessor(owner->device, owner->parameters, owner->meters, *session);
        SCP::ScpServerCommandDEVINFO info;
        return info.run(0, accessor, "Ver", data, sizeof data);
    });
    EXPECT_EQ(0u, r);
    EXPECT_STREQ("V1.0", data);
    EXPECT_EQ("ver", owner->device.lastTag);
}

}  // namespace
