// The directory synchroniser in one process: two of them joined by a loop (with their file
// transferers) over real folders, and one alone fed commands by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "DirTestSupport.h"
#include "UnitTestSupport.h"
#include "VUviRido/Socket/VComTestOwner.h"
#include "FileCache/TempFolder.h"
#include "FileCache/fcache_VDir.h"
#include "comctrl/Core/comctrl_FileAccessor.h"
#include "comctrl/Core/comctrl_ReceivedListStrategy.h"
#include "comctrl/Core/comctrl_ReceivedMapStrategy.h"
#include "comctrl/Core/comctrl_ServerUnit.h"

using namespace comctrltest;
using ComControl::DirectorySynchronizer;
namespace fs = std::filesystem;

namespace {

constexpr const char* kDir = "Snapshot";

class ExtensionFilter : public ComControl::IDirSyncStrategy {
public:
    explicit ExtensionFilter(std::string extension) : m_extension(std::move(extension)) {}
    bool isSendFiltered(const char* name) override
    {
        const std::string n = name;
        const size_t dot = n.rfind('.');
        return dot == std::string::npos || n.substr(dot + 1) != m_extension;
    }

private:
    std::string m_extension;
};

// One end: a synchroniser on its own folder with its transferer's accessor.
struct Side {
    std::string folder;
    ComControl::FileAccessor files;
    DirectorySynchronizer sync;
    CountingObserver observer;

    void setUp(const std::string& path, bool notServerUnit, bool map, ComControl::IDirSyncStrategy* filter = nullptr)
    {
        folder = path;
        fs::create_directories(folder);
        ASSERT_EQ(0u, sync.initialize(notServerUnit, &observer, 0, 1));
        ASSERT_EQ(0u, sync.setPortName("DS_S"));
        ASSERT_EQ(0u, sync.transferer(0)->setPortName("d010"));
        ASSERT_EQ(0u, files.initialize(1, folder.c_str(), 256, '/', nullptr));
        ASSERT_EQ(0u, sync.registDirectory(kDir, folder.c_str(), 2000, 240, map, filter));
        ASSERT_EQ(0u, sync.transferer(0)->setAccessor(kDir, &files, 240));
    }
    void write(const std::string& name, const std::string& content) const
    {
        std::ofstream(folder + "/" + name, std::ios::binary) << content;
    }
    std::string read(const std::string& name) const
    {
        std::ifstream in(folder + "/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool has(const std::string& name) const { return fs::exists(folder + "/" + name); }
    // The folder's files, sorted, without transferers' temporary files.
    std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(folder))
            if (e.is_regular_file() && e.path().filename().string().rfind("TMP", 0) != 0)
                out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    bool synchronized() const { return sync.state() == DirectorySynchronizer::SYNC_SYNCHRONIZED; }
};

bool contains(const std::vector<std::string>& log, const std::string& prefix)
{
    return std::any_of(log.begin(), log.end(), [&](const std::string& e) { return e.rfind(prefix, 0) == 0; });
}

class DirectorySynchronizerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        a.setUp(tmp.file("a"), false, true);
        b.setUp(tmp.file("b"), true, true);
    }
    // After the loop's end both report synchronised and no more traffic comes from b.
    void expectQuietTarget(DirLoop& loop)
    {
        for (int i = 0; i < 6; ++i) loop.tick();
        EXPECT_FALSE(contains(loop.log, "b: StartSend ")) << ::testing::PrintToString(loop.log);
        EXPECT_FALSE(contains(loop.log, "b: Remove ")) << ::testing::PrintToString(loop.log);
        EXPECT_EQ(0u, b.sync.getRequestedFileNum(false));
    }

    TempFolder tmp;
    Side a;
    Side b;
};

}  // namespace

TEST_F(DirectorySynchronizerTest, APushToAnEmptyTargetIsAnsweredAtOnce)
{
    a.write("y.vexas", std::string(5000, 'y'));
    a.write("z.vexas", "z");
    DirLoop loop(a.sync, b.sync);
    ASSERT_EQ(0u, a.sync.start(false));
    loop.pump();
    EXPECT_EQ((std::vector<std::string>{"a: StartDirSync", "b: StartDirSyncAnswer 0"}), loop.log);
    EXPECT_EQ(ComControl::DIRSYNC_SYNCHRONIZING, b.sync.getStatus());
    ASSERT_TRUE(loop.tickUntil([&] { return a.synchronized() && b.synchronized() && a.observer.notifications > 0; }));
    EXPECT_EQ(a.names(), b.names());
    EXPECT_EQ(std::string(5000, 'y'), b.read("y.vexas"));
    EXPECT_EQ(ComControl::DIRSYNC_SYNCHRONIZED, a.sync.getStatus());
    EXPECT_TRUE(a.sync.isSource());
    const std::vector<std::string> dirs = loop.directoryLog();
    EXPECT_FALSE(contains(dirs, "b: ExistFile"));
    EXPECT_EQ((std::vector<std::string>{"a: ComplitedDir", "b: ComplitedDirAnswer 0"}),
              std::vector<std::string>(dirs.end() - 2, dirs.end()));
    expectQuietTarget(loop);
}

