#include "DiagFramework/diagfrwk_DiagConsole.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "DiagTestSupport.h"
#include "MMS/Common/MmsTestHeap.h"
#include "MMS/Common/mms_Field.h"
#include "MMS/mms_ParseHandler.h"
#include "MMSFunc/config/mmsf_FieldCollectionForGW.h"
#include "TMS/SystemInfoNodeStruct.h"
#include "TMS/SystemThread.h"
#include "TMS/TMSystem.h"
#include "TMS/ThreadTestSupport.h"
#include "dbgc/DbgcConsoleTestSupport.h"
#include "devctrl/devctrl_InstanceBroker.h"
#include "devctrl/devctrl_MMSMutex.h"
#include "fsw/TempFolder.h"
#include "vsock/vsock.h"

namespace {

using namespace DbgcTest;
using DiagFramework::DiagResult;
using DiagTest::Worker;

const char kBanner[] = "####--- GW1/3/5 Diagnostics ---###\n";
const char* const kWorkers[] = {"DeviceControl", "GUIBridge", "HUI", "DSP", "SlotControl", "MIDI", "RecPlay"};

// A root thread that declares "RunMode", the console's owner "Diag" on a port of its own, every
// worker of the table, and an operator connected to the console.
class DiagConsoleTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(0, vsock_initModule());
        DiagFramework::setDiagFieldWriter(&m_field);
        m_port = pickPort();
        ASSERT_NE(0, m_port);
        m_diag = std::make_unique<DiagTest::DiagOwnerThread>(m_port);
        ASSERT_TRUE(TmsTest::setUpThread(*m_diag, "Diag", 0, 10));
        ASSERT_EQ(0u, m_diag->initializeResult);
        for (const char* name : kWorkers) {
            m_workers[name] = std::make_unique<Worker>();
            ASSERT_TRUE(TmsTest::setUpThread(*m_workers[name], name, 0, 10));
        }
        static const TMS::SystemInfoNodeStruct rows[] = {{"RunMode", 1, 0, 1, "0", "10", "0"}};
        m_root = std::make_unique<TmsTest::Recording<TMS::SystemThread>>(16);
        m_root->onInit = [this] {
            EXPECT_EQ(0u, m_root->addSystemInfo(rows, 1));
            EXPECT_EQ(0u, m_root->addThread(*m_diag));
            for (auto& worker : m_workers) EXPECT_EQ(0u, m_root->addThread(*worker.second));
        };
        ASSERT_TRUE(TmsTest::setUpThread(*m_root, "System"));
        ASSERT_EQ(0u, m_root->start(TMS::getNullDataMap()));
        ASSERT_TRUE(waitUntil([&] { return m_diag->getStatus() == TMS::kStatusRun; }));
        ASSERT_TRUE(m_operator.connect(m_port));
        ASSERT_TRUE(m_operator.waitFor(kBanner));
        EXPECT_EQ(kBanner, m_operator.take());
    }
    void TearDown() override
    {
        m_operator.close();
        if (m_root) {
            EXPECT_EQ(0u, m_root->release());
        }
        m_root.reset();
        m_workers.clear();
        m_diag.reset();
        DiagFramework::setDiagFieldWriter(nullptr);
        (void)DiagFramework::DiagLogger::getInstance().finalize();
        EXPECT_EQ(0, vsock_endModule());
    }

    Worker& worker(const std::string& name) { return *m_workers.at(name); }

    // Types the text and answers everything the console wrote up to and including `until`.
    std::string type(const std::string& text, const std::string& until)
    {
        if (!m_operator.type(text)) return "<send failed>";
        if (!m_operator.waitFor(until)) return "<timeout>" + m_operator.take();
        return m_operator.take();
    }

    int32_t runMode()
    {
        JVariant value;
        (void)m_root->getSysParam(value, "RunMode", 0);
        return value.toInt32();
    }

    // Opens the session and waits until every worker has heard of it.
    // By message it queues behind the messages sent before it.
    void openSession(bool byMessage = false)
    {
        if (byMessage) {
            ASSERT_EQ(0u, DiagFramework::sendDiagRequestMessage("DIAG_START"));
        } else {
            ASSERT_TRUE(m_operator.type("DIAG_START\n"));
        }
        for (const char* name : kWorkers) {
            ASSERT_TRUE(waitUntil([&] { return worker(name).journal.count("req DIAG_START 0") == 1; })) << name;
        }
        ASSERT_TRUE(waitUntil([&] { return runMode() == 2; }));
    }

    TMS::TMSystem m_system;
    DiagTest::RecordingFieldWriter m_field;
    uint16_t m_port = 0;
    std::unique_ptr<DiagTest::DiagOwnerThread> m_diag;
    std::map<std::string, std::unique_ptr<Worker>> m_workers;
    std::unique_ptr<TmsTest::Recording<TMS::SystemThread>> m_root;
    TcpClient m_operator;
};

