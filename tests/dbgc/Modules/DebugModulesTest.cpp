// The four command modules behind a real TCP console: a root thread "System" with the console
// thread, "DeviceControl" and "Compiler" as children, the database "AudioCompo" (instance id 10)
// with one component of a small definition, and a plain TCP client typing the commands.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "PDB/pdb_ComponentInfoJSON.h"
#include "PDB/pdb_ComponentInfoRepository.h"
#include "PDB/pdb_Mutex.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "TMS/SystemThread.h"
#include "TMS/TMSystem.h"
#include "TMS/ThreadRepository.h"
#include "TMS/ThreadTestSupport.h"
#include "dbgc/DbgcConsoleTestSupport.h"
#include "dbgc/Modules/dbgc_ComponentModule.h"
#include "dbgc/Modules/dbgc_DebugModuleTable.h"
#include "dbgc/Modules/dbgc_ThreadModule.h"
#include "dbgc/dbgc_stdapi.h"
#include "jlib/JVariant.h"
#include "vsock/vsock.h"

namespace {

using namespace DbgcTest;

constexpr uint32_t kAudioCompo = 10;
constexpr const char* kFailure = "Error: Module=%s, ResultCode=-2147483648(0x80000000)\n";

std::string failure(const char* module)
{
    char line[128];
    std::snprintf(line, sizeof line, kFailure, module);
    return line;
}

// One parameter of each kind; the component is 2 x 1.
const char kDefinition[] = R"({"component": {"name": "ConsoleTest", "majorVer": 1, "minX": 1, "maxX": 4, "minY": 1,
  "maxY": 1, "commentX": "ch", "parameters": [
  {"strAddress": "Gain", "type": "UINT32", "patternX": "*1", "commentX": "ch", "min": "0", "max": "1000",
   "def": "10", "step": "5", "scaling": 10, "unit": "dB", "kind": "Level", "defUI": "1.0",
   "attr": {"recallable": true, "nonvolatile": true}},
  {"strAddress": "Offset", "type": "SINT32", "min": "-50", "max": "50", "def": "-5"},
  {"strAddress": "Freq", "type": "FLOAT", "min": "-100", "max": "20000", "def": "1000.5"},
  {"strAddress": "On", "type": "BOOL", "max": "1", "def": "0"},
  {"strAddress": "Name", "type": "STRING", "max": "16", "def": "abc"},
  {"strAddress": "Blob", "type": "BINARY", "max": "3"}]}})";

// What a receiving thread was sent: "sender: key=value ..." in key order; texts quoted.
std::string describe(const TMS::AbstractMessage& message)
{
    std::string text = std::string(message.fromWhere()) + " " + std::to_string(message.messageType()) + "/" +
                       std::to_string(message.messageId()) + ":";
    for (const auto& [key, value] : message.arguments()) {
        text += std::string(" ") + key.text() + "=";
        if (value.getType() == JVariant::kTypeString) text += std::string("\"") + value.toString() + "\"";
        else if (value.getType() == JVariant::kTypeUInt32) text += std::to_string(value.toUInt32());
        else text += "?";
    }
    return text;
}

class RootThread : public TmsTest::Recording<TMS::SystemThread> {
public:
    RootThread() : TmsTest::Recording<TMS::SystemThread>(1) {}
    JLIB::JResult release() override
    {
        if (!TMS::getCurrentThread().isNull()) record(std::string("release by ") + TMS::getCurrentThread().getThreadName());
        return TmsTest::Recording<TMS::SystemThread>::release();
    }
};

class DebugModulesTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(0, vsock_initModule());
        m_port = m_portHold.port();
        ASSERT_NE(0, m_port);
        m_console = std::make_unique<ConsoleThread>(DBGC::gDebugModuleTable, DBGC::getDebugModuleTableSize(), m_port);
        for (TmsTest::RecordingThread* receiver : {&m_deviceControl, &m_compiler}) {
            receiver->onUserMessage = [this, receiver](const TMS::AbstractMessage& message) {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_messages[receiver->getThreadName()].push_back(describe(message));
            };
        }
        ASSERT_TRUE(TmsTest::setUpThread(*m_console, "DebugConsole", 1, 100));
        ASSERT_TRUE(TmsTest::setUpThread(m_deviceControl, "DeviceControl", 2, 100));
        ASSERT_TRUE(TmsTest::setUpThread(m_compiler, "Compiler", 5, 100));
        m_root.onInit = [this] {
            for (TMS::AbstractThread* child : std::vector<TMS::AbstractThread*>{m_console.get(), &m_deviceControl, &m_compiler}) {
                EXPECT_EQ(0u, m_root.addThread(*child));
            }
        };
        ASSERT_TRUE(TmsTest::setUpThread(m_root, "System", 0, 100));
        ASSERT_EQ(0u, m_root.start(TMS::getNullDataMap()));
        ASSERT_TRUE(waitUntil([&] { return m_root.getPhase() == TMS::SystemThread::kPhaseAllStarted; }));
        ASSERT_EQ(0u, m_console->startConsole());
        ASSERT_TRUE(waitUntil([&] { return m_client.connect(m_port); }));
        ASSERT_TRUE(m_client.waitFor("Top>"));
        (void)m_client.take();
    }

    void TearDown() override
    {
        m_client.close();
        EXPECT_EQ(0u, m_root.release());
        m_console.reset();
        if (PDB::gPDBCollection.getPDB(kAudioCompo).isValid()) {
            EXPECT_EQ(0u, PDB::destroyPDB(kAudioCompo));
        }
        EXPECT_EQ(0, vsock_endModule());
    }

    // Database 10 with component 7 of the test definition, 2 x 1.
    void makeDatabase()
    {
        const PDB::ComponentInfo info = PDB::parseComponentInfoJSON(kDefinition);
        ASSERT_TRUE(info.isValid());
        const JLIB::JResult added = PDB::getComponentInfoRepository().addComponentInfo(info);
        ASSERT_TRUE(added == 0 || added == PDB::ComponentInfoRepository::kAlreadyRegistered) << added;
        ASSERT_EQ(0u, PDB::createPDB(kAudioCompo, "AudioCompo", &m_dbLock, 0));
        ASSERT_EQ(0u, PDB::gPDBCollection.getPDB(kAudioCompo).addComponent(PDB::UniqId(7), "ConsoleTest", 1, 2, 1, 0));
    }

    std::vector<std::string> messagesOf(const std::string& thread)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_messages[thread];
    }

    TMS::TMSystem m_system;  // first: outlives the threads
    PDB::SimpleReadWriteMutex m_dbLock;
    PortHold m_portHold;
    uint16_t m_port = 0;
    RootThread m_root;
    TmsTest::RecordingThread m_deviceControl{5};
    TmsTest::RecordingThread m_compiler{1};
    std::unique_ptr<ConsoleThread> m_console;
    TcpClient m_client;
    std::mutex m_mutex;
    std::map<std::string, std::vector<std::string>> m_messages;
};

const std::vector<std::string> kComponentEditHelp = {
    "add2 [id] [name] [ver] [num_x] [num_y] : Add component. [id]=UniqId, [name]=component name, [ver]=component "
    "major version, [num_x] [num_y]=component size\n",
    "del2 [id]                              : Delete component. [id]=UniqId\n",
    "add  [id] [name] [ver] [num_x] [num_y] : Add component. [id]=UniqId, [name]=component name, [ver]=component "
    "major version, [num_x] [num_y]=component size\n",
    "del  [id]                              : Delete component. [id]=UniqId\n",
    "show [id]                              : Show all parameters. [id]=UniqId\n",
    "get  [id] [addr_str] [x] [y]           : Get parameter value. [id]=UniqId, [addr_str]=parameter address "
    "string, [x] [y]=parameter index\n",
    "set  [id] [addr_str] [x] [y] [val]     : Set parameter value (except Binary).  [id]=UniqId, "
    "[addr_str]=parameter address string, [x] [y]=parameter index [val]=value\n",
    "set  [id] [addr_str] [x] [y] [val(0)] [val(1)] ... [val(N-1)] : Set parameter value (Binary).  [val]=byte "
    "value (2 digit, hexadecimal without '0x' prefix)\n",
};

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) text += line;
    return text;
}

