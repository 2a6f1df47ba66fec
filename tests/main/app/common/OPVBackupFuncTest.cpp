#include "common/OPVBackupFunc.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>

#include "FileCache/TempFolder.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "TMS/TMSystem.h"
#include "main/app/common/Lpc/LpcShippedDatabases.h"

namespace {

using OPV::OPVBackupFunc;

constexpr uint32_t kInterval = 10000;
constexpr uint32_t kStatus = 6;  // "Status": its first parameter is a plain number

std::atomic<uint32_t> g_now{0};
uint32_t fakeClock() { return g_now.load(); }

// The shipped databases, a backup of "Status" in a temporary folder on a clock the test sets, and
// the log of what the backup printed.
class OPVBackupFuncTest : public testing::Test {
protected:
    void SetUp() override
    {
        g_now = 5000;
        ASSERT_EQ("", m_databases.create());
        m_table.emplace_back(&PDB::gPDBCollection.getPDB(kStatus), 0);
        m_folder = m_temp.file("Current");
        ASSERT_EQ(0u, m_backup.initialize(m_folder.c_str(), "CurrentBackupFile.bup", "Vexalume", 0, m_table, kInterval));
    }

    static void setValue(uint32_t value)
    {
        ASSERT_EQ(0u, PDB::gPDBCollection.getPDB(kStatus).setUInt32(0, 0, 0, 0, value, 255));
    }
    static uint32_t value() { return PDB::gPDBCollection.getPDB(kStatus).getUInt32(0, 0, 0, 0, nullptr); }
    std::string file(const char* suffix = "") const { return m_folder + "/CurrentBackupFile.bup" + suffix; }
    static std::string read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // The database blocks of a backup file: the top block differs with every write.
    static std::string memories(const std::string& path)
    {
        const std::string content = read(path);
        const size_t at = content.find("#PDB DB");
        return at == std::string::npos ? std::string() : content.substr(at);
    }
    static bool sameMemories(const std::string& a, const std::string& b)
    {
        return !memories(a).empty() && memories(a) == memories(b);
    }
    static void write(const std::string& path, const std::string& content)
    {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
    }
    static size_t count(const std::string& log, const std::string& line)
    {
        size_t n = 0;
        for (size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1)) ++n;
        return n;
    }
    // Runs the call with the standard output captured; the output.
    template <typename F>
    static std::string logOf(F call)
    {
        testing::internal::CaptureStdout();
        call();
        std::fflush(stdout);
        return testing::internal::GetCapturedStdout();
    }

    TMS::TMSystem m_system;
    TempFolder m_temp;
    LpcTest::ShippedDatabases m_databases;
    PDB::PDBTable m_table;
    std::string m_folder;
    OPVBackupFunc m_backup{&fakeClock};
};

const char* const kWritten = "[i] OPVBackupFunc::backup - memory backuped. [CurrentBackupFile.bup]\n";

TEST_F(OPVBackupFuncTest, WritesKeepThePreviousFileAsOld)
{
    setValue(11);
    ASSERT_EQ(0u, m_backup.backup());
    EXPECT_TRUE(std::filesystem::exists(file()));
    EXPECT_FALSE(std::filesystem::exists(file(".old")));
    const std::string first = read(file());
    setValue(12);
    std::string log = logOf([&] { EXPECT_EQ(0u, m_backup.backup()); });
    EXPECT_EQ(1u, count(log, kWritten)) << log;
    EXPECT_EQ(first, read(file(".old")));
    EXPECT_FALSE(sameMemories(file(), file(".old")));
}

TEST_F(OPVBackupFuncTest, RestoreTakesTheFileThenTheOldCopyAndRewritesBoth)
{
    setValue(21);
    ASSERT_EQ(0u, m_backup.backupForcely());
    EXPECT_TRUE(sameMemories(file(), file(".old")));  // both writes hold the same memories

    // A good file: restored, then it becomes ".old" and a fresh file is written.
    setValue(22);
    std::string log = logOf([&] { EXPECT_EQ(0u, m_backup.restore()); });
    EXPECT_EQ(21u, value());
    EXPECT_EQ(1u, count(log, "[i] OPVBackupFunc::restore - Memories were restored from backup "
                             "file[CurrentBackupFile.bup].\n"))
        << log;
    EXPECT_EQ(1u, count(log, kWritten));

    // A damaged file with a good ".old": the old memories, both files written twice.
    write(file(), "not a backup");
    setValue(23);
    log = logOf([&] { EXPECT_EQ(0u, m_backup.restore()); });
    EXPECT_EQ(21u, value());
    EXPECT_EQ(1u, count(log, "[i] OPVBackupFunc::restore - Backup file was corruped when previous power-off. "
                             "Memories were restored from old backup file[CurrentBackupFile.bup.old].\n"))
        << log;
    EXPECT_EQ(2u, count(log, kWritten));
    EXPECT_TRUE(sameMemories(file(), file(".old")));
    EXPECT_FALSE(std::filesystem::exists(file(".damaged")));  // the old copy saved the memories
}