TEST_F(DiagConsoleTest, SessionRunsACommandThroughItsWorkerAndReportsTheVerdict)
{
    openSession();
    EXPECT_EQ("PASS: RTC DeviceControl:0\n\n", type("  rtc \t\n", "\n\n"));
    // The verdict and its publication follow the printed text.
    ASSERT_TRUE(waitUntil([&] { return worker("DeviceControl").journal.lines().size() == 3; }));
    ASSERT_TRUE(waitUntil([&] { return m_field.journal.lines().size() == 4; }));
    EXPECT_EQ((std::vector<std::string>{"req DIAG_START 0", "req RTC 0", "res RTC 0 1 DeviceControl:0"}),
              worker("DeviceControl").journal.lines());
    EXPECT_EQ((std::vector<std::string>{"16 Diagnostics Control/CurrentCategory -1 1",
                                        "16 Diagnostics Control/CurrentCommand -1 10",
                                        "16 Diagnostics Command/Result 10 0", "16 Diagnostics Command/Result 10 1"}),
              m_field.journal.lines());

    ASSERT_TRUE(m_operator.type("DIAG_END\n"));
    ASSERT_TRUE(waitUntil([&] { return runMode() == 0; }));
    for (const char* name : kWorkers) {
        EXPECT_TRUE(waitUntil([&] { return worker(name).journal.count("req DIAG_END 0") == 1; })) << name;
    }
    // A second end still reaches every worker, without touching the run mode.
    ASSERT_TRUE(m_operator.type("diag_end\n"));
    EXPECT_TRUE(waitUntil([&] { return worker("RecPlay").journal.count("req diag_end 0") == 1; }));
}

TEST_F(DiagConsoleTest, StepsRunInTurnAndTheVerdictGoesOnceToEachThread)
{
    openSession();
    EXPECT_EQ("PASS: PIC_PORT DSP:0 RecPlay:1 DSP:2\n\n", type("PIC_PORT\n", "\n\n"));
    ASSERT_TRUE(waitUntil([&] { return worker("DSP").journal.lines().size() == 4; }));
    EXPECT_EQ((std::vector<std::string>{"req PIC_PORT 0", "req PIC_PORT 2", "res PIC_PORT 2 1 DSP:0 RecPlay:1 DSP:2"}),
              [&] {
                  std::vector<std::string> lines = worker("DSP").journal.lines();
                  lines.erase(lines.begin());  // DIAG_START
                  return lines;
              }());
    EXPECT_EQ(1u, worker("RecPlay").journal.count("req PIC_PORT 1"));
    EXPECT_TRUE(waitUntil([&] { return worker("RecPlay").journal.count("res PIC_PORT 2 1 DSP:0 RecPlay:1 DSP:2") == 1; }));
}

TEST_F(DiagConsoleTest, AStepThatDoesNotPassEndsTheCommandAtOnce)
{
    openSession();
    const struct {
        DiagResult result;
        const char* code;
    } cases[] = {{DiagResult::kNg, "0"}, {DiagResult::kNotProcessed, "0"}};
    for (const auto& c : cases) {
        worker("DeviceControl").setAnswer("VER_BOOT", c.result, "no boot");
        EXPECT_EQ("FAIL: VER_BOOT no boot\n\n", type("VER_BOOT\n", "\n\n"));
        const std::string verdict = std::string("res VER_BOOT 0 ") + c.code + " no boot";
        EXPECT_TRUE(waitUntil([&] { return worker("GUIBridge").journal.count(verdict) == 1; }));
        EXPECT_EQ(0u, worker("GUIBridge").journal.count("req VER_BOOT 1"));
        EXPECT_EQ("16 Diagnostics Command/Result 0 2", m_field.journal.lines().back());
        worker("GUIBridge").journal.clear();
    }
}

