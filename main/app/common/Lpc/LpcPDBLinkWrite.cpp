#include "common/Lpc/LpcPDBLinkWrite.h"

#include <atomic>
#include <string>

#include "PDB/pdb_AddressId.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "PDB/pdb_ParameterInfo.h"
#include "common/Lpc/LpcValueHelper.h"
#include "common/Lpc/PDBLink.h"

namespace LPC {

namespace {

constexpr uint8_t kStringKind = 5;  // high nibble of the type code

// Set once by the device-control thread, read by every writing task.
std::atomic<PDBLink*> gpInstalledLink{nullptr};

// The database an id names: by instance id once resolved, else by name, so a write to an
// undeclared address meets the named database's refusal rather than the null database's 0.
PDB::IParameterDB& namedDatabase(const PDB::AddressId& id)
{
    if (id.pdbInstanceId() != PDB::AddressId::kNone) return PDB::gPDBCollection.getPDB(id.pdbInstanceId());
    return PDB::gPDBCollection.getPDB(id.pdbName());
}

JLIB::JResult storeValues(PDB::IParameterDB& db, const PDB::AddressId& id, uint32_t x, uint32_t y,
                          const JVariantList& values, uint8_t attr)
{
    const uint32_t ci = id.componentIndex();
    const uint32_t ai = id.addressIndex();
    const PDB::ParameterInfo& info = db.paramInfo(ci, ai);
    const bool isText = (info.type >> 4) == kStringKind;
    JLIB::JResult result = JLIB::kOk;
    for (uint32_t k = 0; k < values.size(); ++k) {
        if (!isText) {
            result |= db.setVariant(ci, ai + k, x, y, values[k], attr);
            continue;
        }
        if (values[k].getType() != JVariant::kTypeString) continue;  // only texts go to a text parameter
        // The database would cut at the byte: cut here at a whole character instead.
        const std::string text = truncateUTF8(values[k].toString(), info.itemSize);
        result |= db.setVariant(ci, ai + k, x, y, JVariant(text.c_str(), static_cast<unsigned int>(text.size())), attr);
    }
    return result;
}

}  // namespace

JLIB::JResult pdb_setLink(PDBLink* link)
{
    gpInstalledLink.store(link);
    return JLIB::kOk;
}

JLIB::JResult pdb_setParamWithLinkWithPDB(PDB::IParameterDB* db, const PDB::AddressId& id, uint32_t x, uint32_t y,
                                          const JVariantList& values, uint8_t attr)
{
    if (!db) return JLIB::kFailed;
    // Held from the offer to the last store: readers see a write and its consequences as one step.
    JLIB::JResult result = db->writeLock();
    bool takenOver = false;
    if (PDBLink* link = gpInstalledLink.load()) {
        result = link->linkPrm(id, x, y, values, attr);
        takenOver = (result & 1u) != 0;
    }
    if (JLIB::isSuccess(result) && !takenOver) result |= storeValues(*db, id, x, y, values, attr);
    result |= db->writeUnlock();
    return JLIB::isFailure(result) ? result : JLIB::kOk;
}

JLIB::JResult pdb_setParamWithLinkWithPDB(PDB::IParameterDB* db, const PDB::AddressId& id, uint32_t x, uint32_t y,
                                          const JVariant& value, uint8_t attr)
{
    return pdb_setParamWithLinkWithPDB(db, id, x, y, JVariantList{value}, attr);
}

JLIB::JResult pdb_setParamWithLink(const PDB::AddressId& id, uint32_t x, uint32_t y, const JVariantList& values,
                                   uint8_t attr)
{
    return pdb_setParamWithLinkWithPDB(&namedDatabase(id), id, x, y, values, attr);
}

JLIB::JResult pdb_setParamWithNoLink(const PDB::AddressId& id, uint32_t x, uint32_t y, const JVariant& value,
                                     uint8_t attr)
{
    return namedDatabase(id).setVariant(id, x, y, value, attr);
}

}  // namespace LPC
