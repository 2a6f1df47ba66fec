// The engine program with the stand-in rack library beside it, driven through the stand-in's
// command port; the stand-in's log file and the engine's output are read.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "FileCache/TempFolder.h"
#include "TMS/TmsTestSupport.h"
#include "main/app/editor/EngineProcess.h"
#include "vsock/VsockTestSupport.h"

using namespace std::chrono_literals;
using EngineTest::EngineProcess;

namespace {

constexpr auto kLimit = 30s;  // generous: the sanitizer build starts slowly
const char* const kConnected = "[UZ][MUR Remote] connected\n";
const char* const kRestore = "[UZ] restorePluginFromMemory\n";
const char* const kRestoreFinished = "[UZ] restorePluginFromMemory finished";
const char* const kNoBackupYet = "[E] OPVBackupFunc::restore - Cannot restore memories from backup file[";

bool sendCommand(uint16_t port, const std::string& text)
{
    const int s = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (s < 0) return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const ssize_t sent =
        ::sendto(s, text.data(), text.size(), 0, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
    ::close(s);
    return sent == static_cast<ssize_t>(text.size());
}

std::vector<std::string> linesOf(const std::string& path, const std::string& word)
{
    std::ifstream in(path);
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) {
        if (line == word || line.rfind(word + " ", 0) == 0) out.push_back(line);
    }
    return out;
}

}  // namespace

TEST(UzengineRackTest, EngineConnectsSendsItsMemoryAndResynchronisesAfterAConnectionError)
{
    TempFolder folder;
    const std::string program = EngineProcess::install(folder.path(), true);
    std::filesystem::copy_file(std::string(UZ_STANDIN_RACK_DIR) + "/libmurremotelib.so",
                               folder.file("libmurremotelib.so"));
    {
        std::ifstream in(folder.file("SystemSetting.ini"));
        std::stringstream text;
        text << in.rdbuf();
        std::string settings = text.str();
        const std::string shipped = "MURServerAddress = localhost";
        ASSERT_NE(std::string::npos, settings.find(shipped));
        settings.replace(settings.find(shipped), shipped.size(), "MURServerAddress = 127.0.0.1");
        std::ofstream(folder.file("SystemSetting.ini")) << settings;
    }
    const uint16_t port = vsocktest::pickPort(SOCK_DGRAM);
    ASSERT_NE(0, port);
    const std::string log = folder.file("rack.log");
    ASSERT_EQ(0, ::setenv("UZ_RACK_STANDIN_PORT", std::to_string(port).c_str(), 1));
    ASSERT_EQ(0, ::setenv("UZ_RACK_STANDIN_LOG", log.c_str(), 1));

    EngineProcess engine;
    ASSERT_TRUE(engine.start(program, {}));
    ASSERT_TRUE(engine.waitForOutput(kConnected, kLimit)) << engine.output();
    EXPECT_EQ(1u, engine.count("[UZ][MUR Remote] start connect to MUR server (127.0.0.1)\n"));
    EXPECT_EQ(std::vector<std::string>{"connectServer 127.0.0.1"}, linesOf(log, "connectServer"));
    ASSERT_TRUE(engine.waitForOutput(kRestore, kLimit)) << engine.output();
    // The whole memory, in parts of at most 10000 records; change walks flush their own batches.
    const auto records = [&] {
        size_t n = 0;
        for (const std::string& line : linesOf(log, "setParameters")) n += std::stoul(line.substr(14));
        return n;
    };
    ASSERT_TRUE(engine.waitForOutput(kRestoreFinished, kLimit)) << engine.output();
    const size_t first = records();
    EXPECT_GT(first, 10000u);
    EXPECT_FALSE(linesOf(log, "getRackTitle").empty());
    EXPECT_LE(1u, engine.count("LpcUzProtoDeviceControlThread::onChangePDBConfig()\n"));  // the refreshed device

    // The rack reports a connection error: disconnected, tried again, the memory sent again.
    ASSERT_TRUE(sendCommand(port, "connectError"));
    ASSERT_TRUE(engine.waitForOutput("[UZ][MUR callback] Connect Error\n", kLimit)) << engine.output();
    ASSERT_TRUE(TmsTest::waitFor(
        [&] {
            (void)engine.waitForOutput("\x01", 100ms);  // never printed: reads what came meanwhile
            return engine.count(kConnected) == 2 && engine.count(kRestoreFinished) == 2;
        },
        kLimit))
        << engine.output();
    EXPECT_EQ(1u, linesOf(log, "disconnectServer").size());
    EXPECT_EQ(2u, linesOf(log, "connectServer").size());
    EXPECT_GE(records(), 2 * first);

    // A rack recall: the scene index is read from the rack when the events are served.
    ASSERT_TRUE(sendCommand(port, "preset 69"));
    ASSERT_TRUE(sendCommand(port, "serverEvent 0 8"));
    EXPECT_TRUE(TmsTest::waitFor([&] { return !linesOf(log, "getCurrentPresetNum").empty(); }, kLimit));

    EXPECT_TRUE(engine.signal(SIGTERM));
    EXPECT_EQ(0, engine.waitForExit(kLimit));
    EXPECT_EQ(engine.count(kNoBackupYet), engine.count("[E] ")) << engine.output();  // no other error
    EXPECT_EQ(std::vector<std::string>{"libExit"}, linesOf(log, "libExit"));
    EXPECT_EQ(0u, engine.count("'DeviceControlForUZ' is not in this build"));
    EXPECT_EQ(0u, engine.count("'MURRemote' is not in this build"));
}