TEST_F(DirectorySynchronizerTest, APushDeletesWhatTheSourceLacksThenSendsEverything)
{
    b.write("x.vexas", "only at b");
    b.write("c.vexas", "old");
    a.write("c.vexas", "new content");
    a.write("y.vexas", "only at a");
    DirLoop loop(a.sync, b.sync);
    ASSERT_EQ(0u, a.sync.start(false));
    ASSERT_TRUE(loop.tickUntil([&] { return a.synchronized() && b.synchronized(); }));
    EXPECT_EQ((std::vector<std::string>{"c.vexas", "y.vexas"}), b.names());
    EXPECT_EQ("new content", b.read("c.vexas"));
    std::vector<std::string> dirs = loop.directoryLog();
    std::sort(dirs.begin() + 1, dirs.begin() + 5);  // the listing's order of c and x is the folder's
    EXPECT_EQ((std::vector<std::string>{"a: StartDirSync", "a: ExistFileAnswer c.vexas 2001",
                                        "a: ExistFileAnswer x.vexas 2000", "b: ExistFile c.vexas",
                                        "b: ExistFile x.vexas", "b: StartDirSyncAnswer 0", "a: ComplitedDir",
                                        "b: ComplitedDirAnswer 0"}),
              dirs);
    expectQuietTarget(loop);
    EXPECT_EQ((std::vector<std::string>{"c.vexas", "y.vexas"}), a.names());
}

TEST_F(DirectorySynchronizerTest, APullMakesThePeerTheSource)
{
    a.write("p.vexas", "only at a");
    b.write("q.vexas", "q");
    b.write("r.vexas", "r");
    DirLoop loop(a.sync, b.sync);
    ASSERT_EQ(0u, a.sync.start(true));
    loop.pump();
    EXPECT_EQ((std::vector<std::string>{"a: ReqDirSync", "b: StartDirSync"}), loop.log);
    ASSERT_TRUE(loop.tickUntil([&] { return a.synchronized() && b.synchronized(); }));
    EXPECT_TRUE(b.sync.isSource());
    EXPECT_FALSE(a.sync.isSource());
    EXPECT_EQ((std::vector<std::string>{"q.vexas", "r.vexas"}), a.names());
    EXPECT_EQ((std::vector<std::string>{"q.vexas", "r.vexas"}), b.names());
}

TEST_F(DirectorySynchronizerTest, LocalChangesReachThePeerWithoutEcho)
{
    for (bool map : {true, false}) {
        SCOPED_TRACE(map ? "map strategy" : "list strategy");
        TempFolder folders;
        Side s, t;
        s.setUp(folders.file("s"), false, map);
        t.setUp(folders.file("t"), true, map);
        DirLoop loop(s.sync, t.sync);
        ASSERT_EQ(0u, s.sync.start(false));
        ASSERT_TRUE(loop.tickUntil([&] { return s.synchronized() && t.synchronized(); }));

        s.write("new.vexas", "first");
        ASSERT_TRUE(loop.tickUntil([&] { return t.read("new.vexas") == "first"; }));
        s.write("new.vexas", "second, longer");
        ASSERT_TRUE(loop.tickUntil([&] { return t.read("new.vexas") == "second, longer"; }));
        testing::internal::CaptureStdout();
        fs::remove(s.folder + "/new.vexas");
        const bool removed = loop.tickUntil([&] { return !t.has("new.vexas"); });
        const std::string printed = testing::internal::GetCapturedStdout();
        ASSERT_TRUE(removed);
        EXPECT_NE(std::string::npos, printed.find("[i] ------ new.vexas deleted [")) << printed;
        for (int i = 0; i < 6; ++i) loop.tick();
        EXPECT_FALSE(contains(loop.log, "b: StartSend ")) << ::testing::PrintToString(loop.log);
        EXPECT_FALSE(contains(loop.log, "b: Remove ")) << ::testing::PrintToString(loop.log);
        EXPECT_EQ(0u, s.sync.getRequestedFileNum(false));
        EXPECT_EQ(0u, t.sync.getRequestedFileNum(false));
    }
}

