// Component images ("#CI1" definition, then "#PR1" records) imported into a component of a live
// database and of a local database, plain and with the configuration (the image's type and size).
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
    if (JLIB::isFailure(db.addComponent(PDB::UniqId(1), "Fuzz", 1, 2, 1, 0))) return;
    PDB::IComponent& component = db._getComponent(db.getComponentIndex(PDB::UniqId(1)));
    (void)component.importBinary(db, 0, data, static_cast<uint32_t>(size), attr, 0x11, 0);
    // Whatever was accepted must export again.
    std::vector<uint8_t> image(component.exportSize());
    (void)component.exportBinary(image.data(), static_cast<uint32_t>(image.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!fuzztypes::registerTypes()) return 0;
    for (const uint8_t attr : {uint8_t(0), uint8_t(PDB::ImportAttr::kConfig | PDB::ImportAttr::kDirty),
                               uint8_t(PDB::ImportAttr::kForceRecall)}) {
        PDB::ParameterDB live;
        if (JLIB::isSuccess(live.initialize(1, "FuzzLive", nullptr))) importInto(live, data, size, attr);
        (void)live.finalize();  // the database is dropped either way
        PDB::LocalParameterDB local;
        if (JLIB::isSuccess(local.initialize(2, "FuzzLocal"))) importInto(local, data, size, attr);
    }
    return 0;
}
