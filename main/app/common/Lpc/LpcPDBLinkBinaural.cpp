#include "common/Lpc/LpcPDBLinkBinaural.h"

#include "PDB/pdb_AddressId.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_ParameterInfo.h"
#include "common/Lpc/LpcPDB.h"
#include "common/Lpc/LpcPDBLinkCoordinateTransformationFunc.h"
#include "common/Lpc/LpcPDBLinkPair.h"

namespace LPC {

namespace {

constexpr JLIB::JResult kFailed = 0x80000000u;
constexpr uint32_t kPositionMembers = 3;
constexpr uint32_t kUpperHalf = 64;  // where the objects, or the speakers' second copy, begin

// The pair flag trails the three members of an object's position.
bool carriesPairFlag(const JVariantList& values)
{
    return values.size() > kPositionMembers && values[kPositionMembers].toUInt32() != 0;
}

}  // namespace

PDBLinkBinaural::PDBLinkBinaural() = default;

PDBLinkBinaural::~PDBLinkBinaural() = default;

uint32_t PDBLinkBinaural::linkPrmBinauralSource(const LinkMap& links, const LinkEntry&, const PDB::AddressId& id,
                                                uint32_t x, uint32_t y, const JVariantList& values, uint8_t attr)
{
    if (values.empty()) return kFailed;
    JLIB_RETURN_IF_FAILED(lpcpdb_setVariantWithAtomic(id, x, y, values[0], attr));
    (void)copyParamsToBinauralControl(links);  // a source that cannot be copied is reported by every update pass
    return 1;
}

uint32_t PDBLinkBinaural::linkPrm(const LinkMap& links, const LinkEntry& entry, const PDB::AddressId&, uint32_t x,
                                  uint32_t y, const JVariantList& values, uint8_t attr)
{
    const bool objectPosition = entry.first == CATEGORY_LINKPRM_OBA_OBJECT_PHYSICAL_POSITION_BINAURAL;
    // A paired write moved and mirrored both objects already; one with pair flag 0 moved this
    // object alone and is mirrored here, so the control position never lags the object.
    if (objectPosition && carriesPairFlag(values) && isPairCh(links, x)) return 0;
    if (values.size() < kPositionMembers) return kFailed;
    const JVariantList position(values.begin(), values.begin() + kPositionMembers);
    // The pair handler stored the object's position already.
    return linkToBinauralControlPosition(links, entry.first, x, y, position, attr, objectPosition);
}

uint32_t PDBLinkBinaural::update(const LinkMap& links, const LinkEntry&, const PDB::AddressId&,
                                 CATEGORY_OF_LinkUpdateFactor)
{
    return copyParamsToBinauralControl(links);
}

JLIB::JResult copyParamsToBinauralControl(const LinkMap& links)
{
    JVariant source;
    JLIB_RETURN_IF_FAILED(getVariant(links, CATEGORY_LINKPRM_BINAURAL_SOURCE, 0, 0, source, 0));
    switch (source.toInt32()) {
    case 0:
        return fromOBAPhysicalPosition(links);
    case 1:
        return fromSpeakerPhysicalPosition(links);
    default:
        return kFailed;
    }
}

JLIB::JResult fromOBAPhysicalPosition(const LinkMap& links)
{
    return copyParamsToBinauralControlInternal(links, CATEGORY_LINKPRM_OBA_OBJECT_PHYSICAL_POSITION_BINAURAL,
                                               CATEGORY_LINKPRM_BINAURAL_CONTROL_POSITION, kUpperHalf);
}

JLIB::JResult fromSpeakerPhysicalPosition(const LinkMap& links)
{
    return copyParamsToBinauralControlInternal(links, CATEGORY_LINKPRM_OBA_SPEAKER_POSITION,
                                               CATEGORY_LINKPRM_BINAURAL_CONTROL_POSITION, 0) |
           copyParamsToBinauralControlInternal(links, CATEGORY_LINKPRM_OBA_SPEAKER_POSITION,
                                               CATEGORY_LINKPRM_BINAURAL_CONTROL_POSITION, kUpperHalf);
}

JLIB::JResult copyParamsToBinauralControlInternal(const LinkMap& links, CATEGORY_OF_LinkPrm source,
                                                  CATEGORY_OF_LinkPrm target, uint32_t indexOffset)
{
    const auto from = links.find(source);
    const auto to = links.find(target);
    if (from == links.end() || to == links.end()) return kFailed;
    const PDB::AddressId& fromId = from->second.addressId;
    const PDB::AddressId& toId = to->second.addressId;
    const uint32_t n = getLpcPDB().paramInfo(fromId.componentIndex(), fromId.addressIndex()).numX;
    JLIB::JResult result = JLIB::kOk;
    for (uint32_t i = 0; i < n; ++i) {
        for (uint32_t member = 0; member < kPositionMembers; ++member) {
            JVariant value;
            result = getVariant(links, source, i, 0, value, member);
            if (JLIB::isFailure(result)) continue;
            result = lpcpdb_setVariantWithAtomic(toId.componentIndex(), toId.addressIndex() + member, i + indexOffset,
                                                 0, value, kDerivedWriteAttr);
        }
    }
    return result;
}

}  // namespace LPC