TEST_F(DebugModulesTest, HelpOfEveryModuleIsExact)
{
    const std::string top =
        "Top Command help -----------------\n"
        "＜共通コマンドヘルプ＞\n"
        "?                   :ヘルプファイル表示 \n"
        "moduleName          :サブモジュールに移動 \n"
        "/moduleName ...     :コマンドの絶対パス指定 \n"
        "..                  :標準モジュールに戻る \n"
        "log                 :デバッグ出力制御 \n"
        "logm                :デバッグ出力一括制御 \n"
        "; or : or #         :コメント（これより右側は実行しない） \n"
        "shutdown            :システム終了 \n"
        "\n"
        "＜モジュール一覧＞\n"
        "Top         基本コマンド\n"
        "Thread      Threadコマンド\n"
        "Component   Componentコマンド\n"
        "PDB         PDBコマンド\n"
        "\n";
    const std::string thread =
        "Thread Command help -----------------\n"
        " (STA_IDX:start index, END_IDX:end index)\n"
        "help | ?                                                :help\n"
        "tlist                                                   :thread list\n"
        "tlog  {ThreadName|TaskID} [STA_IDX(dec)] [END_IDX(dec)] :thread log\n"
        "tlogc {ThreadName|TaskID}                               :thread log clear\n"
        "\n";
    const std::string component =
        "help | ?                               : This help\n" + joined(kComponentEditHelp) +
        "\n"
        "addconnection    [id_from] [port_from] [id_to] [port_to] : Add Audio Connection.\n"
        "removeconnection [id_from] [port_from] [id_to] [port_to] : Remove Audio Connection.\n"
        "\n"
        "compile                                : Compile the config data.\n"
        "eraseconfig                            : Erase the current config data.\n"
        "applyconfig                            : Apply the config file.\n"
        "\n"
        "setupprocessing [fs_hz] [num_sample_per_frame] [render_samples] : Send setupbuffer and changefs commands to "
        "Player.\n"
        "addcomponent [id]                                               : Send addcomponent and setcoef commands to "
        "Player. (Use after add2)\n"
        "addtoplaylist [play_list_no] [id] [pre_id]                      : Send addtoplaylist command to Player.\n"
        "connect [id_from] [port_from] [id_to] [port_to]                 : Send connect command to Player.\n"
        "startprocessing                                                 : Send startprocessing command to Player.\n"
        "stopprocessing                                                  : Send stopprocessing command to Player.\n"
        "resetcpuinfo                                                    : Send resetcpuinfo command to Player.\n"
        "shutdown                                                        : Send shutdown command to Player.\n"
        "beginconfig                                                     : Send beginconfig command to Player.\n"
        "endconfig                                                       : Send endconfig command to Player.\n"
        "\n"
        "getcoef [id] [coef_id] [pos1] [pos2] [pos3]                     : Get coef value.\n"
        "getrawmeter [id] [meter_id] [pos1] [pos2] [pos3]                : Get raw meter value.\n"
        "\n";
    const std::string pdb = "help | ?                               : This help\n"
                            "save [pdb_id] [file_name]              : Save PDB file.\n"
                            "load [pdb_id] [file_name]              : Load PDB file.\n" +
                            joined(kComponentEditHelp) + "\n";
    struct Case {
        const char* line;
        std::string expected;
    };
    const Case cases[] = {
        {"help", top},          {"/top ?", top},   {"/Thread HELP", thread}, {"/Thread ?", thread},
        {"/Component help", component}, {"/pdb ?", pdb}, {"/PDB help", pdb},
    };
    EXPECT_EQ(4u, DBGC::getDebugModuleTableSize());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(c.expected, m_client.command(c.line));
    }
}