TEST_F(DirectorySynchronizerTest, AReceivedFileTouchedAgainGoesBackUnderTheMapStrategy)
{
    DirLoop loop(a.sync, b.sync);
    ASSERT_EQ(0u, a.sync.start(false));
    ASSERT_TRUE(loop.tickUntil([&] { return a.synchronized() && b.synchronized(); }));
    a.write("kept.vexas", "kept");
    a.write("touched.vexas", "touched");
    ASSERT_TRUE(loop.tickUntil([&] { return b.read("kept.vexas") == "kept" && b.read("touched.vexas") == "touched"; }));
    for (int i = 0; i < 4; ++i) loop.tick();
    ASSERT_FALSE(contains(loop.log, "b: StartSend "));
    const fs::path touched = b.folder + "/touched.vexas";
    fs::last_write_time(touched, fs::last_write_time(touched) + std::chrono::seconds(10));
    ASSERT_TRUE(loop.tickUntil([&] { return contains(loop.log, "b: StartSend touched.vexas"); }));
    for (int i = 0; i < 4; ++i) loop.tick();
    EXPECT_FALSE(contains(loop.log, "b: StartSend kept.vexas"));
}

TEST_F(DirectorySynchronizerTest, TheSendFilterGovernsOnlyFollowedChanges)
{
    TempFolder folders;
    ExtensionFilter filter("vexas");
    Side s, t;
    s.setUp(folders.file("s"), false, true, &filter);
    t.setUp(folders.file("t"), true, true, &filter);
    s.write("a.vexas", "a");
    s.write("notes.txt", "listed, so sent");
    DirLoop loop(s.sync, t.sync);
    ASSERT_EQ(0u, s.sync.start(false));
    ASSERT_TRUE(loop.tickUntil([&] { return s.synchronized() && t.synchronized(); }));
    EXPECT_EQ((std::vector<std::string>{"a.vexas", "notes.txt"}), t.names());
    s.write("later.txt", "filtered");
    s.write("later.vexas", "followed");
    ASSERT_TRUE(loop.tickUntil([&] { return t.has("later.vexas"); }));
    for (int i = 0; i < 4; ++i) loop.tick();
    EXPECT_FALSE(t.has("later.txt"));
}

TEST_F(DirectorySynchronizerTest, StopEndsBothEndsAndAResetClearsEverything)
{
    a.write("one.vexas", "1");
    DirLoop loop(a.sync, b.sync);
    ASSERT_EQ(0u, a.sync.start(false));
    ASSERT_TRUE(loop.tickUntil([&] { return a.synchronized() && b.synchronized(); }));
    ASSERT_EQ(0u, a.sync.stop());
    loop.pump();
    EXPECT_EQ(ComControl::DIRSYNC_STOPPING, a.sync.getStatus());
    EXPECT_EQ(ComControl::DIRSYNC_STOPPING, b.sync.getStatus());
    EXPECT_EQ("b: FinishDirSyncAnswer 0", loop.log.back());
    EXPECT_EQ(0u, a.sync.stop());  // already stopping
    loop.tick();
    EXPECT_EQ(ComControl::DIRSYNC_IDLE, a.sync.getStatus());
    EXPECT_EQ(ComControl::DIRSYNC_IDLE, b.sync.getStatus());
    // A local change after the stop goes nowhere.
    a.write("two.vexas", "2");
    for (int i = 0; i < 4; ++i) loop.tick();
    EXPECT_FALSE(b.has("two.vexas"));

    // Synchronised again, then the port goes: everything pending is dropped.
    ASSERT_EQ(0u, a.sync.start(false));
    ASSERT_TRUE(loop.tickUntil([&] { return a.synchronized() && b.synchronized(); }));
    ASSERT_EQ(0u, b.sync.reserveSending("three.vexas", false));
    EXPECT_EQ(1u, b.sync.getRequestedFileNum(false));
    (void)b.sync.setPort(nullptr);
    EXPECT_EQ(ComControl::DIRSYNC_IDLE, b.sync.getStatus());
    EXPECT_EQ(0u, b.sync.getRequestedAllFileNum());
}

