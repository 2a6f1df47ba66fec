#include "textcontrol/ScpServerCommandMeter.h"

#include <gtest/gtest.h>

#include <mutex>
#include <thread>

#include "ScpModelTestSupport.h"
#include "ScpServerTestSupport.h"
#include "textcontrol/ScpServerCommandMTRSTART.h"
#include "textcontrol/ScpServerCommandMTRSTOP.h"

using namespace ScpTest;

namespace {

void addMeters(MeterBank& bank)
{
    bank.meters = {
        {"level1", 4, 0, L"MTR:level1"},
        {"gr", 2, 2, L"MTR:gr"},
        {"odd", 1, 9, L"MTR:odd"},
        {"noaddr", 1, 0, L"", true},
        {"longaddr", 1, 0, std::wstring(65, L'a')},
        {"ghost", 1, 0, L"MTR:ghost", false, 7},  // an index beyond the meter count
    };
    bank.addressNum = 5;
}

class ScpMeterCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(startSocketLayers());
        addMeters(bank);
        owner = std::make_unique<ServerOwner>(4, Models{nullptr, &bank});
        ASSERT_EQ(0u, owner->initResult);
        ASSERT_EQ(1u, owner->listenResult);
    }
    void TearDown() override { owner.reset(); }  // before the model it borrows
    std::unique_ptr<Client> connect(uint32_t sessions)
    {
        auto client = std::make_unique<Client>(owner->port);
        EXPECT_TRUE(client->connected);
        EXPECT_TRUE(owner->waitEnabled(sessions));
        return client;
    }
    // The subscriptions of session index 0: (meter index, interval) in list order.
    std::vector<std::pair<uint32_t, uint32_t>> subscriptions()
    {
        return owner->call([&] {
            std::vector<std::pair<uint32_t, uint32_t>> out;
            SCP::ScpSessionData* session = owner->server->getChildSessionDataByIndex(0);
            (void)session->resetMeterStatusIterator();
            uint32_t address = 0, interval = 0;
            bool due = false;
            while (JLIB::isSuccess(session->popMeterStatus(address, interval, due))) {
                out.emplace_back(address, interval);
            }
            return out;
        });
    }

    MeterBank bank;
    std::unique_ptr<ServerOwner> owner;
};

// The reply to a request, passing over the meter notifications that may come first.
std::string answer(Client& client, const std::string& request)
{
    if (!client.send(request + "\n")) return "<send failed>";
    while (true) {
        std::string l = client.line();
        if (l.rfind("NOTIFY", 0) != 0 && l.find("\"NOTIFY\"") == std::string::npos) return l;
    }
}

struct Exchange {
    const char* request;
    const char* reply;
};

TEST_F(ScpMeterCommandsTest, AnswersRawMeterCommands)
{
    auto c = connect(1);
    const Exchange table[] = {
        {"mtrnum", "OK mtrnum 5"},
        {"mtrinfo 0", "OK mtrinfo 0 \"MTR:level1\" 4 level"},
        {"MTRINFO 1", "OK mtrinfo 1 \"MTR:gr\" 2 gr"},
        {"mtrinfo 2", "OK mtrinfo 2 \"MTR:odd\" 1 ?"},
        {"mtrinfo 3", "ERROR mtrinfo WrongFormat"},  // no address text
        {"mtrinfo 4", "ERROR mtrinfo WrongFormat"},  // longer than the field
        {"mtrinfo 9", "ERROR mtrinfo UnknownAddress"},  // the model's answer
        {"mtrinfo -1", "ERROR mtrinfo InvalidArgument"},
        {"mtrinfo", "ERROR mtrinfo WrongFormat"},
        {"mtrstart level1 0", "OK mtrstart MTR:level1"},  // 0 is accepted
        {"mtrstop level1", "OK mtrstop MTR:level1"},
        {"mtrstop gr", "OK mtrstop MTR:gr"},  // never started
        {"mtrstart nope 500", "ERROR mtrstart UnknownAddress"},
        {"mtrstart nope -1", "ERROR mtrstart UnknownAddress"},  // the address is looked up first
        {"mtrstart level1 -1", "ERROR mtrstart InvalidArgument"},
        {"mtrstart ghost 500", "ERROR mtrstart UnknownAddress"},  // not below the meter count
        {"mtrstop ghost", "ERROR mtrstop UnknownAddress"},
        {"mtrstop nope", "ERROR mtrstop UnknownAddress"},
        {"mtrstart level1", "ERROR mtrstart WrongFormat"},
        {"mtrstop", "ERROR mtrstop WrongFormat"},
    };
    for (const Exchange& e : table) EXPECT_EQ(e.reply, answer(*c, e.request)) << e.request;
    EXPECT_TRUE(subscriptions().empty());
}

