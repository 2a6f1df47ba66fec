#include "common/Lpc/LpcPDBLinkOscillator.h"

#include "PDB/pdb_AddressId.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_ParameterInfo.h"
#include "common/Lpc/LpcPDB.h"

namespace LPC {

namespace {

constexpr JLIB::JResult kFailed = 0x80000000u;
constexpr int32_t kNotSent = -1;

}  // namespace

PDBLinkOscillator::PDBLinkOscillator() = default;

PDBLinkOscillator::~PDBLinkOscillator() = default;

uint32_t PDBLinkOscillator::linkPrm(const LinkMap& links, const LinkEntry&, const PDB::AddressId& id, uint32_t x,
                                    uint32_t y, const JVariantList& values, uint8_t attr)
{
    if (values.empty()) return kFailed;
    const int32_t value = values[0].toInt32();
    JLIB_RETURN_IF_FAILED(lpcpdb_setVariantWithAtomic(id, x, y, JVariant(value), attr));
    JLIB_RETURN_IF_FAILED(linkPrmInternal(links, x, value));
    return 1;
}

uint32_t PDBLinkOscillator::update(const LinkMap& links, const LinkEntry& entry, const PDB::AddressId&,
                                   CATEGORY_OF_LinkUpdateFactor factor)
{
    if (factor == 0) return 0;
    const PDB::AddressId& id = entry.second.addressId;
    const uint32_t speakers = getLpcPDB().paramInfo(id.componentIndex(), id.addressIndex()).numX;
    for (uint32_t speaker = 0; speaker < speakers; ++speaker) {
        JVariant value;
        JLIB_RETURN_IF_FAILED(getVariant(links, entry.first, speaker, 0, value, 0));
        JLIB_RETURN_IF_FAILED(linkPrmInternal(links, speaker, value.toInt32()));
    }
    return 0;
}

JLIB::JResult PDBLinkOscillator::linkPrmInternal(const LinkMap& links, uint32_t speaker, int32_t switchValue)
{
    const int32_t mirror = switchValue != 0 ? static_cast<int32_t>(speaker) : kNotSent;
    return setVariant(links, CATEGORY_LINKPRM_OSCILLATOR_SENDASSIGN_TOSPEAKER_INTERNAL, speaker, 0, JVariant(mirror),
                      kDerivedWriteAttr);
}

}  // namespace LPC