TEST_F(DirectorySynchronizerTest, AStartRightAfterAStopIsTakenWithoutWaitingForATick)
{
    // The end that asked for the stop starts again before either tick has ended it: both ends
    // must take the new start, in either direction, not leave the starter idle for good.
    a.write("one.vexas", "1");
    DirLoop loop(a.sync, b.sync);
    for (const bool fromPeer : {false, true, false, true}) {
        SCOPED_TRACE(fromPeer ? "pull" : "push");
        ASSERT_EQ(0u, a.sync.start(fromPeer));
        ASSERT_TRUE(loop.tickUntil([&] { return a.synchronized() && b.synchronized(); }))
            << ::testing::PrintToString(loop.directoryLog());
        EXPECT_FALSE(contains(loop.log, "b: StartDirSyncAnswer 8")) << ::testing::PrintToString(loop.log);
        EXPECT_FALSE(contains(loop.log, "b: ReqDirSyncAnswer 8")) << ::testing::PrintToString(loop.log);
        EXPECT_TRUE(b.has("one.vexas"));
        ASSERT_EQ(0u, a.sync.stop());
        loop.pump();
        ASSERT_EQ(ComControl::DIRSYNC_STOPPING, b.sync.getStatus());
        loop.log.clear();
    }
}

// ---- one synchroniser fed by hand ----

namespace {

struct Solo {
    Side side;
    std::unique_ptr<CapturePort> port;

    void setUp(const std::string& folder, bool notServerUnit = false)
    {
        side.setUp(folder, notServerUnit, true);
        port = std::make_unique<CapturePort>(side.sync);
        (void)side.sync.setPort(port.get());
    }
    ~Solo()
    {
        if (port) (void)side.sync.setPort(nullptr);
    }
    std::string feed(uint32_t id, uint32_t answer = 0, const char* file = nullptr, const char* dir = kDir)
    {
        return port->feed(dirCommand(id, dir, 240, answer, file));
    }
    // Target of an empty push, then told the initial transfer is complete.
    void synchronise()
    {
        ASSERT_EQ("StartDirSyncAnswer 0", feed(DSP::kStartDirSync));
        ASSERT_EQ("ComplitedDirAnswer 0", feed(DSP::kComplitedDir));
        ASSERT_TRUE(side.synchronized());
    }
};

}  // namespace

TEST(DirectorySynchronizerAloneTest, TheTargetDeletesOnlyNamesItAskedAboutExactly)
{
    TempFolder tmp;
    Solo target;
    target.setUp(tmp.file("t"));
    for (const char* name : {"a1.vexas", "a2.vexas", "keep.vexas"}) target.side.write(name, name);
    EXPECT_EQ("", target.feed(DSP::kStartDirSync));
    ASSERT_EQ(0u, target.side.sync.periodicHandle(50));
    std::vector<std::string> asked = target.port->sent;
    std::sort(asked.begin(), asked.end());
    EXPECT_EQ((std::vector<std::string>{"ExistFile a1.vexas", "ExistFile a2.vexas", "ExistFile keep.vexas"}), asked);
    // Names never asked about, patterns among them, select nothing.
    for (const char* name : {"*", "*.vexas", "a?.vexas", "other.vexas", ""}) {
        SCOPED_TRACE(name);
        EXPECT_EQ("", target.feed(DSP::kExistFileAnswer, 0x2000, name));
        EXPECT_EQ((std::vector<std::string>{"a1.vexas", "a2.vexas", "keep.vexas"}), target.side.names());
    }
    EXPECT_EQ("", target.feed(DSP::kExistFileAnswer, 0x2001, "keep.vexas"));
    EXPECT_EQ("", target.feed(DSP::kExistFileAnswer, 0x2000, "a1.vexas"));
    EXPECT_EQ("", target.feed(DSP::kExistFileAnswer, 0x2000, "a1.vexas"));  // settled already
    EXPECT_EQ("StartDirSyncAnswer 0", target.feed(DSP::kExistFileAnswer, 0x2000, "a2.vexas"));
    EXPECT_EQ((std::vector<std::string>{"keep.vexas"}), target.side.names());
}

TEST(DirectorySynchronizerAloneTest, TheSourceAnswersExistFileByExactName)
{
    TempFolder tmp;
    Solo source;
    source.setUp(tmp.file("s"));
    source.side.write("a1.vexas", "1");
    (void)source.side.sync.periodicHandle(50);  // lists nothing new: the listing was made at registration
    ASSERT_EQ(0u, source.side.sync.start(false));
    EXPECT_EQ("ExistFileAnswer a1.vexas 2001", source.feed(DSP::kExistFile, 0, "a1.vexas"));
    EXPECT_EQ("ExistFileAnswer * 2000", source.feed(DSP::kExistFile, 0, "*"));
    EXPECT_EQ("ExistFileAnswer a?.vexas 2000", source.feed(DSP::kExistFile, 0, "a?.vexas"));
    EXPECT_EQ("ExistFileAnswer  2000", source.feed(DSP::kExistFile, 0, "a1.vexas", "DCP"));
}

