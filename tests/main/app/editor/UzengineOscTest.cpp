// The engine program's OSC control surface, talked to by Debian's OSC clients: oscsend and oscdump
// with a fixed reply port, and python3-liblo clients with the stand-in rack library beside the
// program. Every engine gets a receive port the test picks.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "FileCache/TempFolder.h"
#include "OscServer/OscCore/OscPeer.h"
#include "main/app/editor/EngineProcess.h"

using namespace std::chrono_literals;
using EngineTest::EngineProcess;
using OscTest::ChildProcess;
using OscTest::LibloClients;
using Lines = std::vector<std::string>;

namespace {

constexpr auto kLimit = 30s;  // generous: the sanitizer build starts slowly
const char* const kConnected = "[UZ][MUR Remote] connected\n";

// The shipped settings with the OSC ports and, when given, the rack server's address replaced.
void writeSettings(const TempFolder& folder, uint16_t rxPort, uint16_t txPort, bool localRack)
{
    std::stringstream text;
    text << std::ifstream(folder.file("SystemSetting.ini")).rdbuf();
    std::string settings = std::regex_replace(text.str(), std::regex("OSCRxPort = [0-9]+"),
                                              "OSCRxPort = " + std::to_string(rxPort));
    settings = std::regex_replace(settings, std::regex("OSCTxPort = [0-9]+"), "OSCTxPort = " + std::to_string(txPort));
    if (localRack) settings = std::regex_replace(settings, std::regex("MURServerAddress = localhost"),
                                                 "MURServerAddress = 127.0.0.1");
    std::ofstream(folder.file("SystemSetting.ini")) << settings;
}

// Waits for the condition while the engine's output is read, so the engine never blocks on it.
bool waitWhileReading(EngineProcess& engine, const std::function<bool()>& done, std::chrono::milliseconds limit = kLimit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        (void)engine.waitForOutput("\x01", 20ms);  // never printed: reads what came meanwhile
    }
    return true;
}

}  // namespace

TEST(UzengineOscTest, QueriesFromOscsendAreAnsweredToTheFixedReplyPortWithoutKeepAlive)
{
    TempFolder folder;
    const std::string program = EngineProcess::install(folder.path(), true);
    const uint16_t rxPort = vsocktest::pickPort(SOCK_DGRAM);
    const uint16_t dumpPort = vsocktest::pickPort(SOCK_DGRAM);
    ASSERT_NE(0, rxPort);
    ASSERT_NE(0, dumpPort);
    writeSettings(folder, rxPort, dumpPort, false);

    ChildProcess dump({"/usr/bin/oscdump", "-L", std::to_string(dumpPort)}, false);
    ASSERT_TRUE(dump.running());
    EngineProcess engine;
    ASSERT_TRUE(engine.start(program, {}));

    const auto oscsend = [&](const std::vector<std::string>& request) {
        std::vector<std::string> argv = {"/usr/bin/oscsend", "localhost", std::to_string(rxPort)};
        argv.insert(argv.end(), request.begin(), request.end());
        ChildProcess sender(argv, false);
        return sender.finish();  // reaped: the datagram has left
    };
    const auto dumped = [&] {
        Lines messages;
        for (const std::string& line : dump.lines()) {
            if (line.find("/josc:") != std::string::npos) messages.push_back(line.substr(line.find(' ') + 1));
        }
        return messages;
    };
    // The server is up once a request is answered; until then requests are asked again.
    ASSERT_TRUE(waitWhileReading(engine, [&] {
        (void)oscsend({"/josc:req/devinfo", "s", "productname"});
        return dump.waitFor([&](const Lines&) { return !dumped().empty(); }, 200ms);
    })) << engine.output();
    EXPECT_EQ(0, oscsend({"/josc:req/devinfo", "s", "Version"}));  // an error: not answered without keep-alive
    EXPECT_EQ(0, oscsend({"/josc:req/prmnum"}));
    EXPECT_EQ(0, oscsend({"/josc:req/mtrnum"}));
    ASSERT_TRUE(waitWhileReading(engine, [&] {
        (void)dump.waitFor([&](const Lines&) { return dumped().size() >= 3; }, 20ms);
        return dumped().size() >= 3;
    }));
    Lines replies = dumped();
    replies.erase(replies.begin(), replies.end() - 3);
    EXPECT_EQ((Lines{"/josc:ok/devinfo ss \"productname\" \"UZ\"", "/josc:ok/prmnum i 145", "/josc:ok/mtrnum i 10"}),
              replies);
    // "booting" until the engine is ready, "normal" from then on.
    ASSERT_TRUE(waitWhileReading(engine, [&] {
        const size_t before = dumped().size();
        (void)oscsend({"/josc:req/devstatus", "s", "runmode"});
        (void)dump.waitFor([&](const Lines&) { return dumped().size() > before; }, 200ms);
        const Lines now = dumped();
        if (now.size() == before) return false;
        EXPECT_TRUE(now.back() == "/josc:ok/devstatus ss \"runmode\" \"booting\"" ||
                    now.back() == "/josc:ok/devstatus ss \"runmode\" \"normal\"")
            << now.back();
        return now.back() == "/josc:ok/devstatus ss \"runmode\" \"normal\"";
    }));

    EXPECT_TRUE(engine.signal(SIGTERM));
    EXPECT_EQ(0, engine.waitForExit(kLimit));
    EXPECT_EQ(0u, engine.count("'OSCServer' is not in this build"));
    EXPECT_EQ(0u, engine.count("LpcOscServerThread::startServer")) << "started once, without complaint";
}