TEST_F(DiagConsoleTest, ResultsOutsideASessionAreIgnoredAndPassAnswersByHand)
{
    // Typed before any command: nothing happens.
    ASSERT_TRUE(m_operator.type("PASS\n"));
    worker("HUI").answering = false;
    ASSERT_TRUE(m_operator.type("LCD\n"));
    ASSERT_TRUE(waitUntil([&] { return worker("HUI").journal.count("req LCD 0") == 1; }));
    // The worker's answer while no session is open leaves the command running.
    ASSERT_EQ(0u, DiagFramework::DiagAccessor::replyDiagResult("LCD", 0, DiagResult::kNg, "early"));
    openSession(true);
    EXPECT_EQ("PASS: LCD \n\n", type("pass\n", "\n\n"));
    EXPECT_TRUE(waitUntil([&] { return worker("HUI").journal.count("res LCD 0 1 ") == 1; }));
    // A second command run by a thread for another: the current step is taken for it.
    ASSERT_TRUE(m_operator.type("BACKLIGHT\n"));
    ASSERT_TRUE(waitUntil([&] { return worker("HUI").journal.count("req BACKLIGHT 0") == 1; }));
    ASSERT_EQ(0u, DiagFramework::DiagAccessor::replyDiagResultByOtherThread(50, DiagResult::kOk, "seen"));
    EXPECT_EQ("PASS: BACKLIGHT seen\n\n", m_operator.waitFor("\n\n") ? m_operator.take() : "<timeout>");
}

TEST_F(DiagConsoleTest, WrongNamesAndStepsArePrintedAndChangeNothing)
{
    openSession();
    worker("DeviceControl").answering = false;
    EXPECT_EQ("DIAG COMMAND ERROR! VER_BOOT x\n", type("VER_BOOT x\n", "\n"));
    ASSERT_EQ(0u, DiagFramework::sendDiagSeqRequestMessage("Diag", "RTC", 1));
    EXPECT_EQ("DIAG SEQ ERROR! RTC [received seq = 1]\n", m_operator.waitFor("\n") ? m_operator.take() : "");
    ASSERT_TRUE(m_operator.type("RTC\n"));
    ASSERT_TRUE(waitUntil([&] { return worker("DeviceControl").journal.count("req RTC 0") == 1; }));
    ASSERT_EQ(0u, DiagFramework::DiagAccessor::replyDiagResult("RTC", 2, DiagResult::kOk, "late"));
    EXPECT_EQ("DIAG SEQ ERROR! RTC [received seq = 2]\n", m_operator.waitFor("\n") ? m_operator.take() : "");
    ASSERT_EQ(0u, DiagFramework::DiagAccessor::replyDiagResult("NOPE", 0, DiagResult::kOk, ""));
    EXPECT_EQ("DIAG COMMAND ERROR! NOPE\n", m_operator.waitFor("\n") ? m_operator.take() : "");
    // Still running at step 0.
    EXPECT_EQ("PASS: RTC ok\n\n", [&] {
        (void)DiagFramework::DiagAccessor::replyDiagResult("RTC", 0, DiagResult::kOk, "ok");
        return m_operator.waitFor("\n\n") ? m_operator.take() : "<timeout>";
    }());
}

TEST_F(DiagConsoleTest, ANewCommandAbortsTheRunningOneAndInitStopsAll)
{
    openSession();
    worker("HUI").answering = false;
    ASSERT_TRUE(m_operator.type("LCD\n"));
    ASSERT_TRUE(waitUntil([&] { return worker("HUI").journal.count("req LCD 0") == 1; }));
    EXPECT_EQ("The previous running command was aborted.\n", type("BACKLIGHT\n", "\n"));
    // The same command again starts over without a word.
    ASSERT_TRUE(m_operator.type("BACKLIGHT\n"));
    ASSERT_TRUE(waitUntil([&] { return worker("HUI").journal.count("req BACKLIGHT 0") == 2; }));
    ASSERT_TRUE(m_operator.type("DIAG_INIT\n"));
    for (const char* name : kWorkers) {
        EXPECT_TRUE(waitUntil([&] { return worker(name).journal.count("req DIAG_INIT 0") == 1; })) << name;
    }
    // The stopped command ignores its result; the next command still reports the abort.
    ASSERT_EQ(0u, DiagFramework::DiagAccessor::replyDiagResult("BACKLIGHT", 0, DiagResult::kOk, "gone"));
    EXPECT_EQ("The previous running command was aborted.\n", type("LCD\n", "\n"));
    EXPECT_EQ("", m_operator.take());
}