TEST(DirectorySynchronizerAloneTest, TheAssociationWalkVisitsEveryListedFileOnce)
{
    TempFolder tmp;
    fs::create_directories(tmp.file("s/sub"));
    for (const char* name : {"a.vexas", "b.vexas", "c.vexas"}) tmp.write("s/" + std::string(name), name);
    Solo solo;
    solo.setUp(tmp.file("s"));
    std::vector<std::string> walked;
    for (const char* name = solo.side.sync.getAssociationName(nullptr); name && walked.size() < 10;
         name = solo.side.sync.getAssociationName(name)) {
        walked.push_back(name);
    }
    std::sort(walked.begin(), walked.end());
    EXPECT_EQ((std::vector<std::string>{"a.vexas", "b.vexas", "c.vexas"}), walked);
    EXPECT_STREQ(solo.side.sync.getAssociationName(nullptr), solo.side.sync.getAssociationName("unknown"));
}

TEST(DirectorySynchronizerAloneTest, ACommandThatFoundNoRoomIsOfferedAgainByTheTick)
{
    TempFolder tmp;
    Solo solo;
    solo.setUp(tmp.file("s"));
    solo.port->room = 20;  // below the 41 bytes of the request
    ASSERT_EQ(0u, solo.side.sync.start(false));
    EXPECT_TRUE(solo.port->sent.empty());
    solo.port->room = 0x10000;
    ASSERT_EQ(0u, solo.side.sync.periodicHandle(50));
    EXPECT_EQ((std::vector<std::string>{"StartDirSync"}), solo.port->sent);

    // An answer of the receive path that does not fit waits the same way.
    Solo other;
    other.setUp(tmp.file("o"));
    other.port->room = 20;
    EXPECT_EQ("", other.feed(DSP::kReqDirSync));
    other.port->room = 0x10000;
    ASSERT_EQ(0u, other.side.sync.periodicHandle(50));
    EXPECT_EQ((std::vector<std::string>{"StartDirSync"}), other.port->sent);
}

TEST(DirectorySynchronizerAloneTest, TheTargetsAnswerWaitsBehindAnotherCommandInsteadOfGettingLost)
{
    TempFolder tmp;
    Solo target;
    target.setUp(tmp.file("t"));
    target.side.write("x.vexas", "x");
    EXPECT_EQ("", target.feed(DSP::kStartDirSync));
    ASSERT_EQ(0u, target.side.sync.periodicHandle(50));
    ASSERT_EQ((std::vector<std::string>{"ExistFile x.vexas"}), target.port->sent);
    target.port->room = 20;  // neither answer fits now
    EXPECT_EQ("", target.feed(DSP::kReqDirSync));
    EXPECT_EQ("", target.feed(DSP::kExistFileAnswer, 0x2001, "x.vexas"));
    target.port->room = 0x10000;
    ASSERT_EQ(0u, target.side.sync.periodicHandle(50));
    EXPECT_EQ((std::vector<std::string>{"ExistFile x.vexas", "ReqDirSyncAnswer 80000002", "StartDirSyncAnswer 0"}),
              target.port->sent);
    EXPECT_TRUE(target.side.has("x.vexas"));
}

