#include "comctrl/Core/comctrl_FileTransferer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "FileCache/TempFolder.h"
#include "FileTestSupport.h"
#include "comctrl/Core/comctrl_FileAccessor.h"

using ComControl::FileTransferer;
using comctrltest::LoopLink;
using comctrltest::RecordingMonitor;
namespace P = ComControl::FileTransfererProtocol;

namespace {

// Answers "file busy" for renames onto one destination while busy is set, as a file held open
// elsewhere would on a system that refuses to replace it.
class BusyDestinationAccessor : public ComControl::FileAccessor {
public:
    std::string busyPath;
    bool busy = true;
    JLIB::JResult rename(uint32_t slot, const char* oldPath, const char* newPath) override
    {
        if (busy && busyPath == newPath) return 0x80000004u;
        return FileAccessor::rename(slot, oldPath, newPath);
    }
};

std::string bytes(size_t n)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>('a' + i % 23);
    return s;
}

// Two transferers joined in one process, each with its own root.
class FileTransfererTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(m_tmp.file("a"));
        std::filesystem::create_directories(m_tmp.file("b"));
        ASSERT_EQ(0u, m_accA.initialize(1, m_tmp.file("a").c_str(), 256, '/', nullptr));
        ASSERT_EQ(0u, m_accB.initialize(1, m_tmp.file("b").c_str(), 256, '/', nullptr));
        setUp(m_a, 0, m_accA, m_monA);
        setUp(m_b, 1, m_accB, m_monB);
    }
    void setUp(FileTransferer& t, int32_t unit, ComControl::IFileAccessor& acc, RecordingMonitor& monitor)
    {
        (void)t.initialize(false, nullptr, unit);
        ASSERT_EQ(0u, t.setPortName("FC_R"));
        ASSERT_EQ(0u, t.setAccessor("Config", &acc, 240));
        (void)t.setProgressMonitor(&monitor);
    }
    std::vector<std::string> sends() const
    {
        std::vector<std::string> out;
        for (const std::string& e : m_link.log)
            if (e.rfind("a: Send ", 0) == 0) out.push_back(e.substr(3));
        return out;
    }

    TempFolder m_tmp;
    ComControl::FileAccessor m_accA;
    BusyDestinationAccessor m_accB;
    RecordingMonitor m_monA;
    RecordingMonitor m_monB;
    FileTransferer m_a;
    FileTransferer m_b;
    LoopLink m_link{m_a, m_b};
};

}  // namespace

