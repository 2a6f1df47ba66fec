#include "dravo_createComponentParameterDB.h"

#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "PDB/pdb_UniqId.h"
#include "dravo_OPVDManagerAccessor.h"

namespace DRAVO {

JLIB::JResult createComponentParameterDB(uint32_t uniqID, const char* name, uint32_t majorVersion, uint32_t numX,
                                         uint32_t numY, uint16_t attribute)
{
    if (!name) return JLIB::kFailed;
    PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(kAudioComponentDBInstanceId);
    const JLIB::JResult result =
        db.addComponent(PDB::UniqId(uniqID), name, majorVersion, numX, numY, static_cast<int16_t>(attribute));
    return JLIB::isFailure(result) ? JLIB::kFailed : JLIB::kOk;
}

}  // namespace DRAVO
