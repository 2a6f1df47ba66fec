#include "common/Lpc/LpcPDBLinkSpeakerZone.h"

#include "PDB/pdb_AddressId.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_ParameterInfo.h"
#include "common/Lpc/LpcPDB.h"

namespace LPC {

namespace {

constexpr JLIB::JResult kFailed = 0x80000000u;
constexpr uint32_t kZonesPerLayer = 16;

}  // namespace

PDBLinkSpeakerZone::PDBLinkSpeakerZone() = default;

PDBLinkSpeakerZone::~PDBLinkSpeakerZone() = default;

uint32_t PDBLinkSpeakerZone::linkPrm(const LinkMap& links, const LinkEntry&, const PDB::AddressId& id, uint32_t x,
                                     uint32_t y, const JVariantList& values, uint8_t attr)
{
    if (values.empty()) return kFailed;
    (void)lpcpdb_setVariantWithAtomic(id, x, y, values[0], attr);  // the mask is rebuilt from what is stored
    if (y < kZonesPerLayer) return linkPrmToLayer1(links, id, x, attr);
    if (y < 2 * kZonesPerLayer) return linkPrmToLayer2(links, id, x, attr);
    return kFailed;
}

uint32_t PDBLinkSpeakerZone::update(const LinkMap& links, const LinkEntry& entry, const PDB::AddressId&,
                                    CATEGORY_OF_LinkUpdateFactor factor)
{
    if (factor == 0) return 0;
    const PDB::AddressId& id = entry.second.addressId;
    const uint32_t speakers = getLpcPDB().paramInfo(id.componentIndex(), id.addressIndex()).numX;
    JLIB::JResult result = JLIB::kOk;
    for (uint32_t speaker = 0; speaker < speakers; ++speaker) {
        JLIB_RETURN_IF_FAILED(linkPrmToLayer1(links, id, speaker, kDerivedWriteAttr));
        result = linkPrmToLayer2(links, id, speaker, kDerivedWriteAttr);
        if (JLIB::isFailure(result)) return result;
    }
    return result;
}

JLIB::JResult PDBLinkSpeakerZone::linkPrmToLayer1(const LinkMap& links, const PDB::AddressId& address, uint32_t speaker,
                                                  uint8_t attr)
{
    return linkPrmInternal(links, address, speaker, 0, CATEGORY_LINKPRM_OBA_SPEAKER_ZONE_LAYER1, attr);
}

JLIB::JResult PDBLinkSpeakerZone::linkPrmToLayer2(const LinkMap& links, const PDB::AddressId& address, uint32_t speaker,
                                                  uint8_t attr)
{
    return linkPrmInternal(links, address, speaker, kZonesPerLayer, CATEGORY_LINKPRM_OBA_SPEAKER_ZONE_LAYER2, attr);
}

JLIB::JResult PDBLinkSpeakerZone::linkPrmInternal(const LinkMap& links, const PDB::AddressId& address, uint32_t speaker,
                              uint32_t firstZone, CATEGORY_OF_LinkPrm target, uint8_t)
{
    PDB::IParameterDB& db = getLpcPDB();
    uint32_t mask = 0;
    for (uint32_t i = 0; i < kZonesPerLayer; ++i) {
        JVariant zone;
        JLIB_RETURN_IF_FAILED(
            db.getVariant(zone, address.componentIndex(), address.addressIndex(), speaker, firstZone + i, nullptr));
        if (zone.toInt32() != 0) mask |= 1u << i;
    }
    JLIB_RETURN_IF_FAILED(setVariant(links, target, speaker, 0, JVariant(mask), kDerivedWriteAttr));
    return 1;
}

}  // namespace LPC
