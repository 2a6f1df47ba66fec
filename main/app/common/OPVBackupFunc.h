#pragma once
// One memory backup file for a fixed list of databases: restored at start-up with a fallback to
// the copy of the previous write (".old"), written on demand with that rotation, and written by
// pending requests at most once per interval. Used only on its owner's task; no lock of its own
// (the databases lock inside the container operations).
#include <cstdint>
#include <string>

#include "PDB/pdb_BackupFile.h"
#include "jlib/jlib_result.h"

namespace OPV {

class OPVBackupFunc {
public:
    // Millisecond counter; wraps at 2^32.
    using Clock = uint32_t (*)();
    // The process's millisecond counter (0 when it cannot be read).
    static uint32_t systemClock();

    static constexpr JLIB::JResult kPending = 1;

    explicit OPVBackupFunc(Clock clock = &systemClock);
    OPVBackupFunc(const OPVBackupFunc&) = delete;
    OPVBackupFunc& operator=(const OPVBackupFunc&) = delete;

    // A null or empty file name: 0x80000000 and nothing changes. A null folder stands for the
    // empty one; a missing folder is created. The table is copied.
    [[nodiscard]] JLIB::JResult initialize(const char* folder, const char* fileName, const char* productName,
                                           uint32_t productVersion, const PDB::PDBTable& table, uint32_t intervalMs);
    // Restores the databases from the file, else from ".old", then rewrites (once after a good
    // file, twice otherwise). When neither can be read an existing file is first kept as
    // "<file>.damaged". 0x80000000 only when not initialised.
    [[nodiscard]] JLIB::JResult restore();
    // Writes the file, keeping the previous one as ".old". 0 or 0x80000000 (the pending mark and
    // the last time then stay as they were).
    [[nodiscard]] JLIB::JResult backup();
    // Marks a write as pending; 0.
    JLIB::JResult requestBackup();
    // 0 when nothing is pending, 1 when pending within the interval, else backup()'s result.
    [[nodiscard]] JLIB::JResult checkPendedBackup();
    // Whether the interval has passed since the last time, wrap-safe.
    bool isTimerExpired() const;
    // Writes twice, so the file and ".old" hold the same memories; 0, or 0x80000000 when not
    // initialised.
    JLIB::JResult backupForcely();

    bool isPended() const { return m_IsPended; }
    // Folder, "/" and file name; empty when not initialised.
    std::string filePath() const;

private:
    bool hasFileName() const { return !m_FileName.empty(); }
    void keepDamagedCopy(const std::string& path) const;

    PDB::BackupFile m_BackupFile;
    std::string m_Directory;
    std::string m_FileName;
    bool m_IsPended;
    uint32_t m_LastBackupTime;
    uint32_t m_Interval;
    Clock m_clock;
};

}  // namespace OPV
