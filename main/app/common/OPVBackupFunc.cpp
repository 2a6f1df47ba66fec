#include "common/OPVBackupFunc.h"

#include "FileCache/fcache_FileAccessor.h"
#include "FileCache/fcache_MBDF.h"
#include "jlib/jlib_cfg.h"
#include "oswrap/oswrap_time.h"

namespace OPV {

namespace {

constexpr const char* kOldSuffix = ".old";
constexpr const char* kDamagedSuffix = ".damaged";

}  // namespace

uint32_t OPVBackupFunc::systemClock()
{
    uint32_t now = 0;
    (void)oswrap_Get1msCount(&now);  // cannot fail once the OS layer is up; 0 otherwise
    return now;
}

OPVBackupFunc::OPVBackupFunc(Clock clock)
    : m_IsPended(false), m_LastBackupTime(0), m_Interval(0), m_clock(clock ? clock : &systemClock)
{
}

std::string OPVBackupFunc::filePath() const
{
    if (!hasFileName()) return {};
    return FILECACHE::MBDF::makeFullPath(m_Directory.c_str(), m_FileName.c_str());
}

JLIB::JResult OPVBackupFunc::initialize(const char* folder, const char* fileName, const char* productName,
                                        uint32_t productVersion, const PDB::PDBTable& table, uint32_t intervalMs)
{
    if (!fileName || !*fileName) return JLIB::kFailed;
    m_Directory = folder ? folder : "";
    m_FileName = fileName;
    // The owner always names the product; a refused container shows at the first write.
    (void)m_BackupFile.initialize(productName, productVersion, table, m_Directory.c_str());
    m_LastBackupTime = m_clock();
    m_Interval = intervalMs;
    return JLIB::kOk;
}

JLIB::JResult OPVBackupFunc::backup()
{
    if (!hasFileName()) return JLIB::kFailed;
    const std::string path = filePath();
    const std::string oldPath = path + kOldSuffix;
    if (FILECACHE::FileAccessor::isExist(oldPath.c_str()) &&
        JLIB::isFailure(FILECACHE::FileAccessor::remove(oldPath.c_str(), false))) {
        JLIB_LOG("[E] OPVBackupFunc::backup - Cannot remove old backup file[%s]!\n", (m_FileName + kOldSuffix).c_str());
    }
    if (FILECACHE::FileAccessor::isExist(path.c_str()) &&
        JLIB::isFailure(FILECACHE::FileAccessor::rename(path.c_str(), oldPath.c_str()))) {
        JLIB_LOG("[E] OPVBackupFunc::backup - Cannot rename previous backup file[%s]!\n", path.c_str());
    }
    if (JLIB::isFailure(m_BackupFile.exportToFile(m_FileName.c_str()))) {
        JLIB_LOG("[E] OPVBackupFunc::backup - Cannot backup memories[%s]!\n", m_FileName.c_str());
        return JLIB::kFailed;
    }
    JLIB_LOG("[i] OPVBackupFunc::backup - memory backuped. [%s]\n", m_FileName.c_str());
    m_IsPended = false;
    m_LastBackupTime = m_clock();
    return JLIB::kOk;
}

void OPVBackupFunc::keepDamagedCopy(const std::string& path) const
{
    if (!FILECACHE::FileAccessor::isExist(path.c_str()) || FILECACHE::FileAccessor::isDir(path.c_str())) return;
    // One copy only: the newest damage replaces an earlier one.
    const std::string damaged = path + kDamagedSuffix;
    if (FILECACHE::FileAccessor::isExist(damaged.c_str())) (void)FILECACHE::FileAccessor::remove(damaged.c_str(), false);
    if (JLIB::isFailure(FILECACHE::FileAccessor::copy(path.c_str(), damaged.c_str()))) {
        JLIB_LOG("[E] OPVBackupFunc::restore - Cannot keep the damaged backup file[%s]!\n",
                 (m_FileName + kDamagedSuffix).c_str());
        return;
    }
    JLIB_LOG("[W] OPVBackupFunc::restore - The damaged backup file is kept as [%s].\n",
             (m_FileName + kDamagedSuffix).c_str());
}

JLIB::JResult OPVBackupFunc::restore()
{
    if (!hasFileName()) return JLIB::kFailed;
    const std::string oldName = m_FileName + kOldSuffix;
    if (JLIB::isSuccess(m_BackupFile.importFromFile(m_FileName.c_str()))) {
        JLIB_LOG("[i] OPVBackupFunc::restore - Memories were restored from backup file[%s].\n", m_FileName.c_str());
        (void)backup();  // a failed write is logged and retried by the next request
    } else {
        const bool fromOld = JLIB::isSuccess(m_BackupFile.importFromFile(oldName.c_str()));
        if (fromOld) {
            JLIB_LOG("[i] OPVBackupFunc::restore - Backup file was corruped when previous power-off. Memories were "
                     "restored from old backup file[%s].\n",
                     oldName.c_str());
        } else {
            JLIB_LOG("[E] OPVBackupFunc::restore - Cannot restore memories from backup file[%s].\n", oldName.c_str());
            // Both writes below replace the file: keep what was there for a later look.
            keepDamagedCopy(filePath());
        }
        (void)backup();  // as above
        (void)backup();
    }
    m_LastBackupTime = m_clock();
    return JLIB::kOk;
}

JLIB::JResult OPVBackupFunc::requestBackup()
{
    m_IsPended = true;
    return JLIB::kOk;
}

bool OPVBackupFunc::isTimerExpired() const { return uint32_t(m_clock() - m_LastBackupTime) >= m_Interval; }

JLIB::JResult OPVBackupFunc::checkPendedBackup()
{
    if (!m_IsPended) return JLIB::kOk;
    if (!isTimerExpired()) return kPending;
    return backup();
}

JLIB::JResult OPVBackupFunc::backupForcely()
{
    if (!hasFileName()) return JLIB::kFailed;
    (void)backup();  // each failure is logged; the second write tries again
    (void)backup();
    return JLIB::kOk;
}

}  // namespace OPV
