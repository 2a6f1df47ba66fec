// The file port between two units over real TCP on 127.0.0.1 in one process, each end with its
// own root folder; the test thread owns everything.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "FileCache/TempFolder.h"
#include "FileTestSupport.h"
#include "UnitTestSupport.h"
#include "VUviRido/Socket/VComTestOwner.h"
#include "comctrl/Core/comctrl_ClientUnit.h"
#include "comctrl/Core/comctrl_FileAccessor.h"
#include "comctrl/Core/comctrl_ServerService.h"
#include "comctrl/Core/comctrl_ServerUnit.h"

using namespace comctrltest;

namespace {

constexpr uint32_t kBufferSize = 0x10000;

class FileLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(vcomtest::startLayers());
        m_port = vsocktest::pickPort(SOCK_STREAM);
        ASSERT_NE(0, m_port);
        std::filesystem::create_directories(m_tmp.file("device/Config"));
        std::filesystem::create_directories(m_tmp.file("console/Config"));
        ASSERT_EQ(0u, m_deviceFiles.initialize(1, m_tmp.file("device/Config").c_str(), 256, '/', nullptr));
        ASSERT_EQ(0u, m_consoleFiles.initialize(1, m_tmp.file("console/Config").c_str(), 256, '/', nullptr));

        ASSERT_EQ(0u, m_client.selectDatabse(1));
        ASSERT_EQ(0u, m_client.initialize(0, 1, 11, 1, 3, &m_owner, kBufferSize));
        nameLikeTheEngine(m_client);
        ASSERT_EQ(0u, m_client.registFileAccessor(0, "Config", &m_deviceFiles, 240));
        ASSERT_EQ(0u, m_client.registFileMonitor(0, &m_deviceMonitor));
        ComControl::ClientUnit* table[] = {&m_client};
        ASSERT_EQ(0u, m_service.initialize(table, 1, m_owner));
        ASSERT_EQ(0u, m_service.listen("127.0.0.1", m_port));
        m_owner.onWake.push_back([this] { (void)m_service.runCallback(); });
        m_owner.onTick.push_back([this] { (void)m_service.periodicHandle(50); });

        ASSERT_EQ(0u, m_server.selectDatabse(1));
        ASSERT_EQ(0u, m_server.initialize(7, 1, 11, 1, 3, vcomtest::loopbackAddress(), m_owner, &m_owner, kBufferSize));
        nameLikeTheEngine(m_server);
        ASSERT_EQ(0u, m_server.registFileAccessor(0, "Config", &m_consoleFiles, 240));
        ASSERT_EQ(0u, m_server.registFileMonitor(0, &m_consoleMonitor));
        m_owner.onWake.push_back([this] { (void)m_server.runCallback(); });
        m_owner.onTick.push_back([this] { (void)m_server.periodicHandle(50); });
        ASSERT_EQ(0u, m_server.connect(vcomtest::loopbackAddress(), m_port));
        ASSERT_TRUE(m_owner.pump([&] { return m_owner.logged("connected 7") && m_owner.logged("connected 0"); }));
    }
    void TearDown() override
    {
        m_owner.onWake.clear();
        m_owner.onTick.clear();
    }
    bool idle(ComControl::AbstractUnit& unit)
    {
        uint32_t status = 99;
        return unit.getFileStatus(0, &status) == 0 && status == 0;
    }

    TempFolder m_tmp;
    uint16_t m_port = 0;
    LinkOwner m_owner;
    ComControl::FileAccessor m_deviceFiles;
    ComControl::FileAccessor m_consoleFiles;
    RecordingMonitor m_deviceMonitor;
    RecordingMonitor m_consoleMonitor;
    ComControl::ClientUnit m_client;
    ComControl::ServerService m_service;
    ComControl::ServerUnit m_server;
};

std::string pattern(size_t n)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>(i * 7 + i / 251);
    return s;
}

}  // namespace

TEST_F(FileLinkTest, FilesGoBothWaysBetweenTheRoots)
{
    m_tmp.write("console/Config/CompileResult.json", pattern(70000));
    ASSERT_EQ(0u, m_server.startFileTransfer(0, false, "CompileResult.json"));
    uint32_t status = 0;
    ASSERT_EQ(0u, m_server.getFileStatus(0, &status));
    EXPECT_EQ(1u, status);
    ASSERT_TRUE(m_owner.pump([&] {
        return !m_deviceMonitor.calls.empty() && m_deviceMonitor.calls.back().find(" last") != std::string::npos;
    }));
    EXPECT_EQ(pattern(70000), m_tmp.read("device/Config/CompileResult.json"));
    EXPECT_TRUE(idle(m_server));
    EXPECT_EQ("update CompileResult.json 1 " + std::to_string(70000 % 2048) + " h0 last", m_consoleMonitor.calls.back());

    // And one fetched back from the device.
    m_tmp.write("device/Config/state.bin", pattern(5000));
    ASSERT_EQ(0u, m_server.startFileTransfer(0, true, "state.bin"));
    EXPECT_EQ(0x80000009u, m_server.startFileTransfer(0, true, "state.bin"));  // busy
    ASSERT_TRUE(m_owner.pump([&] { return idle(m_server) && m_tmp.read("console/Config/state.bin").size() == 5000; }));
    EXPECT_EQ(pattern(5000), m_tmp.read("console/Config/state.bin"));
    EXPECT_FALSE(std::filesystem::exists(m_tmp.file("console/Config/TMP007FC_R")));
}

TEST_F(FileLinkTest, UnitFileCallsCheckTheirIndex)
{
    uint32_t status = 0;
    EXPECT_EQ(0x80000002u, m_server.getFileStatus(1, &status));
    EXPECT_EQ(0x80000002u, m_server.startFileTransfer(1, false, "x"));
    EXPECT_EQ(0x80000002u, m_server.registFileAccessor(1, "Config", &m_consoleFiles, 240));
    EXPECT_EQ(0u, m_server.cancelFileTransfer(0));
    bool receiving = true;
    uint32_t done = 5, size = 5;
    EXPECT_EQ(0u, m_server.getFileProgress(0, &receiving, &done, &size));
    EXPECT_EQ(0u, done);
    ComControl::ClientUnit fresh;
    EXPECT_EQ(0x80000003u, fresh.startFileTransfer(0, false, "x"));
}