TEST_F(FileTransfererTest, ChunksEndWithTheReadTheEndOfTheFileCutShort)
{
    struct Case { size_t size; std::vector<std::string> sends; };
    const Case cases[] = {
        {5000, {"Send 0+2048", "Send 2048+2048", "Send 4096+904 last"}},
        {4096, {"Send 0+2048", "Send 2048+2048", "Send 4096+0 last"}},
        {0, {"Send 0+0 last"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        m_link.log.clear();
        m_monA.calls.clear();
        m_monB.calls.clear();
        const std::string content = bytes(c.size);
        std::filesystem::create_directories(m_tmp.file("a/sub"));
        m_tmp.write("a/sub/f.bin", content);
        ASSERT_EQ(0u, m_a.transfer(false, "sub/f.bin"));
        EXPECT_EQ(ComControl::FILETRANS_SENDING, m_a.getStatus());
        ASSERT_TRUE(m_link.pump());
        EXPECT_EQ(c.sends, sends());
        EXPECT_EQ(content, m_tmp.read("b/sub/f.bin"));
        EXPECT_FALSE(std::filesystem::exists(m_tmp.file("b/TMP001FC_R")));
        EXPECT_EQ(ComControl::FILETRANS_IDLE, m_a.getStatus());
        EXPECT_EQ(ComControl::FILETRANS_IDLE, m_b.getStatus());
        ASSERT_FALSE(m_monA.calls.empty());
        EXPECT_EQ("start sub/f.bin 1 " + std::to_string(c.size), m_monA.calls.front());
        EXPECT_EQ("update sub/f.bin 1 " + std::to_string(c.size % 2048 == 0 && c.size ? 0 : c.size % 2048) + " h0 last",
                  m_monA.calls.back());
        EXPECT_EQ("start sub/f.bin 2 " + std::to_string(c.size), m_monB.calls.front());
        EXPECT_NE(std::string::npos, m_monB.calls.back().find(" last"));
    }
}

TEST_F(FileTransfererTest, SameHashIsAnsweredWithoutChunks)
{
    ASSERT_TRUE(comctrltest::writeContainer(m_tmp.file("a/c.mbdf"), 0x20));
    std::filesystem::copy_file(m_tmp.file("a/c.mbdf"), m_tmp.file("b/c.mbdf"));
    const uint32_t size = static_cast<uint32_t>(std::filesystem::file_size(m_tmp.file("a/c.mbdf")));
    ASSERT_EQ(0u, m_a.transfer(false, "c.mbdf"));
    ASSERT_TRUE(m_link.pump());
    EXPECT_EQ((std::vector<std::string>{"a: StartSend c.mbdf " + std::to_string(size) + " h16",
                                        "b: StartSendAnswer c.mbdf 2001"}),
              m_link.log);
    EXPECT_EQ("update c.mbdf 1 " + std::to_string(size) + " h16 last", m_monA.calls.back());
    EXPECT_TRUE(m_monB.calls.empty());

    // Another identity goes across.
    ASSERT_TRUE(comctrltest::writeContainer(m_tmp.file("a/c.mbdf"), 0x30));
    m_link.log.clear();
    ASSERT_EQ(0u, m_a.transfer(false, "c.mbdf"));
    ASSERT_TRUE(m_link.pump());
    EXPECT_FALSE(sends().empty());
    EXPECT_EQ(m_tmp.read("a/c.mbdf"), m_tmp.read("b/c.mbdf"));
}

TEST_F(FileTransfererTest, RequestedFileComesBackIntoTheTemporaryNameThenInPlace)
{
    m_tmp.write("b/CompileResult.json", "{\"ok\":true}");
    ASSERT_EQ(0u, m_a.transfer(true, "CompileResult.json"));
    EXPECT_EQ(ComControl::FILETRANS_RECEIVING, m_a.getStatus());
    ASSERT_TRUE(m_link.pump());
    EXPECT_EQ("a: ReqSend CompileResult.json", m_link.log.front());
    EXPECT_EQ("b: StartSend CompileResult.json 11 h0", m_link.log[1]);
    EXPECT_EQ("{\"ok\":true}", m_tmp.read("a/CompileResult.json"));
    EXPECT_FALSE(std::filesystem::exists(m_tmp.file("a/TMP000FC_R")));
    EXPECT_EQ("update CompileResult.json 2 11 h0 last", m_monA.calls.back());
}

TEST_F(FileTransfererTest, BusyDestinationWaitsUnderTheIncompleteNameUntilFree)
{
    m_accB.busyPath = "Snapshot/a.vexas";
    std::filesystem::create_directories(m_tmp.file("a/Snapshot"));
    ASSERT_EQ(0u, m_b.setPortName("d010"));
    m_tmp.write("a/Snapshot/a.vexas", bytes(3000));
    ASSERT_EQ(0u, m_a.transfer(false, "Snapshot/a.vexas"));
    ASSERT_TRUE(m_link.pump());
    EXPECT_EQ(bytes(3000), m_tmp.read("b/Snapshot/TMP001d010_a.vexas"));
    EXPECT_TRUE(m_b.hasTemporaryFiles());
    EXPECT_EQ(std::vector<std::string>{"Snapshot/TMP001d010_a.vexas"}, m_b.incompleteFiles().paths());
    EXPECT_EQ(0u, m_b.periodicHandle(50));
    EXPECT_FALSE(std::filesystem::exists(m_tmp.file("b/Snapshot/a.vexas")));
    m_accB.busy = false;
    m_monB.calls.clear();
    EXPECT_EQ(0u, m_b.periodicHandle(50));
    EXPECT_EQ(bytes(3000), m_tmp.read("b/Snapshot/a.vexas"));
    EXPECT_FALSE(m_b.hasTemporaryFiles());
    EXPECT_EQ(std::vector<std::string>{"update Snapshot/a.vexas 2 0 h0 last"}, m_monB.calls);
}

TEST_F(FileTransfererTest, SilentPeerEndsTheTransferAtThe102ndTick)
{
    m_link.deliverB = false;
    m_tmp.write("a/f.bin", bytes(10));
    ASSERT_EQ(0u, m_a.transfer(false, "f.bin"));
    ASSERT_TRUE(m_link.pump());
    for (int tick = 1; tick <= 101; ++tick) ASSERT_EQ(0u, m_a.periodicHandle(50)) << tick;
    EXPECT_EQ(ComControl::FILETRANS_SENDING, m_a.getStatus());
    EXPECT_EQ(0u, m_a.periodicHandle(50));
    EXPECT_EQ(ComControl::FILETRANS_IDLE, m_a.getStatus());
    EXPECT_EQ("cancel f.bin 1 0", m_monA.calls.back());
}

TEST_F(FileTransfererTest, OwnRequestsAreRefusedWhileBusyOrUnready)
{
    m_tmp.write("a/f.bin", bytes(10));
    FileTransferer lone;
    (void)lone.initialize(false, nullptr, 3);
    EXPECT_EQ(0x80000005u, lone.transfer(false, "f.bin"));
    EXPECT_EQ(0x80000002u, m_a.transfer(false, "missing.bin") & 0x8000000Fu);  // 0x80002002, not found
    EXPECT_EQ(0x80002002u, m_a.transfer(false, "missing.bin"));
    EXPECT_EQ(0x80000001u, m_a.transfer(false, ""));
    ASSERT_EQ(0u, m_a.transfer(false, "f.bin"));
    EXPECT_EQ(0x80000006u, m_a.transfer(false, "f.bin"));
    EXPECT_EQ(0x80000006u, m_a.remove("x"));
    bool receiving = true;
    uint32_t done = 1, size = 0;
    EXPECT_EQ(0u, m_a.getProgress(&receiving, &done, &size));
    EXPECT_FALSE(receiving);
    EXPECT_EQ(10u, size);
    EXPECT_EQ(0u, m_a.cancel());
    ASSERT_TRUE(m_link.pump());
    // b never heard of the transfer: it answers "another file" and both ends stay idle.
    EXPECT_EQ((std::vector<std::string>{"a: Cancel f.bin", "b: CancelAnswer f.bin 80000003"}), m_link.log);
    EXPECT_EQ(ComControl::FILETRANS_IDLE, m_a.getStatus());
}

TEST_F(FileTransfererTest, PeerRemovesAndCancels)
{
    m_tmp.write("b/old.txt", "x");
    ASSERT_EQ(0u, m_a.remove("old.txt"));
    EXPECT_EQ(ComControl::FILETRANS_REMOVING, m_a.getStatus());
    ASSERT_TRUE(m_link.pump());
    EXPECT_FALSE(std::filesystem::exists(m_tmp.file("b/old.txt")));
    EXPECT_EQ((std::vector<std::string>{"a: Remove old.txt", "b: RemoveAnswer old.txt 0"}), m_link.log);
    EXPECT_EQ(std::vector<std::string>{"update old.txt 4 0 h0 last"}, m_monA.calls);
    EXPECT_EQ((std::vector<std::string>{"start old.txt 3 0", "update old.txt 3 0 h0 last"}), m_monB.calls);
}

// A peer that names files outside the accessor's root is refused before anything happens.
TEST_F(FileTransfererTest, PeerNamesOutsideTheRootAreRefused)
{
    m_tmp.write("secret.txt", "secret");
    m_tmp.write("b/x", "x");
    struct Case { const char* name; bool remove; };
    const Case cases[] = {{"../secret.txt", false}, {"/etc/passwd", false}, {"a\\b", false},
                          {"../secret.txt", true}, {"sub/../../secret.txt", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_link.log.clear();
        if (c.remove) ASSERT_EQ(0u, m_a.remove(c.name));
        else ASSERT_EQ(0u, m_a.transfer(true, c.name));  // b is asked to send it
        ASSERT_TRUE(m_link.pump());
        ASSERT_EQ(2u, m_link.log.size());
        EXPECT_NE(std::string::npos, m_link.log[1].find(" 80002000"));
        EXPECT_EQ(ComControl::FILETRANS_IDLE, m_a.getStatus());
        EXPECT_EQ(ComControl::FILETRANS_IDLE, m_b.getStatus());
    }
    EXPECT_EQ("secret", m_tmp.read("secret.txt"));

    // A StartSend naming a destination outside: no folder, no file is created.
    uint8_t command[256];
    uint32_t length = 0;
    ASSERT_EQ(0u, P::Encode_StartSend(command, sizeof(command), &length, "Config", "../evil/f", 3, 240, nullptr, 0));
    uint8_t out[2388];
    uint32_t produced = 0;
    uint8_t flags = 0;
    ASSERT_EQ(0u, m_b.eventReceived(out, sizeof(out), &produced, command, length, &flags));
    EXPECT_EQ("StartSendAnswer ../evil/f 80002000",
              comctrltest::describe(std::string(reinterpret_cast<char*>(out), produced)));
    EXPECT_FALSE(std::filesystem::exists(m_tmp.file("evil")));
    EXPECT_EQ(ComControl::FILETRANS_IDLE, m_b.getStatus());
}

// An answer without room is queued once and the command is consumed; it used to be reported as
// "no room" too, so the port delivered the same command again and it ran twice.
TEST_F(FileTransfererTest, AnswerWithoutRoomIsQueuedAndTheCommandConsumed)
{
    uint8_t command[256];
    uint32_t length = 0;
    ASSERT_EQ(0u, P::Encode_StartSend(command, sizeof(command), &length, "Config", "n.bin", 4, 240, nullptr, 0));
    uint8_t small[16];
    uint32_t produced = 0;
    uint8_t flags = 0;
    EXPECT_EQ(0u, m_b.eventReceived(small, sizeof(small), &produced, command, length, &flags));
    EXPECT_EQ(ComControl::FILETRANS_RECEIVING, m_b.getStatus());
    EXPECT_EQ(std::vector<std::string>{"start n.bin 2 4"}, m_monB.calls);  // ran once

    uint8_t out[2388];
    bool more = true;
    ASSERT_EQ(0u, m_b.eventSend(out, sizeof(out), &produced, &more));
    EXPECT_EQ("StartSendAnswer n.bin 0", comctrltest::describe(std::string(reinterpret_cast<char*>(out), produced)));
    EXPECT_FALSE(more);
    produced = 0;
    ASSERT_EQ(0u, m_b.eventSend(out, sizeof(out), &produced, &more));
    EXPECT_EQ(0u, produced);  // nothing else queued
}

TEST_F(FileTransfererTest, UnexpectedCommandsGetProtocolAnswers)
{
    m_tmp.write("a/f.bin", bytes(5000));
    m_link.deliverB = false;
    ASSERT_EQ(0u, m_a.transfer(false, "f.bin"));
    ASSERT_TRUE(m_link.pump());

    struct Case { std::string command; std::string answer; };
    uint8_t buffer[256];
    uint32_t length = 0;
    auto make = [&](JLIB::JResult r) {
        EXPECT_EQ(0u, r);
        return std::string(reinterpret_cast<char*>(buffer), length);
    };
    const Case cases[] = {
        {make(P::Encode_StartSend(buffer, sizeof(buffer), &length, "Config", "f.bin", 1, 240, nullptr, 0)),
         "StartSendAnswer f.bin 80000005"},
        {make(P::Encode_StartSend(buffer, sizeof(buffer), &length, "Config", "g.bin", 1, 240, nullptr, 0)),
         "StartSendAnswer g.bin 80000002"},
        {make(P::Encode_StartSend(buffer, sizeof(buffer), &length, "Other", "g.bin", 1, 240, nullptr, 0)),
         "StartSendAnswer g.bin 80000003"},
        {make(P::Encode_Cancel(buffer, sizeof(buffer), &length, "Config", "g.bin", 240)), "CancelAnswer g.bin 80000003"},
        {make(P::Encode_Send(buffer, sizeof(buffer), &length, "Config", "f.bin", 0, nullptr, 0, true, 240)),
         "SendAnswer 0+0 80000002"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        uint8_t out[2388];
        uint32_t produced = 0;
        uint8_t flags = 0;
        ASSERT_EQ(0u, m_a.eventReceived(out, sizeof(out), &produced, reinterpret_cast<const uint8_t*>(c.command.data()),
                                        static_cast<uint32_t>(c.command.size()), &flags));
        EXPECT_EQ(c.answer, comctrltest::describe(std::string(reinterpret_cast<char*>(out), produced)));
        EXPECT_EQ(ComControl::FILETRANS_SENDING, m_a.getStatus());  // the transfer goes on
    }
}

TEST(FileTransfererStaticTest, ConversionsAndTemporaryNames)
{
    struct Case { JLIB::JResult in; JLIB::JResult out; };
    const Case accessor[] = {{0, 0}, {1, 0}, {0x80000004u, 0x80002001u}, {0x80000005u, 0x80002002u},
                             {0x80000007u, 0x80002004u}, {0x8000000Cu, 0x80002009u}, {0x8000000Du, 0x8000200Au},
                             {0x80000002u, 0x80002000u}, {0x80000003u, 0x80002000u}};
    for (const Case& c : accessor) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(c.out, FileTransferer::cnvAccessorErr(c.in));
    }
    const Case own[] = {{0x80002003u, 0x80002003u}, {0x80000002u, 0x8000200Au}, {0x80000003u, 0x80002006u},
                        {0x80000005u, 0x80002006u}, {0x80000001u, 0x80002000u}};
    for (const Case& c : own) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(c.out, FileTransferer::cnvOwnErr2CnpAnswer(c.in));
    }
    EXPECT_EQ(0x80000004u, FileTransferer::cnvOwnErr2CnpAnswer(0x80000002u, false));
    EXPECT_EQ(0x80000002u, FileTransferer::cnvOwnErr2CnpAnswer(0x80000005u, false));

    struct Name { const char* name; bool tmp; };
    const Name names[] = {{"TMP000FC_R", true}, {"Snapshot/TMP000d010_a.vexas", true}, {"x\\TMP123", true},
                          {"TMP000abcd", true}, {"TMP000abcde", false}, {"TMP00xFC_R", false}, {"TMP000.x_", false}, {"a/TMP", false},
                          {"TMP000ab_c", true}};
    for (const Name& n : names) {
        SCOPED_TRACE(n.name);
        EXPECT_EQ(n.tmp, FileTransferer::isTmpFile(n.name));
    }
}