TEST(DirectorySynchronizerAloneTest, RequestsThatDoNotFitTheStateAreRefused)
{
    TempFolder tmp;
    Solo solo;
    solo.setUp(tmp.file("s"));
    EXPECT_EQ(0u, solo.side.sync.stop());  // idle: nothing to stop
    EXPECT_TRUE(solo.port->sent.empty());
    EXPECT_EQ("ComplitedDirAnswer 80000002", solo.feed(DSP::kComplitedDir));
    EXPECT_EQ("StartDirSyncAnswer 80000003", solo.feed(DSP::kStartDirSync, 0, nullptr, "DCP"));
    EXPECT_EQ("ComplitedDirAnswer 80000003", solo.feed(DSP::kComplitedDir, 0, nullptr, "DCP"));
    EXPECT_EQ(DirectorySynchronizer::SYNC_IDLE, solo.side.sync.state());

    ASSERT_EQ("StartDirSyncAnswer 0", solo.feed(DSP::kStartDirSync));
    EXPECT_EQ(DirectorySynchronizer::SYNC_SYNCING, solo.side.sync.state());
    EXPECT_EQ(0x80000006u, solo.side.sync.start(false));
    EXPECT_EQ("StartDirSyncAnswer 80000003", solo.feed(DSP::kStartDirSync));
    EXPECT_EQ("ReqDirSyncAnswer 80000002", solo.feed(DSP::kReqDirSync));
    EXPECT_EQ("FinishDirSyncAnswer 0", solo.feed(DSP::kFinishDirSync));
    EXPECT_EQ(DirectorySynchronizer::SYNC_STOPPING, solo.side.sync.state());
    ASSERT_EQ(0u, solo.side.sync.periodicHandle(50));
    EXPECT_EQ(DirectorySynchronizer::SYNC_IDLE, solo.side.sync.state());

    // Stopped by this end: a start that crossed the stop on the way is refused, tick or not.
    solo.synchronise();
    ASSERT_EQ(0u, solo.side.sync.stop());
    EXPECT_EQ("StartDirSyncAnswer 80000003", solo.feed(DSP::kStartDirSync));
    EXPECT_EQ("ReqDirSyncAnswer 80000002", solo.feed(DSP::kReqDirSync));
    EXPECT_EQ(DirectorySynchronizer::SYNC_STOPPING, solo.side.sync.state());
    ASSERT_EQ(0u, solo.side.sync.periodicHandle(50));
    EXPECT_EQ(DirectorySynchronizer::SYNC_IDLE, solo.side.sync.state());

    // Without a port, or before the directory is registered.
    (void)solo.side.sync.setPort(nullptr);
    EXPECT_EQ(0x80000005u, solo.side.sync.start(false));
    EXPECT_EQ(0x80000005u, solo.side.sync.stop());
    DirectorySynchronizer bare;
    EXPECT_EQ(0x80000005u, bare.periodicHandle(50));
    EXPECT_EQ(0x80000005u, bare.onDirStatusChanged(FILECACHE::IVDirTreeCallback::REASON_ADDED, "x"));
    EXPECT_EQ(0x80000001u, bare.initialize(false, nullptr, 0, 0));
    ASSERT_EQ(0u, bare.initialize(false, nullptr, 0, 1));
    EXPECT_EQ(0x80000005u, bare.initialize(false, nullptr, 0, 1));
    const std::string folder = tmp.file("bare");
    EXPECT_EQ(0x80000001u, bare.registDirectory(nullptr, folder.c_str(), 10, 240, false, nullptr));
    EXPECT_EQ(0x80000001u, bare.registDirectory("D", folder.c_str(), 0, 240, false, nullptr));
    EXPECT_EQ(0x80000001u, bare.registDirectory("D", folder.c_str(), 10, 0, false, nullptr));
    EXPECT_EQ(0x80000001u, bare.registDirectory(std::string(24, 'n').c_str(), folder.c_str(), 10, 240, false, nullptr));
    EXPECT_EQ(0u, bare.registDirectory("D", folder.c_str(), 10, 240, false, nullptr));
    EXPECT_EQ(0x80000005u, bare.registDirectory("E", folder.c_str(), 10, 240, false, nullptr));
    EXPECT_TRUE(bare.isInitialized());
}

TEST(DirectorySynchronizerAloneTest, ASendThePeerRefusedAsBusyGoesBackToTheFront)
{
    struct Case {
        const char* what;
        ComControl::FileTransStatus status;
        uint32_t reason;
        bool notServerUnit;
        bool again;
    };
    const Case cases[] = {
        {"peer busy", ComControl::FILETRANS_SENDING, 0x80000002u, false, true},
        {"reason 4", ComControl::FILETRANS_SENDING, 0x80000004u, false, true},
        {"peer's file in use", ComControl::FILETRANS_SENDING, 0x80002001u, false, true},
        {"5 on a listening unit", ComControl::FILETRANS_SENDING, 0x80000005u, true, true},
        {"5 on a server unit", ComControl::FILETRANS_SENDING, 0x80000005u, false, false},
        {"another file error", ComControl::FILETRANS_SENDING, 0x80002000u, false, false},
        {"no failure bit", ComControl::FILETRANS_SENDING, 0x00000002u, false, false},
        {"receiving", ComControl::FILETRANS_RECEIVING, 0x80000002u, false, false},
    };
    TempFolder tmp;
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Solo solo;
        solo.setUp(tmp.file("s" + std::to_string(n++)), c.notServerUnit);
        solo.synchronise();
        ASSERT_EQ(0u, solo.side.sync.reserveSending("x.vexas", false));
        ASSERT_EQ(0u, solo.side.sync.reserveSending("y.vexas", false));
        EXPECT_EQ(DirectorySynchronizer::kNothingToDo, solo.side.sync.reserveSending("y.vexas", false));
        const int before = solo.side.observer.notifications;
        EXPECT_EQ(0u, solo.side.sync.notifyFileFailure("y.vexas", c.status, c.reason));
        const std::list<std::string> expected =
            c.again ? std::list<std::string>{"y.vexas", "x.vexas"} : std::list<std::string>{"x.vexas", "y.vexas"};
        EXPECT_EQ(expected, solo.side.sync.changeQueue());
        EXPECT_EQ(before + (JLIB::isFailure(c.reason) ? 1 : 0), solo.side.observer.notifications);
    }
}

