#include "common/Lpc/LpcLibraryDef.h"

#include <mutex>

#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_UniqId.h"
#include "common/Lpc/LpcPDB.h"
#include "jlib/jlib_string.h"

namespace LPC {

const char* const PresetParameterPDBAddressDef_MUR_UZ[kPresetParameterNum] = {
    "/3DRev/Pattern",      "/3DRev/Center@xyz@x", "/3DRev/Center@xyz@y",
    "/3DRev/Center@xyz@z", "/3DRev/RoomSize",     "/3DRev/Zone",
    "/3DRev/PreDelay",     "/3DRev/Decay",        "/3DRev/ERGain",
    "/3DRev/RevGain",      "/3DRev/GainWeight",   "/3DRev/DelayWeight",
    "/3DRev/GainShape",    "/3DRev/DelayShape",   "/3DRev/MasterFader/Level",
    "/3DRev/PEQ/On",       "/3DRev/PEQ/Bypass",   "/3DRev/PEQ/Q",
    "/3DRev/PEQ/F",        "/3DRev/PEQ/G",
};
const char* const PresetStatusPDBAddressDef_MUR_UZ[2] = {"/PresetStatus/3DRev/Info/Protect",
                                                         "/PresetStatus/3DRev/Info/Title"};
const char* const PresetListPDBAddressDef_MUR_UZ[1] = {"/PresetList/3DRev/Info/FileName"};

namespace {

constexpr uint32_t kNoType = 0xFFFFFFFFu;
constexpr const char* kDatabaseName = "AudioCompo";

PresetPDBAddressIds& emptySet()
{
    static PresetPDBAddressIds empty;
    return empty;
}

// The set lives for the whole run, the database may be built again meanwhile: the address keeps
// the literal database name, never the database's own text, and only takes over its indexes.
PDB::AddressId resolved(CATEGORY_OF_PDBTYPE category, const char* address)
{
    PDB::AddressId id(kDatabaseName, PDB::UniqId(category), address);
    const PDB::AddressId found = getLpcPDB().getAddressId(PDB::UniqId(category), address);
    // Refused for an address the database lacks: the id stays unresolved and the checks say so.
    (void)id.updateCache(found.pdbInstanceId(), found.componentIndex(), found.generation(), found.addressIndex());
    return id;
}

}  // namespace

JLIB::JResult PresetPDBAddressIds::buildAddress(uint32_t bank)
{
    if (bank != 0) return JLIB::kFailed;
    uint32_t k = 0;
    for (const char* address : PresetParameterPDBAddressDef_MUR_UZ)
        m_ids[k++] = resolved(CATEGORY_PDBTYPE_UZSETUP, address);
    for (const char* address : PresetStatusPDBAddressDef_MUR_UZ) {
        m_ids[k++] = resolved(CATEGORY_PDBTYPE_UZPRESETSTATUS, address);
    }
    m_ids[k++] = resolved(CATEGORY_PDBTYPE_UZPRESETLIST, PresetListPDBAddressDef_MUR_UZ[0]);
    m_paramNum = kPresetParameterNum;
    m_num = kPresetAddressNum;
    return JLIB::kOk;
}

const PDB::AddressId& PresetPDBAddressIds::addressId(uint32_t index) const
{
    static const PDB::AddressId null;
    return index < kPresetAddressNum ? m_ids[index] : null;
}

const char* LibraryDef::presetTypeStr(uint32_t index)
{
    return index == 0 ? PresetType_MurUZ : "";
}

uint32_t LibraryDef::presetTypeEnum(const char* type)
{
    if (!type) return kNoType;
    for (uint32_t index = 0; index < numOfPresetType(); ++index) {
        const char* name = presetTypeStr(index);
        // One past the name's length: the terminator must match too.
        if (jlib_strncmp(type, name, jlib_strlen(name, 0xFFFFFFFFu) + 1) == 0) return index;
    }
    return kNoType;
}

const PresetPDBAddressIds& LibraryDef::getAccessor(uint32_t index)
{
    if (index != 0) return emptySet();
    return getBank(0);
}

PresetPDBAddressIds& LibraryDef::getBank(uint32_t index)
{
    static PresetPDBAddressIds bank0;
    // Readers on other tasks may ask at the same time as the device-control thread.
    static std::once_flag built;
    if (index != 0) {
        static PresetPDBAddressIds dummy;
        return dummy;
    }
    std::call_once(built, [] { (void)bank0.buildAddress(0); });  // bank 0 always builds
    return bank0;
}

}  // namespace LPC