TEST_F(ScpMeterCommandsTest, AnswersJsonMeterCommands)
{
    auto c = connect(1);
    ASSERT_EQ(R"({"report":"OK","command":"scpmode","tag":"format","data":"json"})", c->ask("scpmode format json"));
    const Exchange table[] = {
        {R"({"command":"mtrnum"})", R"({"report":"OK","command":"mtrnum","number":5})"},
        {R"({"command":"mtrinfo","index":1})",
         R"({"report":"OK","command":"mtrinfo","index":1,"address":"MTR:gr","num":2,"type":"gr"})"},
        {R"({"command":"mtrinfo","index":3})", R"({"report":"ERROR","command":"mtrinfo","errorid":"WrongFormat"})"},
        {R"({"command":"mtrstart","interval":60000,"address":"gr"})",
         R"({"report":"OK","command":"mtrstart","address":"MTR:gr"})"},
        {R"({"command":"mtrstart","address":"gr"})",
         R"({"report":"ERROR","command":"mtrstart","errorid":"WrongFormat"})"},
        {R"({"command":"mtrstart","address":"gr","interval":-5})",
         R"({"report":"ERROR","command":"mtrstart","errorid":"InvalidArgument"})"},
        {R"({"command":"mtrstop","address":"gr"})", R"({"report":"OK","command":"mtrstop","address":"MTR:gr"})"},
        {R"({"command":"mtrstop","address":"nope"})",
         R"({"report":"ERROR","command":"mtrstop","errorid":"UnknownAddress"})"},
    };
    for (const Exchange& e : table) EXPECT_EQ(e.reply, answer(*c, e.request)) << e.request;
    owner->call([&] {
        bank.meters.clear();
        bank.addressNum = 0;
        return 0;
    });
    EXPECT_EQ(R"({"report":"OK","command":"mtrnum","number":0})", answer(*c, R"({"command":"mtrnum"})"));
}

TEST_F(ScpMeterCommandsTest, KeepsOneSubscriptionPerAddressWithTheLatestInterval)
{
    auto c = connect(1);
    EXPECT_EQ("OK mtrstart MTR:gr", answer(*c, "mtrstart gr 60000"));
    EXPECT_EQ("OK mtrstart MTR:level1", answer(*c, "mtrstart level1 60000"));
    EXPECT_EQ("OK mtrstart MTR:gr", answer(*c, "mtrstart gr 30000"));
    using Subs = std::vector<std::pair<uint32_t, uint32_t>>;
    EXPECT_EQ((Subs{{1, 30000}, {0, 60000}}), subscriptions());
    EXPECT_EQ("OK mtrstop MTR:gr", answer(*c, "mtrstop gr"));
    EXPECT_EQ((Subs{{0, 60000}}), subscriptions());
}