TEST(DirectorySynchronizerAloneTest, AppendToListAddsOnceAndMovesToTheFrontOnRequest)
{
    std::list<std::string> list;
    EXPECT_EQ(0u, DirectorySynchronizer::appendToList("a", list, false));
    EXPECT_EQ(0u, DirectorySynchronizer::appendToList("b", list, false));
    EXPECT_EQ(0u, DirectorySynchronizer::appendToList("c", list, true));
    EXPECT_EQ(0x4001u, DirectorySynchronizer::appendToList("a", list, false));
    EXPECT_EQ((std::list<std::string>{"c", "a", "b"}), list);
    EXPECT_EQ(0u, DirectorySynchronizer::appendToList("b", list, true));
    EXPECT_EQ((std::list<std::string>{"b", "c", "a"}), list);
    EXPECT_EQ(0x80000001u, DirectorySynchronizer::appendToList(nullptr, list, true));
}

TEST(DirectorySynchronizerAloneTest, TheFileMonitorForwardsLastUpdatesAndReasonedCancels)
{
    class Recorder : public ComControl::IFileObserver {
    public:
        std::vector<std::string> calls;
        JLIB::JResult notifyFileComplete(const char* name, ComControl::FileTransStatus s) override
        {
            calls.push_back("complete " + std::string(name) + " " + std::to_string(s));
            return 0;
        }
        JLIB::JResult notifyFileFailure(const char* name, ComControl::FileTransStatus s, uint32_t r) override
        {
            calls.push_back("failure " + std::string(name) + " " + std::to_string(s) + " " + hexCode(r));
            return 0;
        }
    } recorder;
    DirectorySynchronizer::FileMonitor monitor(recorder);
    EXPECT_EQ(0u, monitor.start("f", ComControl::FILETRANS_SENDING, 10));
    EXPECT_EQ(0x80000000u, monitor.update("f", ComControl::FILETRANS_IDLE, 1, nullptr, 0, true));
    EXPECT_EQ(0u, monitor.update("f", ComControl::FILETRANS_SENDING, 1, nullptr, 0, false));
    EXPECT_EQ(0u, monitor.update("f", ComControl::FILETRANS_RECEIVING, 1, nullptr, 0, true));
    EXPECT_EQ(0x80000000u, monitor.cancel("f", ComControl::FILETRANS_IDLE, 2));
    EXPECT_EQ(0u, monitor.cancel("f", ComControl::FILETRANS_SENDING, 0));
    EXPECT_EQ(0u, monitor.cancel("f", ComControl::FILETRANS_SENDING, 0x80000002u));
    EXPECT_EQ((std::vector<std::string>{"complete f 2", "failure f 1 80000002"}), recorder.calls);
}

TEST(ReceivedStrategyTest, TheListHoldsNamesExactlyUntilCleared)
{
    ComControl::ReceivedListStrategy list;
    EXPECT_TRUE(list.isForgettable());
    EXPECT_EQ(0u, list.append("ab"));
    EXPECT_EQ(0u, list.append("ab"));
    EXPECT_EQ(1u, list.size());
    EXPECT_TRUE(list.isReceivedItem("ab"));
    EXPECT_FALSE(list.isReceivedItem("a*"));
    EXPECT_FALSE(list.isReceivedItem("a"));
    EXPECT_EQ(0x80000001u, list.append(nullptr));
    EXPECT_EQ(0u, list.clear());
    EXPECT_FALSE(list.isReceivedItem("ab"));
}

