// The three synchronised directories against the device simulator as a real process over
// 127.0.0.1: a push that empties the device's folder, a pull, and local changes that follow.
#include <gtest/gtest.h>
#include <strings.h>
#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <string>

#include "DevsimProcess.h"
#include "FileCache/TempFolder.h"
#include "UnitTestSupport.h"
#include "VUviRido/Socket/VComTestOwner.h"
#include "comctrl/Core/comctrl_DirectorySynchronizer.h"
#include "comctrl/Core/comctrl_FileAccessor.h"
#include "comctrl/Core/comctrl_ServerUnit.h"

using namespace comctrltest;
namespace fs = std::filesystem;

namespace {

struct Directory {
    const char* name;
    const char* extension;
    uint32_t maxFiles;
};
const Directory kDirectories[] = {{"Preset/3DRev", "vexap", 128}, {"Snapshot", "vexas", 2000}, {"DCP", "dcpl", 50}};

class ExtensionFilter : public ComControl::IDirSyncStrategy {
public:
    explicit ExtensionFilter(const char* extension) : m_extension(extension) {}
    bool isSendFiltered(const char* name) override
    {
        const char* dot = std::strrchr(name, '.');
        return !dot || strcasecmp(dot + 1, m_extension) != 0;
    }

private:
    const char* m_extension;
};

ino_t inodeOf(const std::string& path)
{
    struct stat s {};
    return ::stat(path.c_str(), &s) == 0 ? s.st_ino : 0;
}

// The engine's connecting unit with the three directories, linked to a simulator.
class DevsimDirectoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
#ifndef UZ_DEVSIM_PATH
        GTEST_SKIP() << "uz_devsim is not built";
#endif
        ASSERT_TRUE(vcomtest::startLayers());
        for (const Directory& d : kDirectories) {
            fs::create_directories(tmp.file("device/") + d.name);
            fs::create_directories(tmp.file("console/") + d.name);
        }
    }
    void TearDown() override
    {
        if (m_connected) {
            simulator.closeStdin();
            EXPECT_EQ(0, simulator.waitExit());
        }
        owner.onWake.clear();
        owner.onTick.clear();
    }
    void connect()
    {
        ASSERT_TRUE(simulator.start({"--port", "0", "--root", tmp.file("device")}));
        const uint16_t port = simulator.listenPort();
        ASSERT_NE(0, port) << simulator.output();
        ASSERT_EQ(0u, unit.selectDatabse(1));
        ASSERT_EQ(0u, unit.initialize(0, 1, 11, 1, 3, vcomtest::loopbackAddress(), owner, &owner, 0x100000));
        nameLikeTheEngine(unit);
        for (uint32_t i = 0; i < 3; ++i) {
            const std::string folder = tmp.file("console/") + kDirectories[i].name;
            files[i] = std::make_unique<ComControl::FileAccessor>();
            ASSERT_EQ(0u, files[i]->initialize(1, folder.c_str(), 256, '/', nullptr));
            filters[i] = std::make_unique<ExtensionFilter>(kDirectories[i].extension);
            ComControl::T_DIRECTORY_INITIALIZE_OPTION option;
            option.mapStrategy = true;
            option.strategy = filters[i].get();
            ASSERT_EQ(0u, unit.registDirectory(i, kDirectories[i].name, folder.c_str(), kDirectories[i].maxFiles,
                                               *files[i], 240, &option));
        }
        owner.onWake.push_back([&] { (void)unit.runCallback(); });
        owner.onTick.push_back([&] { (void)unit.periodicHandle(50); });
        ASSERT_EQ(0u, unit.connect(vcomtest::loopbackAddress(), port));
        ASSERT_TRUE(owner.pump([&] { return owner.logged("connected 0"); })) << simulator.output();
        m_connected = true;
    }
    ComControl::DirSyncStatus status(uint32_t index)
    {
        ComControl::DirSyncStatus s = ComControl::DIRSYNC_OTHER;
        return unit.getVDirSyncStatus(&s, index) == 0 ? s : ComControl::DIRSYNC_OTHER;
    }
    // "DIRSYNC <index> <status> <listing> <changes>" of the simulator's unit serving us.
    std::string deviceStatus(uint32_t index)
    {
        return simulator.askFor("dirsync " + std::to_string(index) + " 0", "DIRSYNC ");
    }
    bool bothSynchronized(uint32_t index)
    {
        return status(index) == ComControl::DIRSYNC_SYNCHRONIZED &&
               deviceStatus(index) == "DIRSYNC " + std::to_string(index) + " 2 0 0";
    }
    std::string device(const std::string& name) const { return tmp.file("device/") + name; }
    std::string console(const std::string& name) const { return tmp.file("console/") + name; }
    static size_t fileCount(const std::string& folder)
    {
        size_t n = 0;
        for (const auto& e : fs::directory_iterator(folder)) n += e.is_regular_file() ? 1 : 0;
        return n;
    }

    TempFolder tmp;
    DevsimProcess simulator;
    LinkOwner owner;
    std::unique_ptr<ComControl::FileAccessor> files[3];
    std::unique_ptr<ExtensionFilter> filters[3];
    ComControl::ServerUnit unit;  // declared after what it borrows

