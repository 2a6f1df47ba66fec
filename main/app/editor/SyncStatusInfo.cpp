#include "editor/SyncStatusInfo.h"

#include "PDB/pdb_ParameterDBCollection.h"
#include "PDB/pdb_UniqId.h"
#include "jlib/JVariant.h"

namespace KAVORI {

namespace {

constexpr uint32_t kStatusDatabase = 6;
constexpr uint8_t kImportAttribute = 0xFF;

struct StatusAddresses {
    const char* parameterSetInit;
    const char* parameterSetRequested;
    const char* snapshotInit;
    const char* snapshotRequested;
};
constexpr StatusAddresses kFrom = {"/DirSyncFrom/ParameterSet/InitSyncNum", "/DirSyncFrom/ParameterSet/RequestedNum",
                                   "/DirSyncFrom/Snapshot/InitSyncNum", "/DirSyncFrom/Snapshot/RequestedNum"};
constexpr StatusAddresses kTo = {"/DirSyncTo/ParameterSet/InitSyncNum", "/DirSyncTo/ParameterSet/RequestedNum",
                                 "/DirSyncTo/Snapshot/InitSyncNum", "/DirSyncTo/Snapshot/RequestedNum"};

void write(PDB::IParameterDB& db, const char* address, uint32_t x, uint32_t value)
{
    const uint32_t ai = db.getAddressIndex(PDB::UniqId(0), address);
    // A missing parameter or an element beyond the array loses only this number.
    (void)db.setVariant(0, ai, x, 0, JVariant(static_cast<unsigned int>(value)), kImportAttribute);
}

}  // namespace

JLIB::JResult SyncStatusInfo::setToPDB(uint32_t x, bool from) const
{
    PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(kStatusDatabase);
    if (!db.isValid()) return JLIB::kOk;
    const StatusAddresses& a = from ? kFrom : kTo;
    write(db, a.parameterSetInit, x, parameterSet.initSyncNum);
    write(db, a.parameterSetRequested, x, parameterSet.requestedNum);
    write(db, a.snapshotInit, x, snapshot.initSyncNum);
    write(db, a.snapshotRequested, x, snapshot.requestedNum);
    return JLIB::kOk;
}

}  // namespace KAVORI