TEST_F(DiagConsoleTest, EchoAndLineEditing)
{
    // The switch itself is not echoed; what follows is.
    ASSERT_TRUE(m_operator.type("ECHO ON\n"));
    // Backspace on an empty line echoes nothing; on a non-empty line backspace, blank, backspace.
    EXPECT_EQ("ab\b \bc\r\nDIAG COMMAND ERROR! ac\n", type("\x7f" "ab\bc\r", "ERROR! ac\n"));
    ASSERT_TRUE(m_operator.type("echo off\n"));
    ASSERT_TRUE(m_operator.waitFor("echo off\n"));
    (void)m_operator.take();
    // 85 characters keep 79.
    const std::string line(85, 'Z');
    EXPECT_EQ("DIAG COMMAND ERROR! " + std::string(79, 'Z') + "\n", type(line + "\n", "Z\n"));
    // Two lines in one chunk both run; after an empty line the third waits for the next reading
    // pass, which the transport raises for the bytes left: nothing is lost.
    EXPECT_EQ("DIAG COMMAND ERROR! A\nDIAG COMMAND ERROR! B\nDIAG COMMAND ERROR! C\n", type("A\nB\n\nC\n", "C\n"));
}

TEST_F(DiagConsoleTest, ThreadRequestsReachTheRequesterAndOutputAndLogWork)
{
    openSession();
    worker("DSP").setAnswer("PLL", DiagResult::kOk, "locked");
    // A thread outside the table asks for a command that "DSP" carries out: both get the verdict.
    struct Asker : TMS::AbstractThread {
        Asker() : TMS::AbstractThread(4) {}
        ~Asker() override
        {
            if (getTaskId() != kNoId) (void)release();
        }
        DiagTest::Journal journal;
        JLIB::JResult onReceiveMessage(const TMS::AbstractMessage& message) override
        {
            if (message.messageId() == 7) {
                journal.add("sent " + std::to_string(DiagFramework::DiagAccessor::sendDiagRequest(23)));
                (void)DiagFramework::DiagAccessor::outputMessage("hello from the asker");
            } else if (message.messageId() == DiagFramework::kDiagResultMessageId) {
                journal.add("res " + DiagTest::text(message, "CommandName") + " " +
                            std::to_string(message.data("Result").toInt32()) + " " + DiagTest::text(message, "Message"));
            }
            return 0;
        }
    } asker;
    ASSERT_TRUE(TmsTest::setUpThread(asker, "Asker", 0, 10));
    ASSERT_EQ(0u, asker.start(TMS::getNullDataMap()));
    TMS::AbstractMessage go;
    ASSERT_EQ(0u, go.initialize(TMS::kMessageUser, 7));
    ASSERT_EQ(0u, go.send(asker));
    ASSERT_TRUE(m_operator.waitFor("PASS: PLL locked\n\n"));
    ASSERT_TRUE(m_operator.waitFor("hello from the asker\n"));
    EXPECT_TRUE(waitUntil([&] { return asker.journal.count("res PLL 1 locked") == 1; }));
    EXPECT_EQ(1u, asker.journal.count("sent 0"));
    EXPECT_TRUE(waitUntil([&] { return worker("DSP").journal.count("res PLL 0 1 locked") == 1; }));

    // The log holds what was received and printed; the owner saves it on request.
    char log[DiagFramework::DiagLogger::kCapacity + 1];
    ASSERT_GT(DiagFramework::DiagAccessor::getDiagLog(log, sizeof log), 1u);
    const std::string held = log;
    EXPECT_NE(std::string::npos, held.find("DIAG_START\nPLL\n"));
    EXPECT_NE(std::string::npos, held.find("PASS: PLL locked\n\n"));
    TempFolder folder;
    ASSERT_TRUE(folder.ok());
    const std::string path = folder.path("diag.log");
    TMS::AbstractMessage save;
    ASSERT_EQ(0u, save.initialize(TMS::kMessageUser, 0));
    ASSERT_EQ(0u, save.addData("CommandName", "SaveDiagLog"));
    ASSERT_EQ(0u, save.addData("Path", path.c_str()));
    ASSERT_EQ(0u, save.send("Diag"));
    ASSERT_TRUE(waitUntil([&] { return m_diag->saved.count("0") == 1; }));
    EXPECT_EQ(held, readText(path).substr(0, held.size()));
    EXPECT_EQ(0u, asker.release());
}