TEST_F(OPVBackupFuncTest, RestoreWithoutAnyGoodFileKeepsTheDamagedOneAndWritesBoth)
{
    struct Case {
        const char* name;
        const char* content;  // of the file; null: no file
    };
    const Case cases[] = {{"no file", nullptr}, {"damaged file", "garbage that is no container"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
        if (c.content) write(file(), c.content);
        setValue(31);
        const std::string log = logOf([&] { EXPECT_EQ(0u, m_backup.restore()); });
        EXPECT_EQ(31u, value());  // the databases keep what they hold
        EXPECT_EQ(1u, count(log, "[E] OPVBackupFunc::restore - Cannot restore memories from backup "
                                 "file[CurrentBackupFile.bup.old].\n"))
            << log;
        EXPECT_EQ(2u, count(log, kWritten));
        EXPECT_TRUE(std::filesystem::exists(file()));
        EXPECT_TRUE(sameMemories(file(), file(".old")));
        if (c.content) {
            EXPECT_EQ(c.content, read(file(".damaged")));
        } else {
            EXPECT_FALSE(std::filesystem::exists(file(".damaged")));
        }
        // The rewritten files restore.
        setValue(32);
        EXPECT_EQ(0u, m_backup.restore());
        EXPECT_EQ(31u, value());
    }
}

TEST_F(OPVBackupFuncTest, PendingWritesWaitForTheIntervalAcrossTheCounterWrap)
{
    struct Case {
        const char* name;
        uint32_t last;     // the clock at the last write
        uint32_t elapsed;  // since then
        bool mark;
        JLIB::JResult result;
        bool written;
    };
    const Case cases[] = {
        {"no mark, long after", 1000, 50000, false, 0, false},
        {"just before", 1000, kInterval - 1, true, 1, false},
        {"on time", 1000, kInterval, true, 0, true},
        {"wrapped, just before", 0xFFFFF000u, kInterval - 1, true, 1, false},
        {"wrapped, on time", 0xFFFFF000u, kInterval, true, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_now = c.last;
        ASSERT_EQ(0u, m_backup.backup());
        if (c.mark) EXPECT_EQ(0u, m_backup.requestBackup());
        g_now = c.last + c.elapsed;
        const std::string log = logOf([&] { EXPECT_EQ(c.result, m_backup.checkPendedBackup()); });
        EXPECT_EQ(c.written ? 1u : 0u, count(log, kWritten));
        EXPECT_EQ(c.mark && !c.written, m_backup.isPended());
    }
}

TEST_F(OPVBackupFuncTest, AFailedWriteKeepsTheMarkAndTheNextCheckRetriesAtOnce)
{
    ASSERT_EQ(0u, m_backup.backup());
    EXPECT_EQ(0u, m_backup.requestBackup());
    g_now += kInterval;
    // The folder replaced by a file: nothing can be written into it.
    std::filesystem::remove_all(m_folder);
    write(m_folder, "in the way");
    std::string log = logOf([&] { EXPECT_EQ(0x80000000u, m_backup.checkPendedBackup()); });
    EXPECT_EQ(1u, count(log, "[E] OPVBackupFunc::backup - Cannot backup memories[CurrentBackupFile.bup]!\n")) << log;
    EXPECT_TRUE(m_backup.isPended());

    std::filesystem::remove(m_folder);
    std::filesystem::create_directories(m_folder);
    g_now += 1;  // far less than an interval
    log = logOf([&] { EXPECT_EQ(0u, m_backup.checkPendedBackup()); });
    EXPECT_EQ(1u, count(log, kWritten)) << log;
    EXPECT_FALSE(m_backup.isPended());
}

TEST_F(OPVBackupFuncTest, WithoutAFileNameEveryFileOperationFails)
{
    OPVBackupFunc backup(&fakeClock);
    EXPECT_EQ(0x80000000u, backup.initialize(m_folder.c_str(), "", "Vexalume", 0, m_table, kInterval));
    EXPECT_EQ(0x80000000u, backup.initialize(m_folder.c_str(), nullptr, "Vexalume", 0, m_table, kInterval));
    EXPECT_EQ(0x80000000u, backup.backup());
    EXPECT_EQ(0x80000000u, backup.restore());
    EXPECT_EQ(0x80000000u, backup.backupForcely());
    EXPECT_EQ(0u, backup.requestBackup());
    g_now += kInterval;
    EXPECT_EQ(0x80000000u, backup.checkPendedBackup());
    EXPECT_TRUE(std::filesystem::is_empty(m_folder));
}

}  // namespace
