// "#CT1" database images imported into a live and into a local database, with and without the
// configuration request (which adds the image's components first).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "PDB/pdb_FlagArray.h"
#include "PDB/pdb_LocalParameterDB.h"
#include "PDB/pdb_ParameterDB.h"
#include "fuzz_pdb_types.h"

namespace {

void importInto(PDB::IParameterDB& db, const uint8_t* data, size_t size, PDB::ImportAttr attr)
{
    // Two components already there, so a plain import has targets and a configured one replaces them.
    if (JLIB::isFailure(db.addComponent(PDB::UniqId(1), "Fuzz", 1, 2, 1, 0))) return;
    if (JLIB::isFailure(db.addComponent(PDB::UniqId(2), "FuzzInfo", 1, 1, 1, 0))) return;
    (void)db.importBinary(data, static_cast<uint32_t>(size), attr, 0);
    std::vector<uint8_t> image(db.exportBinarySize());
    (void)db.exportBinary(image.data(), static_cast<uint32_t>(image.size()), 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!fuzztypes::registerTypes()) return 0;
    for (const uint8_t attr : {uint8_t(0), uint8_t(PDB::ImportAttr::kConfig),
                               uint8_t(PDB::ImportAttr::kConfig | PDB::ImportAttr::kDirtyLink)}) {
        PDB::ParameterDB live;
        if (JLIB::isSuccess(live.initialize(1, "FuzzLive", nullptr))) importInto(live, data, size, attr);
        (void)live.finalize();  // the database is dropped either way
        PDB::LocalParameterDB local;
        if (JLIB::isSuccess(local.initialize(2, "FuzzLocal"))) importInto(local, data, size, attr);
    }
    return 0;
}
