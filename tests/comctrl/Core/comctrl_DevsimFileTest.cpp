// The file port against the device simulator as a real process: this process sends the compile
// result into the simulator's "Config" folder and fetches a file back, over 127.0.0.1.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "DevsimProcess.h"
#include "FileCache/TempFolder.h"
#include "FileTestSupport.h"
#include "UnitTestSupport.h"
#include "VUviRido/Socket/VComTestOwner.h"
#include "comctrl/Core/comctrl_FileAccessor.h"
#include "comctrl/Core/comctrl_ServerUnit.h"

using namespace comctrltest;

namespace {

std::string content(size_t n, int seed)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>(i * 13 + seed);
    return s;
}

}  // namespace

TEST(DevsimFileTest, SendsTheCompileResultAndFetchesAFileBack)
{
#ifndef UZ_DEVSIM_PATH
    GTEST_SKIP() << "uz_devsim is not built";
#endif
    ASSERT_TRUE(vcomtest::startLayers());
    TempFolder tmp;
    const std::string deviceRoot = tmp.file("device");
    std::filesystem::create_directories(tmp.file("console/Config"));
    DevsimProcess simulator;
    ASSERT_TRUE(simulator.start({"--port", "0", "--root", deviceRoot}));
    const uint16_t port = simulator.listenPort();
    ASSERT_NE(0, port) << simulator.output();

    ComControl::FileAccessor files;
    ASSERT_EQ(0u, files.initialize(1, tmp.file("console/Config").c_str(), 256, '/', nullptr));
    RecordingMonitor monitor;
    LinkOwner owner;
    ComControl::ServerUnit unit;
    ASSERT_EQ(0u, unit.selectDatabse(1));
    ASSERT_EQ(0u, unit.initialize(0, 1, 11, 1, 3, vcomtest::loopbackAddress(), owner, &owner, 0x100000));
    nameLikeTheEngine(unit);
    ASSERT_EQ(0u, unit.registFileAccessor(0, "Config", &files, 240));
    ASSERT_EQ(0u, unit.registFileMonitor(0, &monitor));
    owner.onWake.push_back([&] { (void)unit.runCallback(); });
    owner.onTick.push_back([&] { (void)unit.periodicHandle(50); });
    ASSERT_EQ(0u, unit.connect(vcomtest::loopbackAddress(), port));
    ASSERT_TRUE(owner.pump([&] { return owner.logged("connected 0"); }));

    const std::string result = "{\"result\":\"ok\",\"pad\":\"" + std::string(9000, 'x') + "\"}";
    tmp.write("console/Config/CompileResult.json", result);
    ASSERT_EQ(0u, unit.startFileTransfer(0, false, "CompileResult.json"));
    const std::string sent = deviceRoot + "/Config/CompileResult.json";
    ASSERT_TRUE(owner.pump([&] {
        std::error_code e;
        return std::filesystem::file_size(sent, e) == result.size();
    })) << simulator.output();
    EXPECT_EQ(result, tmp.read("device/Config/CompileResult.json"));
    EXPECT_FALSE(std::filesystem::exists(deviceRoot + "/Config/TMP000FC_R"));

    tmp.write("device/Config/Preset.bin", content(6000, 3));
    ASSERT_EQ(0u, unit.startFileTransfer(0, true, "Preset.bin"));
    ASSERT_TRUE(owner.pump([&] {
        uint32_t status = 9;
        return unit.getFileStatus(0, &status) == 0 && status == 0;
    }));
    EXPECT_EQ(content(6000, 3), tmp.read("console/Config/Preset.bin"));
    EXPECT_EQ("update Preset.bin 2 " + std::to_string(6000 - 4096) + " h0 last", monitor.calls.back());

    // The simulator refuses a name that climbs out of its folder.
    tmp.write("device/outside.txt", "no");
    monitor.calls.clear();
    ASSERT_EQ(0u, unit.startFileTransfer(0, true, "../outside.txt"));
    ASSERT_TRUE(owner.pump([&] { return !monitor.calls.empty(); }));
    EXPECT_EQ("cancel ../outside.txt 2 80002000", monitor.calls.back());
    EXPECT_FALSE(std::filesystem::exists(tmp.file("outside.txt")));

    simulator.closeStdin();
    EXPECT_EQ(0, simulator.waitExit());
    owner.onWake.clear();
    owner.onTick.clear();
}