TEST(UzengineOscTest, ClientsWriteAreNotifiedRefusedEventsWriteNothingAndTheRackNamesTheSystem)
{
    TempFolder folder;
    const std::string program = EngineProcess::install(folder.path(), true);
    std::filesystem::copy_file(std::string(UZ_STANDIN_RACK_DIR) + "/libmurremotelib.so",
                               folder.file("libmurremotelib.so"));
    const uint16_t rxPort = vsocktest::pickPort(SOCK_DGRAM);
    const uint16_t rackPort = vsocktest::pickPort(SOCK_DGRAM);
    ASSERT_NE(0, rxPort);
    ASSERT_NE(0, rackPort);
    writeSettings(folder, rxPort, 0, true);
    ASSERT_EQ(0, ::setenv("UZ_RACK_STANDIN_PORT", std::to_string(rackPort).c_str(), 1));
    ASSERT_EQ(0, ::setenv("UZ_RACK_STANDIN_LOG", folder.file("rack.log").c_str(), 1));

    LibloClients clients(2);
    ASSERT_TRUE(clients.start());
    EngineProcess engine;
    ASSERT_TRUE(engine.start(program, {}));
    ASSERT_TRUE(engine.waitForOutput(kConnected, kLimit)) << engine.output();

    // Keep-alive for both, asked again until the server answers.
    for (int c : {0, 1}) {
        ASSERT_TRUE(waitWhileReading(engine, [&] {
            (void)clients.send(c, rxPort, "/josc:req/keepalive", "i", {"60000"});
            return clients.waitForMessages(c, 1, 200ms);
        })) << engine.output();
    }
    // The rack's title "Rack i64X" names the system and sets its object count.
    ASSERT_TRUE(waitWhileReading(engine, [&] {
        const size_t before = clients.received(0).size();
        (void)clients.send(0, rxPort, "/josc:req/get/uz:System/OBANum");
        return clients.waitForMessages(0, before + 1, 200ms) &&
               clients.received(0).back() == "/josc:ok/get/uz:System/OBANum 64";
    })) << (clients.received(0).empty() ? "" : clients.received(0).back());
    ASSERT_TRUE(clients.send(0, rxPort, "/josc:req/get/uz:System/Name"));
    const std::string name = "/josc:ok/get/uz:System/Name Rack i64X";
    ASSERT_TRUE(waitWhileReading(engine, [&] {
        (void)clients.waitForMessages(0, clients.received(0).size() + 1, 20ms);
        const Lines all = clients.received(0);
        return std::find(all.begin(), all.end(), name) != all.end();
    })) << ::testing::PrintToString(clients.received(0));

    // Client 0 writes; client 1 is told, client 0 only answered (other changes the write causes
    // reach both).
    const auto count = [&](int c, const std::string& prefix) {
        size_t n = 0;
        for (const std::string& line : clients.received(c)) n += line.rfind(prefix, 0) == 0 ? 1 : 0;
        return n;
    };
    const std::string level = "uz:OBA/Object/Fader/Level/2";
    ASSERT_TRUE(clients.send(0, rxPort, "/josc:req/set/" + level, "i", {"-1234"}));
    ASSERT_TRUE(waitWhileReading(engine, [&] {
        (void)clients.waitForMessages(0, clients.received(0).size() + 1, 20ms);
        (void)clients.waitForMessages(1, clients.received(1).size() + 1, 20ms);
        return count(0, "/josc:ok/set/" + level + " -1234") == 1 && count(1, "/josc:notify/set/" + level) == 1;
    }));

    // Refused events: a wrong id, a wrong count, a path outside the user folder.
    const size_t seen = clients.received(0).size();
    ASSERT_TRUE(clients.send(0, rxPort, "/josc:req/event", "s", {"uz:Command/project/Save"}));
    ASSERT_TRUE(clients.send(0, rxPort, "/josc:req/event", "s", {"uz:Command/Project/Save"}));
    ASSERT_TRUE(clients.send(0, rxPort, "/josc:req/event", "ss", {"uz:Command/Project/Save", "../outside.uzp"}));
    // Notifications of what the write changed besides may come in between.
    const auto eventReplies = [&] {
        Lines events;
        const Lines all = clients.received(0);
        for (size_t i = seen; i < all.size(); ++i) {
            if (all[i].find("/event") != std::string::npos) events.push_back(all[i]);
        }
        return events;
    };
    ASSERT_TRUE(waitWhileReading(engine, [&] {
        (void)clients.waitForMessages(0, clients.received(0).size() + 1, 20ms);
        return eventReplies().size() >= 3;
    }));
    const Lines events = eventReplies();
    ASSERT_EQ(3u, events.size());
    EXPECT_EQ(0u, events[0].rfind("/josc:error/event UnknownEventID", 0)) << events[0];
    EXPECT_EQ(0u, events[1].rfind("/josc:error/event InvalidArgument", 0)) << events[1];
    EXPECT_EQ(0u, events[2].rfind("/josc:error/event InternalError", 0)) << events[2];

    EXPECT_EQ(0u, count(0, "/josc:notify/set/" + level)) << "the writer is not told of its own write";

    EXPECT_TRUE(engine.signal(SIGTERM));
    EXPECT_EQ(0, engine.waitForExit(kLimit));
    std::vector<std::string> written;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.path())) {
        if (entry.path().filename() == "outside.uzp") written.push_back(entry.path().string());
    }
    EXPECT_TRUE(written.empty());
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(folder.path()).parent_path() / "outside.uzp"));
}