TEST_F(ScpMeterCommandsTest, TypedEntryPointsStartAndStopWithoutALine)
{
    auto run = [&](auto&& body) {
        return owner->call([&] {
            SCP::ScpSessionData* session = owner->server->getChildSessionDataByIndex(0);
            SCP::ScpInfoAccessor accessor(owner->device, owner->parameters, bank, *session);
            return body(accessor);
        });
    };
    SCP::ScpServerCommandMTRSTART start;
    SCP::ScpServerCommandMTRSTOP stop;
    EXPECT_EQ(0u, run([&](SCP::ScpInfoAccessor& a) { return start.run(0, a, "level1", 60000); }));
    EXPECT_EQ(0x80000005u, run([&](SCP::ScpInfoAccessor& a) { return start.run(0, a, "nope", 100); }));
    EXPECT_EQ(0x80000004u, run([&](SCP::ScpInfoAccessor& a) { return start.run(0, a, "gr", 0x80000000u); }));
    EXPECT_EQ(0x80000003u, run([&](SCP::ScpInfoAccessor& a) { return start.run(0, a, nullptr, 100); }));
    using Subs = std::vector<std::pair<uint32_t, uint32_t>>;
    EXPECT_EQ((Subs{{0, 60000}}), subscriptions());
    EXPECT_EQ(0u, run([&](SCP::ScpInfoAccessor& a) { return stop.run(0, a, "level1"); }));
    EXPECT_EQ(0x80000003u, run([&](SCP::ScpInfoAccessor& a) { return stop.run(0, a, nullptr); }));
    EXPECT_TRUE(subscriptions().empty());
}

// Lines of one client with the time they arrived, read until it has been quiet for a while.
struct Arrivals {
    std::mutex mutex;
    std::vector<std::pair<std::chrono::steady_clock::time_point, std::string>> lines;
    size_t count()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return lines.size();
    }
};

void collect(Client& client, Arrivals& arrivals, int quietMs)
{
    while (true) {
        std::string l = client.line(quietMs);
        if (l == "<timeout>" || l == "<closed>" || l == "<error>") return;
        if (l.find("NOTIFY") == std::string::npos) continue;  // the renewal's reply
        std::lock_guard<std::mutex> lock(arrivals.mutex);
        arrivals.lines.emplace_back(std::chrono::steady_clock::now(), l);
    }
}

TEST_F(ScpMeterCommandsTest, MeterLinesComeAtTheirIntervalUntilTenSecondsAfterTheLastStart)
{
    using namespace std::chrono;
    auto a = connect(1);
    auto b = connect(2);
    ASSERT_EQ(R"({"report":"OK","command":"scpmode","tag":"format","data":"json"})", b->ask("scpmode format json"));
    const auto start = steady_clock::now();
    ASSERT_EQ("OK mtrstart MTR:level1", a->ask("mtrstart level1 500"));
    ASSERT_EQ(R"({"report":"OK","command":"mtrstart","address":"MTR:gr"})",
              b->ask(R"({"command":"mtrstart","address":"gr","interval":500})"));
    Arrivals fromA, fromB;
    std::thread readA([&] { collect(*a, fromA, 2500); });
    std::thread readB([&] { collect(*b, fromB, 2500); });
    // b renews its subscription after a few lines (the reader passes over the reply).
    const bool some = waitFor([&] { return fromB.count() >= 5; }, seconds(8));
    const auto renewed = steady_clock::now();
    const bool sent = b->send(R"({"command":"mtrstart","address":"gr","interval":500})" "\n");
    readA.join();
    readB.join();
    ASSERT_TRUE(some);
    ASSERT_TRUE(sent);

    auto check = [](Arrivals& arrivals, const std::string& text, steady_clock::time_point from,
                    steady_clock::time_point lastStart) {
        ASSERT_GE(arrivals.lines.size(), 10u);
        auto previous = from;
        for (const auto& [when, line] : arrivals.lines) {
            EXPECT_EQ(text, line);
            // One line per interval, to the resolution of the 100 ms timer.
            EXPECT_GE(duration_cast<milliseconds>(when - previous).count(), 400);
            previous = when;
        }
        // The subscription lapsed 10 s after its last start, and not much earlier.
        const auto last = duration_cast<milliseconds>(arrivals.lines.back().first - lastStart).count();
        EXPECT_LE(last, 10800);
        EXPECT_GE(last, 8500);
    };
    check(fromA, "NOTIFY mtr MTR:level1 level 00 01 02 03", start, start);
    check(fromB, R"({"report":"NOTIFY","command":"mtr","address":"MTR:gr","type":"gr","meter":[10,11]})", start,
          renewed);
    EXPECT_LE(fromA.lines.size(), 21u);
}

}  // namespace