TEST_F(DebugModulesTest, EmptyAndUnknownCommandsFailOnlyWhereTheModuleSaysSo)
{
    struct Case {
        const char* line;
        std::string expected;
    };
    const Case cases[] = {
        {"/Top", failure("Top")},
        {"/Thread", failure("Thread")},
        {"/Component", failure("Component")},
        {"/PDB", failure("PDB")},
        {"logm", ""},
        {"bogus 1 2", ""},
        {"/Thread bogus", ""},
        {"/Component bogus", failure("Component")},
        {"/PDB bogus 1 2", failure("PDB")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(c.expected, m_client.command(c.line));
    }
    EXPECT_EQ(0u, m_root.count("release by DebugConsole"));
}

TEST_F(DebugModulesTest, ShutdownReleasesTheWholeTreeFromTheRoot)
{
    EXPECT_EQ("", m_client.command("/Component shutdown"));  // the player's shutdown, not the system's
    EXPECT_EQ(0u, m_root.count("release by DebugConsole"));
    m_client.type("SHUTDOWN\n");
    EXPECT_EQ(0u, m_root.waitForRelease());
    EXPECT_EQ(1u, m_root.count("release by DebugConsole"));
    for (TMS::AbstractThread* thread : std::vector<TMS::AbstractThread*>{m_console.get(), &m_deviceControl, &m_compiler}) {
        EXPECT_EQ(TMS::AbstractThread::kNoId, thread->getTaskId());
    }
}

TEST_F(DebugModulesTest, ThreadListShowsEveryThreadInNameOrder)
{
    const std::string answer = m_client.command("/Thread tlist");
    std::string expectedStart = "  [ ThreadName ] [TaskID] [LogSize] [ElapseCount] [Status]\n";
    ASSERT_EQ(0u, answer.compare(0, expectedStart.size(), expectedStart)) << answer;
    size_t at = expectedStart.size();
    const std::vector<TMS::AbstractThread*> threads = {&m_compiler, m_console.get(), &m_deviceControl, &m_root};
    for (TMS::AbstractThread* thread : threads) {
        SCOPED_TRACE(thread->getThreadName());
        char prefix[128];
        std::snprintf(prefix, sizeof prefix, "  %-16s %4d        %2d     ", thread->getThreadName(),
                      static_cast<int>(thread->getTaskId()), static_cast<int>(thread->logger().size()));
        ASSERT_EQ(0u, answer.compare(at, std::strlen(prefix), prefix)) << answer.substr(at);
        at += std::strlen(prefix);
        const std::string count = answer.substr(at, 10);  // the elapse count, right-aligned
        ASSERT_EQ(10u, count.size());
        EXPECT_NE(std::string::npos, count.find_first_of("0123456789"));
        EXPECT_EQ(std::string::npos, count.find_first_not_of(" 0123456789")) << count;
        at += 10;
        ASSERT_EQ(0u, answer.compare(at, 7, "   RUN\n")) << answer.substr(at);
        at += 7;
    }
    EXPECT_EQ(answer.size(), at) << answer;
}

TEST_F(DebugModulesTest, ThreadLogShowsClampedRangesAndRefusesBadOnes)
{
    ASSERT_EQ(0u, m_deviceControl.logger().clear());
    for (int i = 0; i < 5; ++i) (void)m_deviceControl.outputLog("line %d\n", i);
    ASSERT_EQ(5u, m_deviceControl.logger().size());
    const std::string head = "[THREAD:DeviceControl]\n";
    const std::string taskId = std::to_string(m_deviceControl.getTaskId());
    struct Case {
        std::string line;
        std::string expected;
    };
    const Case cases[] = {
        {"/Thread tlog DeviceControl", head + "00)line 0\n01)line 1\n02)line 2\n03)line 3\n04)line 4\n"},
        {"/Thread tlog DeviceControl 3", head + "03)line 3\n04)line 4\n"},
        {"/Thread tlog DeviceControl 2 99", head + "02)line 2\n03)line 3\n04)line 4\n"},
        {"/Thread tlog " + taskId + " 1 1", head + "01)line 1\n"},
        {"/Thread tlog devicecontrol 4", failure("Thread")},  // names are exact
        {"/Thread tlog DeviceControl 1 2 x", head + "01)line 1\n02)line 2\n03)line 3\n04)line 4\n"},
        {"/Thread tlog DeviceControl 4 1", failure("Thread")},
        {"/Thread tlog DeviceControl 7", failure("Thread")},
        {"/Thread tlog DeviceControl 99999999999", failure("Thread")},
        {"/Thread tlog DeviceControl 0 99999999999", failure("Thread")},
        {"/Thread tlog Nobody", failure("Thread")},
        {"/Thread tlog 65537", failure("Thread")},
        {"/Thread tlog", failure("Thread")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(c.expected, m_client.command(c.line));
    }
}

TEST_F(DebugModulesTest, ThreadLogClearNamesTheThreadItEmptied)
{
    (void)m_deviceControl.outputLog("kept until cleared\n");
    ASSERT_LT(0u, m_deviceControl.logger().size());
    EXPECT_EQ("[THREAD:DeviceControl] logs clear\n", m_client.command("/Thread tlogc DeviceControl"));
    EXPECT_EQ(0u, m_deviceControl.logger().size());
    EXPECT_EQ("[THREAD:NullThread] logs clear\n", m_client.command("/Thread tlogc Nobody"));
    EXPECT_EQ(failure("Thread"), m_client.command("/Thread tlogc"));
}

TEST_F(DebugModulesTest, GetThreadTakesNamesWithLettersAndTaskIdsOtherwise)
{
    struct Case {
        std::string token;
        TMS::AbstractThread* expected;
    };
    const Case cases[] = {
        {"DeviceControl", &m_deviceControl},
        {std::to_string(m_compiler.getTaskId()), &m_compiler},
        {"0" + std::to_string(m_compiler.getTaskId()), &m_compiler},
        {std::to_string(m_compiler.getTaskId() + 65536), &TMS::getNullThread()},
        {"Nobody", &TMS::getNullThread()},
        {std::to_string(m_compiler.getTaskId()) + "x", &TMS::getNullThread()},  // a letter: a name
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.token);
        EXPECT_EQ(c.expected, &DBGC::getThread(DBGC::StringElement(c.token.c_str())));
    }
    const char* const names[] = {"UNINITIALIZED", "OPENING", "STOP", "RUN", "PAUSE", "CLOSING", "CLOSED", "DESTROY",
                                 "UNKNOWN"};
    for (uint32_t status = 0; status < 9; ++status) EXPECT_STREQ(names[status], DBGC::threadStatus(status));
    EXPECT_STREQ("UNKNOWN", DBGC::threadStatus(0xFFFFFFFFu));
}

TEST_F(DebugModulesTest, MessageCommandsReachTheirThreadsWithTheirValues)
{
    struct Case {
        const char* line;
        std::string answer;
    };
    const Case cases[] = {
        {"/Component add2 7 Gain 2 3 4", ""},
        {"/Component del2 7", ""},
        {"/Component add 8 \"Eq band\" 1 2 x1", ""},
        {"/Component del 8", ""},
        {"/Component addconnection 1 2 3 4", ""},
        {"/Component removeconnection 5 6 7 8", ""},
        {"/Component compile", ""},
        {"/Component eraseconfig", ""},
        {"/Component applyconfig", ""},
        // No player threads exist: their messages go nowhere and succeed.
        {"/Component setupprocessing 48000 64 32", ""},
        {"/Component getrawmeter 1 2 3 4 5", ""},
        {"/Component muteon", ""},
        {"/Component getrawmeter 1 2 3 4", failure("Component")},
        {"/Component add2 7 Gain 2 3", failure("Component")},
        {"/Component addconnection 1 2 3", failure("Component")},
        {"/Component del", failure("Component")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(c.answer, m_client.command(c.line));
    }
    const std::vector<std::string> deviceControl = {
        "DebugConsole 2/0: CommandName=\"addAudioComponent\" ComponentName=\"Gain\" MajorVersion=2 NumX=3 NumY=4 "
        "UniqID=7",
        "DebugConsole 2/0: CommandName=\"removeAudioComponent\" UniqID=7",
        "DebugConsole 2/0: CommandName=\"AddComponent\" ComponentName=\"Eq band\" NumX=2 NumY=0 UniqId=8 Version=1",
        "DebugConsole 2/0: CommandName=\"DelComponent\" UniqId=8",
        "DebugConsole 2/0: CommandName=\"addConnection\" fromPortNo=2 fromUniqId=1 toPortNo=4 toUniqId=3",
        "DebugConsole 2/0: CommandName=\"removeConnection\" fromPortNo=6 fromUniqId=5 toPortNo=8 toUniqId=7",
        "DebugConsole 2/0: CommandName=\"eraseConfig\"",
        "DebugConsole 2/0: CommandName=\"applyConfig\"",
    };
    const std::vector<std::string> compiler = {"DebugConsole 2/0: CommandName=\"startCompile\""};
    EXPECT_TRUE(waitUntil([&] { return messagesOf("DeviceControl").size() >= deviceControl.size(); }));
    EXPECT_TRUE(waitUntil([&] { return messagesOf("Compiler").size() >= compiler.size(); }));
    EXPECT_EQ(deviceControl, messagesOf("DeviceControl"));
    EXPECT_EQ(compiler, messagesOf("Compiler"));
}

TEST_F(DebugModulesTest, SaveAndLoadPassNamesInsideTheUserFolderAsTyped)
{
    struct Case {
        const char* line;
        std::string answer;
    };
    const Case cases[] = {
        {"/PDB save 3 proj/a.prj", ""},
        {"/PDB LOAD 4 b.prj", ""},
        {"/PDB save 5 ..x/y", ""},  // a name that merely begins with two dots
        {"/PDB save 3 ../x.prj", failure("PDB")},
        {"/PDB save 3 a/../../x.prj", failure("PDB")},
        {"/PDB load 3 ..", failure("PDB")},
        {"/PDB load 3 /etc/passwd", failure("PDB")},
        {"/PDB load 3 a\\b.prj", failure("PDB")},
        {"/PDB save 3", failure("PDB")},
        {"/PDB load", failure("PDB")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(c.answer, m_client.command(c.line));
    }
    const std::vector<std::string> expected = {
        "DebugConsole 2/0: CommandName=\"SaveProject\" FilePath=\"proj/a.prj\" PDBID=3",
        "DebugConsole 2/0: CommandName=\"LoadProject\" FilePath=\"b.prj\" PDBID=4",
        "DebugConsole 2/0: CommandName=\"SaveProject\" FilePath=\"..x/y\" PDBID=5",
    };
    EXPECT_TRUE(waitUntil([&] { return messagesOf("DeviceControl").size() >= expected.size(); }));
    EXPECT_EQ(expected, messagesOf("DeviceControl"));
}

TEST_F(DebugModulesTest, ShowListsEveryParameterOfTheComponentTheSameEachTime)
{
    makeDatabase();
    const std::string expected =
        "strAddress:[Gain] type:[14] areaTag:[00] flags:[0f] size:[4]\n"
        "  X: pattern:[10000001] comment:[ch] num:[2]\n"
        "  Y: pattern:[00000001] comment:[] num:[1]\n"
        "  min:[0] max:[1000] def:[10] nominal:[] step:[5]\n"
        "  scaling:[10] unit:[dB] paramKind:[Level] defUI:[1.0]\n"
        "strAddress:[Offset] type:[24] areaTag:[00] flags:[0f] size:[4]\n"
        "  X: pattern:[00000001] comment:[] num:[1]\n"
        "  Y: pattern:[00000001] comment:[] num:[1]\n"
        "  min:[-50] max:[50] def:[-5] nominal:[] step:[1]\n"
        "  scaling:[1] unit:[] paramKind:[] defUI:[]\n"
        "strAddress:[Freq] type:[34] areaTag:[00] flags:[0f] size:[4]\n"
        "  X: pattern:[00000001] comment:[] num:[1]\n"
        "  Y: pattern:[00000001] comment:[] num:[1]\n"
        "  min:[-100.000000] max:[20000.000000] def:[1000.500000] nominal:[] step:[1.000000]\n"
        "  scaling:[1] unit:[] paramKind:[] defUI:[]\n"
        "strAddress:[On] type:[41] areaTag:[00] flags:[0f] size:[1]\n"
        "  X: pattern:[00000001] comment:[] num:[1]\n"
        "  Y: pattern:[00000001] comment:[] num:[1]\n"
        "  min:[0] max:[1] def:[0] nominal:[] step:[1]\n"
        "  scaling:[1] unit:[] paramKind:[] defUI:[]\n"
        "strAddress:[Name] type:[50] areaTag:[00] flags:[0f] size:[16]\n"
        "  X: pattern:[00000001] comment:[] num:[1]\n"
        "  Y: pattern:[00000001] comment:[] num:[1]\n"
        "  min:[0] max:[0] def:[abc] nominal:[] step:[0]\n"
        "  scaling:[0] unit:[] paramKind:[] defUI:[]\n"
        "strAddress:[Blob] type:[60] areaTag:[00] flags:[0f] size:[3]\n"
        "  X: pattern:[00000001] comment:[] num:[1]\n"
        "  Y: pattern:[00000001] comment:[] num:[1]\n"
        "  min:[0] max:[0] def:[0] nominal:[] step:[0]\n"
        "  scaling:[0] unit:[] paramKind:[] defUI:[]\n";
    EXPECT_EQ(expected, m_client.command("/Component show 7"));
    EXPECT_EQ(expected, m_client.command("/component SHOW 7"));
    EXPECT_EQ("", m_client.command("/Component show 99"));  // no such component: nothing, no failure
    EXPECT_EQ(failure("Component"), m_client.command("/Component show"));
}

TEST_F(DebugModulesTest, SetWritesByKindAndGetReadsBack)
{
    makeDatabase();
    const std::string at = " UniqID:7 ComponentIdx:0 AddressIdx:";
    struct Case {
        const char* set;
        std::string setAnswer;
        const char* get;
        std::string getAnswer;
    };
    const Case cases[] = {
        {"/Component set 7 Gain 1 0 42", "set component value:" + at + "0 x:1 y:0 value:[42]\n",
         "/Component get 7 Gain 1 0", "get component value:" + at + "0 x:1 y:0 value:[42]\n"},
        {"/Component set 7 Offset 0 0 -7", "set component value:" + at + "1 x:0 y:0 value:[-7]\n",
         "/Component get 7 Offset 0 0", "get component value:" + at + "1 x:0 y:0 value:[-7]\n"},
        {"/Component set 7 Freq 0 0 1.5", "set component value:" + at + "2 x:0 y:0 value:[1.5]\n",
         "/Component get 7 Freq 0 0", "get component value:" + at + "2 x:0 y:0 value:[1.500000]\n"},
        {"/Component set 7 On 0 0 7", "set component value:" + at + "3 x:0 y:0 value:[7]\n",
         "/Component get 7 On 0 0", "get component value:" + at + "3 x:0 y:0 value:[1]\n"},
        {"/Component set 7 Name 0 0 \"hi there\"", "set component value:" + at + "4 x:0 y:0 value:[hi there]\n",
         "/Component get 7 Name 0 0", "get component value:" + at + "4 x:0 y:0 value:[hi there]\n"},
        {"/Component set 7 Blob 0 0 0A FF 1FF", "set component value:" + at + "5 x:0 y:0 value:[0A]\n",
         "/Component get 7 Blob 0 0", "get component value:" + at + "5 x:0 y:0 value:[0A FF FF ]\n"},
        // A float token without a number is refused and the value stays.
        {"/Component set 7 Freq 0 0 abc", "set component value:" + at + "2 x:0 y:0 value:[abc]\n" + failure("Component"),
         "/Component get 7 Freq 0 0", "get component value:" + at + "2 x:0 y:0 value:[1.500000]\n"},
        {"/Component set 7 Freq 0 0 -.", "set component value:" + at + "2 x:0 y:0 value:[-.]\n" + failure("Component"),
         "/Component get 7 Freq 0 0", "get component value:" + at + "2 x:0 y:0 value:[1.500000]\n"},
        {"/Component set 7 Freq 0 0 -2.25kHz", "set component value:" + at + "2 x:0 y:0 value:[-2.25kHz]\n",
         "/Component get 7 Freq 0 0", "get component value:" + at + "2 x:0 y:0 value:[-2.250000]\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.set);
        EXPECT_EQ(c.setAnswer, m_client.command(c.set));
        EXPECT_EQ(c.getAnswer, m_client.command(c.get));
    }
}

TEST_F(DebugModulesTest, DatabaseCommandsReportWhatTheyCannotDo)
{
    makeDatabase();
    struct Case {
        const char* line;
        std::string answer;
    };
    const Case cases[] = {
        // The line is written whatever the outcome.
        {"/Component set 99 Gain 0 0 1",
         "set component value: UniqID:99 ComponentIdx:-1 AddressIdx:-1 x:0 y:0 value:[1]\n" + failure("Component")},
        {"/Component set 7 Nothing 0 0 1",
         "set component value: UniqID:7 ComponentIdx:0 AddressIdx:-1 x:0 y:0 value:[1]\n" + failure("Component")},
        // The database reads an address it does not have as an empty value.
        {"/Component get 7 Nothing 0 0", "get component value: UniqID:7 ComponentIdx:0 AddressIdx:-1 x:0 y:0 value:[]\n"},
        {"/Component set 7 Freq 1 0 5", "set component value: UniqID:7 ComponentIdx:0 AddressIdx:2 x:1 y:0 value:[5]\n" +
                                            std::string("Error: Module=Component, ResultCode=-2147483647(0x80000001)\n")},
        {"/Component get 7 Gain 0", failure("Component")},
        {"/Component set 7 Gain 0 0", failure("Component")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(c.answer, m_client.command(c.line));
    }
}

TEST(ConvJVariantToStringTest, ReplacesTheTextWithTheValueInItsForm)
{
    const unsigned char bytes[] = {0x0A, 0xFF, 0x00};
    struct Case {
        const char* name;
        JVariant value;
        const char* text;
    };
    const Case cases[] = {
        {"Int32", JVariant(-5), "-5"},
        {"UInt32", JVariant(4294967295u), "4294967295"},
        {"Float", JVariant(1.5f), "1.500000"},
        {"negative Float", JVariant(-0.25f), "-0.250000"},
        {"large Float", JVariant(1.0e10f), "10000000000.000000"},
        {"small Float", JVariant(0.1f), "0.100000"},
        {"String", JVariant("abc", 16), "abc"},
        {"Binary", JVariant(bytes, 3), "0A FF 00 "},
        {"invalid", JVariant(), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string text = "previous text";
        EXPECT_EQ(0u, DBGC::convJVariantToString(c.value, text));
        EXPECT_EQ(c.text, text);
    }
}

// A thread that prints while it holds the database's lock must not stop the console: "show" reads
// the database before it takes the output lock, and the transport delivers outside its own lock.
TEST_F(DebugModulesTest, PrintingUnderTheDatabaseLockNeverStopsTlistOrShow)
{
    makeDatabase();
    PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(kAudioCompo);
    StdoutSilencer silence;  // the printer's flood
    std::atomic<bool> stop{false};
    std::atomic<uint32_t> prints{0};
    std::thread printer([&] {
        while (!stop) {
            (void)db.writeLock();
            (void)dbgPrintf("tick %u\n", prints.load());
            (void)db.writeUnlock();
            ++prints;
            std::this_thread::yield();
        }
    });

    // A prompt may be dropped while the printer fills the connection; an empty line asks for
    // another. No prompt at all for 10 s means the console is stuck.
    const auto answered = [&](const char* line) {
        (void)m_client.take();
        if (!m_client.type(line)) return false;
        for (int retry = 0; retry < 5; ++retry) {
            if (m_client.waitFor("Top>", 2s)) return true;
            if (!m_client.type("\n")) return false;
        }
        return false;
    };
    const auto end = std::chrono::steady_clock::now() + 10s;
    int commands = 0;
    bool stuck = false;
    while (!stuck && std::chrono::steady_clock::now() < end) {
        stuck = !answered(commands % 2 == 0 ? "/Thread tlist\n" : "/Component show 7\n");
        ++commands;
    }
    stop = true;
    if (stuck) {
        silence.restore();
        ADD_FAILURE() << "the console is stuck after " << commands << " commands and " << prints.load() << " prints";
        std::abort();  // the threads cannot be joined
    }
    printer.join();
    silence.restore();
    EXPECT_LT(10, commands);
    EXPECT_LT(100u, prints.load());
}

}  // namespace
