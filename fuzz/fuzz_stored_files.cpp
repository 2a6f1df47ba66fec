// Backup, preset and snapshot files of any content (loaded from a scratch folder, then recalled
// into the live databases), the snapshot's image from memory, and single "#PC1"/"#SC1" item images.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "FileCache/fcache_FileAccessor.h"
#include "PDB/pdb_BackupFile.h"
#include "PDB/pdb_PresetFile.h"
#include "PDB/pdb_PresetItem.h"
#include "PDB/pdb_SnapshotFile.h"
#include "fuzz_pdb_types.h"

namespace {

PDB::IParameterDB& audio() { return PDB::gPDBCollection.getPDB(fuzztypes::kAudioId); }

void readBackup(const std::string& folder)
{
    PDB::BackupFile backup;
    const PDB::PDBTable table = {PDB::PDBTableItem(&audio(), 0),
                                 PDB::PDBTableItem(&PDB::gPDBCollection.getPDB("PresetInfo"), 0)};
    if (JLIB::isFailure(backup.initialize(fuzztypes::kProduct, 1, table, folder.c_str()))) return;
    (void)backup.importFromFile("in.bin");
}

void readPreset(const uint8_t* data, size_t size, const std::string& folder)
{
    PDB::PresetContentsList contents;
    if (JLIB::isFailure(contents.addComponent(audio(), PDB::UniqId(10)))) return;
    PDB::PresetData preset;
    if (JLIB::isFailure(preset.initialize(fuzztypes::kProduct, 1, 0, "Fuzz", contents, folder.c_str()))) return;
    if (JLIB::isSuccess(preset.load("in.bin"))) {
        (void)preset.recall(audio(), PDB::UniqId(11));
        (void)preset.recall(audio(), PDB::UniqId(12));  // another type: refused entry by entry
    }
    PDB::PresetData fromImage;
    if (JLIB::isFailure(fromImage.initialize(fuzztypes::kProduct, 1, 0, "Fuzz", contents, folder.c_str()))) return;
    if (JLIB::isSuccess(fromImage.importBinary(data, static_cast<uint32_t>(size)))) {
        (void)fromImage.recall(audio(), PDB::UniqId(10));
    }
}

void readSnapshot(const uint8_t* data, size_t size, const std::string& folder)
{
    PDB::SnapshotContentsList contents;
    if (JLIB::isFailure(contents.addComponent(audio(), PDB::UniqId(10)))) return;
    PDB::SnapshotData snapshot;
    if (JLIB::isFailure(snapshot.initialize(fuzztypes::kProduct, 1, 0, contents, folder.c_str()))) return;
    if (JLIB::isSuccess(snapshot.load("in.bin"))) (void)snapshot.recall();
    PDB::SnapshotData fromImage;
    if (JLIB::isFailure(fromImage.initialize(fuzztypes::kProduct, 1, 0, contents, folder.c_str()))) return;
    if (JLIB::isSuccess(fromImage.importBinary(data, static_cast<uint32_t>(size)))) (void)fromImage.recall();
}

void readItems(const uint8_t* data, size_t size)
{
    for (const bool withValues : {false, true}) {
        PDB::PresetContentsItem preset;
        (void)preset.importBinary(audio(), PDB::UniqId(11), data, static_cast<uint32_t>(size), withValues);
        PDB::SnapshotContentsItem snapshot;
        (void)snapshot.importBinary(data, static_cast<uint32_t>(size), withValues);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string folder = "/tmp/uz_fuzz_stored_files_" + std::to_string(getpid());
    static const bool made = [] {
        // Removed at the end of a run; a crashing run leaves it for the reproduction.
        std::atexit([] { (void)FILECACHE::FileAccessor::remove(folder.c_str(), true); });  // best effort
        return JLIB::isSuccess(FILECACHE::FileAccessor::makeDir(folder.c_str()));
    }();
    fuzztypes::LiveDatabases live;
    if (!made || !live.isValid()) return 0;
    FILE* f = std::fopen((folder + "/in.bin").c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    readBackup(folder);
    readPreset(data, size, folder);
    readSnapshot(data, size, folder);
    readItems(data, size);
    return 0;
}
