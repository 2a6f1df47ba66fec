#pragma once
// Folder synchronisation progress: how many files of the initial listing and of later requests
// are still to be transferred, for the snapshot folder and the parameter-set folder. Plain
// values; setToPDB publishes one direction of them in the "Status" database.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace KAVORI {

struct DirSyncStatusInfo {
    uint32_t initSyncNum = 0;
    uint32_t requestedNum = 0;

    bool operator==(const DirSyncStatusInfo& other) const = default;
};

class SyncStatusInfo {
public:
    SyncStatusInfo() = default;

    bool operator==(const SyncStatusInfo& other) const = default;

    DirSyncStatusInfo snapshot;      // "Snapshot"
    DirSyncStatusInfo parameterSet;  // "Preset/3DRev"

    uint32_t snapshotInitSyncNum() const { return snapshot.initSyncNum; }
    uint32_t snapshotRequestedNum() const { return snapshot.requestedNum; }
    // The library counts are not tracked: always 0.
    uint32_t libraryInitSyncNum() const { return 0; }
    uint32_t libraryRequestedNum() const { return 0; }
    bool isSnapshotInitSyncFinished() const { return snapshot.initSyncNum == 0; }
    bool isLibraryInitSyncFinished() const { return true; }

    // Any task (the database takes its own lock). Writes the four numbers of one direction (from:
    // "/DirSyncFrom/...", else "/DirSyncTo/...") as UInt32 at element (x, 0) of the first
    // component of database 6 with the attribute 0xFF; nothing when the database is not there.
    // Write failures (an x beyond the array) are ignored. 0.
    JLIB::JResult setToPDB(uint32_t x, bool from) const;
};

}  // namespace KAVORI