// The product's publication: no writer installed, so the values go through the console family's
// field table into the field registered for its "Diagnostics" row.
TEST_F(DiagConsoleTest, PublishesIntoTheFieldRegisteredForTheDiagnosticsRow)
{
    DiagFramework::setDiagFieldWriter(nullptr);
    static const char kXml[] =
        "<function name=\"Top\" collections=\"3\" parameters=\"3\" stringsize=\"64\" version=\"01.00.00\">"
        "<collections><collection name=\"Control\">"
        "<parameter name=\"CurrentCategory\" type=\"int32_t\"><minimum>-1</minimum><maximum>99</maximum>"
        "<default>-1</default></parameter>"
        "<parameter name=\"CurrentCommand\" type=\"int32_t\"><minimum>-1</minimum><maximum>999</maximum>"
        "<default>-1</default></parameter></collection>"
        "<collection name=\"Command\">"
        "<parameter name=\"Result\" type=\"int32_t\" arraysize=\"137\"><minimum>0</minimum><maximum>9</maximum>"
        "<default>9</default></parameter>"
        "</collection></collections></function>";
    (void)MmsTest::heap1();
    DeviceControl::MMSMutex fieldLock("DiagFldPrm", "DiagFldCtrl");
    MMS::Field field(nullptr, &fieldLock, nullptr, nullptr, nullptr);
    ASSERT_EQ(0u, MMS::XmlParser::Parse(&field, "Diag", 5, "Diagnostics", 12, kXml, sizeof kXml,
                                        MMS::BUILD_OPTION_FINISH, nullptr, 0));
    DeviceControl::MMSInstanceBroker& broker = DeviceControl::MMSInstanceBroker::getInstance();
    static DeviceControl::MMSMutex brokerLock("DiagBrkPrm", "DiagBrkCtrl");  // the broker keeps it
    ASSERT_EQ(0u, broker.initialize(brokerLock, nullptr));
    ASSERT_EQ(0u, broker.registerMmsInstance(&field, "Diagnostics",
                                             DeviceControl::MMSInstanceBroker::PERMISSION_ALL_WRITE, 0));
    MMSFUNC::FieldCollectionForGW table;
    ASSERT_EQ(0u, table.initialize());
    ASSERT_EQ(&field, table.field(16));

    // Element `channel` of the last level; INT32_MIN when the read fails.
    auto read = [&](const char* address, uint32_t channel) {
        const uint32_t indexes[2] = {0, channel};
        JVariant value;
        const uint32_t r = field.getPrm(&value, nullptr, "Diagnostics", address,
                                        static_cast<uint32_t>(strlen(address)), indexes, 2, 0, 0);
        return (r & 0x80000000u) ? INT32_MIN : value.toInt32();
    };
    auto published = [&](int32_t category, int32_t command, int32_t result) {
        return read("Control/CurrentCategory", 0) == category && read("Control/CurrentCommand", 0) == command &&
               read("Command/Result", static_cast<uint32_t>(command)) == result;
    };

    openSession();
    // While the step runs the command is current with result 0; a hand PASS makes it 1.
    worker("DeviceControl").answering = false;
    ASSERT_TRUE(m_operator.type("RTC\n"));
    EXPECT_TRUE(waitUntil([&] { return published(1, 10, 0); }));
    EXPECT_EQ("PASS: RTC \n\n", type("PASS\n", "\n\n"));
    EXPECT_TRUE(waitUntil([&] { return published(1, 10, 1); }));
    // A failing command of another category publishes 2 in its own element.
    worker("DSP").setAnswer("PLL", DiagResult::kNg, "unlocked");
    EXPECT_EQ("FAIL: PLL unlocked\n\n", type("PLL\n", "\n\n"));
    EXPECT_TRUE(waitUntil([&] { return published(2, 23, 2); }));
    EXPECT_EQ(1, read("Command/Result", 10));
    EXPECT_EQ(9, read("Command/Result", 11));  // untouched elements keep their default

    DiagFramework::setDiagFieldWriter(&m_field);  // nothing reaches the field past this point
    ASSERT_EQ(0u, table.finalize());
    MMS::IField* handedBack = nullptr;
    EXPECT_EQ(0u, broker.unregisterMmsInstance(&handedBack, "Diagnostics"));
}

}  // namespace