private:
    bool m_connected = false;
};

}  // namespace

TEST_F(DevsimDirectoryTest, APushFromAnEmptyFolderEmptiesTheDevicesFolder)
{
    for (const char* name : {"a.vexas", "b.vexas", "c.VEXAS"}) tmp.write("device/Snapshot/" + std::string(name), name);
    connect();
    ASSERT_EQ(0u, unit.startVDirSync(1, 1));  // from the engine to the device
    ASSERT_TRUE(owner.pump([&] { return bothSynchronized(1); })) << simulator.output();
    EXPECT_EQ(0u, fileCount(device("Snapshot")));
    EXPECT_EQ(0u, fileCount(console("Snapshot")));
}

TEST_F(DevsimDirectoryTest, APullBringsTheDevicesFilesAndDropsTheOthers)
{
    tmp.write("device/Preset/3DRev/p1.vexap", std::string(7000, '1'));
    tmp.write("device/Preset/3DRev/p2.vexap", "2");
    tmp.write("console/Preset/3DRev/old.vexap", "only here");
    connect();
    ASSERT_EQ(0u, unit.startVDirSync(0, 2));  // from the device to the engine
    ASSERT_TRUE(owner.pump([&] { return bothSynchronized(0); })) << simulator.output();
    EXPECT_EQ(std::string(7000, '1'), tmp.read("console/Preset/3DRev/p1.vexap"));
    EXPECT_EQ("2", tmp.read("console/Preset/3DRev/p2.vexap"));
    EXPECT_FALSE(fs::exists(console("Preset/3DRev/old.vexap")));
    EXPECT_EQ(2u, fileCount(device("Preset/3DRev")));
}

TEST_F(DevsimDirectoryTest, LocalChangesReachTheDeviceWithoutComingBack)
{
    tmp.write("console/DCP/base.dcpl", "base");
    connect();
    ASSERT_EQ(0u, unit.startVDirSync(2, 1));
    ASSERT_TRUE(owner.pump([&] { return bothSynchronized(2); })) << simulator.output();
    ASSERT_EQ("base", tmp.read("device/DCP/base.dcpl"));

    tmp.write("console/DCP/notes.txt", "kept out by the filter");
    tmp.write("console/DCP/new.dcpl", "added");
    const ino_t added = inodeOf(console("DCP/new.dcpl"));
    ASSERT_TRUE(owner.pump([&] { return tmp.read("device/DCP/new.dcpl") == "added"; })) << simulator.output();
    tmp.write("console/DCP/new.dcpl", "changed, and longer");
    ASSERT_TRUE(owner.pump([&] { return tmp.read("device/DCP/new.dcpl") == "changed, and longer"; }));
    fs::remove(console("DCP/base.dcpl"));
    ASSERT_TRUE(owner.pump([&] { return !fs::exists(device("DCP/base.dcpl")); }));

    // The device's own change comes the other way.
    tmp.write("device/DCP/device.dcpl", "from the device");
    ASSERT_TRUE(owner.pump([&] { return tmp.read("console/DCP/device.dcpl") == "from the device"; }));

    // Nothing the engine sent comes back: its file is the one it wrote, and both ends settle.
    owner.runFor(std::chrono::milliseconds(500));
    EXPECT_EQ(added, inodeOf(console("DCP/new.dcpl")));
    EXPECT_EQ("changed, and longer", tmp.read("console/DCP/new.dcpl"));
    EXPECT_TRUE(bothSynchronized(2)) << deviceStatus(2);
    EXPECT_FALSE(fs::exists(device("DCP/notes.txt")));
    EXPECT_FALSE(fs::exists(console("DCP/base.dcpl")));

    ASSERT_EQ(0u, unit.stopVDirSync(2));
    ASSERT_TRUE(owner.pump([&] {
        return status(2) == ComControl::DIRSYNC_IDLE && deviceStatus(2) == "DIRSYNC 2 0 0 0";
    }));
}