TEST(ReceivedStrategyTest, TheMapCountsAFileReceivedUntilItIsTouchedAgain)
{
    TempFolder tmp;
    FILECACHE::VDir listing(true);
    ASSERT_EQ(0u, listing.setBasePath(tmp.path().c_str(), 10, true));
    ComControl::ReceivedMapStrategy map(listing);
    EXPECT_FALSE(map.isForgettable());
    tmp.write("f.vexas", "f");
    const fs::path file = tmp.file("f.vexas");
    EXPECT_FALSE(map.isReceivedItem("f.vexas"));  // never received
    ASSERT_EQ(0u, map.append("f.vexas"));
    EXPECT_TRUE(map.isReceivedItem("f.vexas"));
    EXPECT_TRUE(map.isReceivedItem("f.vexas"));  // still counts: the entry stays
    fs::last_write_time(file, fs::last_write_time(file) - std::chrono::seconds(30));
    EXPECT_TRUE(map.isReceivedItem("f.vexas"));  // older than when it arrived
    ASSERT_EQ(0u, map.append("f.vexas"));
    fs::last_write_time(file, fs::last_write_time(file) + std::chrono::seconds(30));
    EXPECT_FALSE(map.isReceivedItem("f.vexas"));  // touched since: dropped
    EXPECT_EQ(0u, map.size());
    EXPECT_FALSE(map.isReceivedItem("f.vexas"));

    // A file removed at the peer's request counts while it stays away.
    fs::remove(file);
    ASSERT_EQ(0u, map.append("f.vexas"));
    EXPECT_TRUE(map.isReceivedItem("f.vexas"));
    tmp.write("f.vexas", "back");
    EXPECT_FALSE(map.isReceivedItem("f.vexas"));
    EXPECT_EQ(0u, map.clear());
    EXPECT_EQ(0u, map.size());
}

TEST(DirectoryUnitTest, DirectoryOperationsCheckTheirArguments)
{
    TempFolder tmp;
    LinkOwner owner;
    ComControl::ServerUnit unit;
    ComControl::FileAccessor files;
    ASSERT_EQ(0u, files.initialize(1, tmp.path().c_str(), 256, '/', nullptr));
    ComControl::DirSyncStatus status = ComControl::DIRSYNC_OTHER;
    EXPECT_EQ(0x80000003u, unit.registDirectory(0, "Snapshot", tmp.path().c_str(), 10, files, 240, nullptr));
    EXPECT_EQ(0x80000003u, unit.getVDirSyncStatus(&status, 0));
    ASSERT_EQ(0u, unit.selectDatabse(1));
    ASSERT_EQ(0u, unit.initialize(0, 1, 11, 1, 3, vcomtest::loopbackAddress(), owner, &owner, 0x100000));
    nameLikeTheEngine(unit);
    EXPECT_EQ(0x80000002u, unit.registDirectory(3, "Snapshot", tmp.path().c_str(), 10, files, 240, nullptr));
    EXPECT_EQ(0x80000002u, unit.registDirectory(1, nullptr, tmp.path().c_str(), 10, files, 240, nullptr));
    ComControl::T_DIRECTORY_INITIALIZE_OPTION option;
    option.mapStrategy = true;
    ASSERT_EQ(0u, unit.registDirectory(1, "Snapshot", tmp.path().c_str(), 2000, files, 240, &option));
    EXPECT_NE(nullptr, dynamic_cast<ComControl::ReceivedMapStrategy*>(unit.directory(1)->receivedStrategy()));
    EXPECT_EQ(files.isOpen(0), unit.directory(1)->transferer(0)->getAccessor()->isOpen(0));
    EXPECT_EQ(0x80000002u, unit.startVDirSync(1, 0));
    EXPECT_EQ(0x80000002u, unit.startVDirSync(1, 3));
    EXPECT_EQ(0x80000007u, unit.startVDirSync(1, 1));  // not connected: no port
    ASSERT_EQ(0u, unit.getVDirSyncStatus(&status, 1));
    EXPECT_EQ(ComControl::DIRSYNC_IDLE, status);
    EXPECT_EQ(0x80000002u, unit.getVDirSyncStatus(nullptr, 1));
    uint32_t listing = 7, changes = 7;
    EXPECT_EQ(0x80000002u, unit.getVDirSyncRequestedFileNum(&listing, &changes, 3));
    EXPECT_EQ(0u, listing);
    EXPECT_EQ(0u, changes);
    ComControl::T_PROGRESS_VALUE progress;
    ASSERT_EQ(0u, unit.getVDirSyncFileProgress(&progress, 1));
    EXPECT_STREQ("", progress.fileName);
    EXPECT_EQ(0x80000007u, unit.stopVDirSync(1));
}
