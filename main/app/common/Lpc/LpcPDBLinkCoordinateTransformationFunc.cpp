#include "common/Lpc/LpcPDBLinkCoordinateTransformationFunc.h"

#include <cmath>
#include <limits>
#include <utility>

#include "PDB/pdb_AddressId.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_ParameterInfo.h"
#include "common/Lpc/LpcPDB.h"
#include "common/Lpc/LpcPDBLinkConverter.h"
#include "common/Lpc/LpcPDBLinkConverterList.h"
#include "common/Lpc/LpcValueHelper.h"

namespace LPC {

namespace {

constexpr JLIB::JResult kFailed = 0x80000000u;
constexpr uint32_t kMemberNum = 3;
// Binaural control positions 64 and up follow the objects (source 0) or repeat the speakers (source 1).
constexpr uint32_t kBinauralUpperHalf = 64;
constexpr int32_t kBinauralSourceObjects = 0;
constexpr int32_t kBinauralSourceSpeakers = 1;

// Metres to centimetres: the Float product × 100, halves away from zero. A value that is not finite
// has no centimetres; one beyond the Int32 range is held at its end, since a plain conversion of
// it would be undefined.
bool toCentimetres(const JVariant& metres, int32_t& centimetres)
{
    const float product = metres.toFloat() * 100.0f;
    if (!std::isfinite(product)) return false;
    const float rounded = std::round(product);
    if (rounded >= 2147483648.0f) {
        centimetres = std::numeric_limits<int32_t>::max();
    } else if (rounded < -2147483648.0f) {
        centimetres = std::numeric_limits<int32_t>::min();
    } else {
        centimetres = static_cast<int32_t>(rounded);
    }
    return true;
}

const PDBLinkConverter* converterOfObject(const PDBLinkConverterList* converters, const LinkMap& links,
                                          uint32_t object, JLIB::JResult& result)
{
    uint32_t space = 0;
    result = getZoneNo(links, object, space);
    if (JLIB::isFailure(result)) return nullptr;
    return converters ? converters->getConverter(space) : nullptr;
}

JLIB::JResult writeAt(const PDB::AddressId& address, uint32_t x, uint32_t y, const JVariantList& values,
                      uint32_t count, uint8_t attr)
{
    const uint32_t n = count < values.size() ? count : static_cast<uint32_t>(values.size());
    return lpcpdb_setVariantsWithAtomic(address.componentIndex(), address.addressIndex(), x, y, values.data(), n, attr);
}

JLIB::JResult oneOrFailure(JLIB::JResult result) { return JLIB::isFailure(result) ? result : 1u; }

}  // namespace

JLIB::JResult getZoneNo(const LinkMap& links, uint32_t object, uint32_t& space)
{
    JVariant zone;
    JLIB_RETURN_IF_FAILED(getVariant(links, CATEGORY_LINKPRM_OBA_OBJECT_ZONE, object, 0, zone, 0));
    return to0base(zone.toUInt32(), &space);
}

JLIB::JResult getPrmXYZ(const LinkMap& links, CATEGORY_OF_LinkPrm category, uint32_t x, uint32_t y,
                        JVariantList& position)
{
    if (links.find(category) == links.end()) return kFailed;
    JLIB::JResult result = JLIB::kOk;
    JVariantList values(kMemberNum);
    for (uint32_t k = 0; k < kMemberNum; ++k) result |= getVariant(links, category, x, y, values[k], k);
    position = std::move(values);
    return result;
}

JLIB::JResult getPrmPhysicalXYZ(const LinkMap& links, CATEGORY_OF_LinkPrm category, uint32_t x, uint32_t y,
                                JVariantList& position)
{
    JVariantList centimetres;
    JLIB_RETURN_IF_FAILED(getPrmXYZ(links, category, x, y, centimetres));
    return intcm_to_floatm(centimetres, position);
}

JLIB::JResult intcm_to_floatm(const JVariantList& centimetres, JVariantList& metres)
{
    JVariantList out;
    out.reserve(centimetres.size());
    for (const JVariant& v : centimetres) out.emplace_back(static_cast<float>(v.toInt32() / 100.0));
    metres = std::move(out);
    return JLIB::kOk;
}

JLIB::JResult setPrmPhysicalXYZ(const LinkMap& links, CATEGORY_OF_LinkPrm category, uint32_t x, uint32_t y,
                                const JVariantList& metres, uint8_t attr)
{
    JVariantList centimetres;
    centimetres.reserve(metres.size());
    for (const JVariant& m : metres) {
        int32_t cm = 0;
        if (!toCentimetres(m, cm)) return kFailed;
        centimetres.emplace_back(cm);
    }
    return linkToBinauralControlPosition(links, category, x, y, centimetres, attr, false);
}

JLIB::JResult linkToBinauralControlPosition(const LinkMap& links, CATEGORY_OF_LinkPrm category, uint32_t x,
                                            uint32_t y, const JVariantList& position, uint8_t attr, bool skipOwnWrite)
{
    JVariant source;
    const JLIB::JResult read = getVariant(links, CATEGORY_LINKPRM_BINAURAL_SOURCE, 0, 0, source, 0);
    if (JLIB::isFailure(read)) return read;
    switch (static_cast<uint32_t>(category)) {
    case CATEGORY_LINKPRM_OBA_OBJECT_PHYSICAL_POSITION:
        // The object's own position is stored whatever the skip flag says: no other writer follows.
        if (source.toInt32() != kBinauralSourceObjects) return setVariantList(links, category, x, y, position, attr);
        return linkToBinauralControlPositionInternal(links, category, x, y, position, attr, kBinauralSourceObjects,
                                                     source, skipOwnWrite, kBinauralUpperHalf);
    case CATEGORY_LINKPRM_OBA_OBJECT_PHYSICAL_POSITION_BINAURAL:
        return linkToBinauralControlPositionInternal(links, category, x, y, position, attr, kBinauralSourceObjects,
                                                     source, skipOwnWrite, kBinauralUpperHalf);
    case CATEGORY_LINKPRM_OBA_SPEAKER_POSITION:
        return linkToBinauralControlPositionInternal(links, category, x, y, position, attr, kBinauralSourceSpeakers,
                                                     source, skipOwnWrite, 0) |
               linkToBinauralControlPositionInternal(links, category, x, y, position, attr, kBinauralSourceSpeakers,
                                                     source, true, kBinauralUpperHalf);
    default:
        return read;
    }
}

JLIB::JResult linkToBinauralControlPositionInternal(const LinkMap& links, CATEGORY_OF_LinkPrm category, uint32_t x,
                                                    uint32_t y, const JVariantList& position, uint8_t attr,
                                                    int32_t expectedSource, const JVariant& source, bool skipOwnWrite,
                                                    uint32_t indexOffset)
{
    if (source.toInt32() != expectedSource) return JLIB::kOk;
    if (!skipOwnWrite) JLIB_RETURN_IF_FAILED(setVariantList(links, category, x, y, position, attr));
    JLIB_RETURN_IF_FAILED(setVariantList(links, CATEGORY_LINKPRM_BINAURAL_CONTROL_POSITION, x + indexOffset, y,
                                         position, kDerivedWriteAttr));
    return 1u;
}

JLIB::JResult linkToBinauralControlPositionWithPair(const LinkMap& links, CATEGORY_OF_LinkPrm category,
                                                    uint32_t object, uint32_t partner, uint8_t attr)
{
    JLIB_RETURN_IF_FAILED(linkToBinauralControlPositionWithPairFor1Ch(links, category, object, 0, attr));
    return linkToBinauralControlPositionWithPairFor1Ch(links, category, partner, 0, attr);
}

JLIB::JResult linkToBinauralControlPositionWithPairFor1Ch(const LinkMap& links, CATEGORY_OF_LinkPrm category,
                                                          uint32_t channel, uint32_t y, uint8_t attr)
{
    JVariantList position;
    JLIB_RETURN_IF_FAILED(getPrmXYZ(links, category, channel, y, position));
    return linkToBinauralControlPosition(links, category, channel, y, position, attr, true);
}

JLIB::JResult setPrmLogicalXYZ(const LinkMap& links, CATEGORY_OF_LinkPrm category, uint32_t x, uint32_t y,
                               const JVariantList& position, uint8_t attr)
{
    const auto entry = links.find(category);
    if (position.size() < kMemberNum || entry == links.end()) return kFailed;
    return writeAt(entry->second.addressId, x, y, position, kMemberNum, attr);
}

JLIB::JResult setPrmLogicalBothClipAndNonClip(const LinkMap& links, const JVariantList& position, uint32_t object,
                                              uint8_t attr)
{
    JLIB_RETURN_IF_FAILED(
        setPrmLogicalXYZ(links, CATEGORY_LINKPRM_OBA_OBJECT_LOGICAL_POSITION_INTERNAL, object, 0, position, attr));
    return setPrmLogicalXYZ(links, CATEGORY_LINKPRM_OBA_OBJECT_LOGICAL_POSITION, object, 0, position, attr);
}

JLIB::JResult toPhysical(const PDBLinkConverterList* converters, const LinkMap& links, const JVariantList& logical,
                         JVariantList& physical, uint32_t object)
{
    JLIB::JResult result = JLIB::kOk;
    const PDBLinkConverter* converter = converterOfObject(converters, links, object, result);
    if (JLIB::isFailure(result)) return result;
    return linkPrmLogicalToPhysicalInternalXYZ(links, converter, logical, physical);
}

JLIB::JResult toLogical(const PDBLinkConverterList* converters, const LinkMap& links, const JVariantList& physical,
                        JVariantList& logical, uint32_t object)
{
    JLIB::JResult result = JLIB::kOk;
    const PDBLinkConverter* converter = converterOfObject(converters, links, object, result);
    if (JLIB::isFailure(result)) return result;
    return linkPrmPhysicalToLogicalInternalXYZ(links, converter, physical, logical);
}

JLIB::JResult toLogicalWithPhysicalInt(const PDBLinkConverterList* converters, const LinkMap& links,
                                       const JVariantList& centimetres, JVariantList& logical, uint32_t object)
{
    JVariantList metres;
    (void)intcm_to_floatm(centimetres, metres);  // cannot fail
    return toLogical(converters, links, metres, logical, object);
}

JLIB::JResult linkPrmLogicalToPhysicalInternalXYZ(const LinkMap& links, const PDBLinkConverter* converter,
                                                  const JVariantList& logical, JVariantList& physical)
{
    if (!converter || logical.size() < kMemberNum) return kFailed;
    uz::Vector2 horizontal;
    JLIB_RETURN_IF_FAILED(
        converter->toPhysical_Horizontal(uz::Vector2(logical[0].toFloat(), logical[1].toFloat()), horizontal));
    float height = 0.0f;
    JLIB_RETURN_IF_FAILED(converter->toPhysical_Vertical(logical[2].toFloat(), height));
    // Refused here, before anything is stored: a position without centimetres must not leave the
    // logical copies written and the physical one behind.
    if (!std::isfinite(horizontal.x) || !std::isfinite(horizontal.y) || !std::isfinite(height)) return kFailed;
    physical = JVariantList{JVariant(horizontal.x), JVariant(horizontal.y), JVariant(height)};
    return JLIB::kOk;
}

JLIB::JResult linkPrmPhysicalToLogicalInternalXYZ(const LinkMap& links, const PDBLinkConverter* converter,
                                                  const JVariantList& physical, JVariantList& logical)
{
    if (!converter || physical.size() < kMemberNum) return kFailed;
    uz::Vector2 horizontal;
    JLIB_RETURN_IF_FAILED(
        converter->toNormalized_Horizontal(uz::Vector2(physical[0].toFloat(), physical[1].toFloat()), horizontal));
    float height = 0.0f;
    JLIB_RETURN_IF_FAILED(converter->toNormalized_Vertical(physical[2].toFloat(), height));
    logical = JVariantList{JVariant(horizontal.x), JVariant(horizontal.y), JVariant(height)};
    return JLIB::kOk;
}

JLIB::JResult linkPrmLogicalToPhysicalInternal(const PDBLinkConverterList* converters, const LinkMap& links,
                                               const PDB::AddressId& address, uint32_t x, uint32_t y,
                                               const JVariantList& logical, uint8_t attr)
{
    JVariantList physical;
    JLIB_RETURN_IF_FAILED(toPhysical(converters, links, logical, physical, x));
    return setPrmPhysicalXYZ(links, CATEGORY_LINKPRM_OBA_OBJECT_PHYSICAL_POSITION, x, y, physical, attr);
}

JLIB::JResult linkPrmLogicalToPhysical(const PDBLinkConverterList* converters, const LinkMap& links,
                                       const PDB::AddressId& address, uint32_t x, uint32_t y,
                                       const JVariantList& logical, uint8_t attr)
{
    if (logical.size() < kMemberNum) return kFailed;
    (void)writeAt(address, x, y, logical, kMemberNum, attr);  // the derived position decides the result
    return oneOrFailure(
        linkPrmLogicalToPhysicalInternal(converters, links, address, x, y, logical, kDerivedWriteAttr));
}

JLIB::JResult linkPrmPhysicalToLogical(const PDBLinkConverterList* converters, const LinkMap& links, uint32_t object)
{
    JVariantList physical;
    JLIB_RETURN_IF_FAILED(getPrmPhysicalXYZ(links, CATEGORY_LINKPRM_OBA_OBJECT_PHYSICAL_POSITION, object, 0, physical));
    JVariantList logical;
    JLIB_RETURN_IF_FAILED(toLogical(converters, links, physical, logical, object));
    return setPrmLogicalBothClipAndNonClip(links, logical, object, kDerivedWriteAttr);
}

JLIB::JResult linkPrmPhysicalToLogicalWithSet(const PDBLinkConverterList* converters, const LinkMap& links,
                                              const PDB::AddressId& address, uint32_t x, uint32_t y,
                                              const JVariantList& physical, uint8_t attr)
{
    if (physical.size() < kMemberNum) return kFailed;
    (void)writeAt(address, x, y, physical, kMemberNum, attr);  // the derived position decides the result
    return oneOrFailure(linkPrmPhysicalToLogical(converters, links, x));
}

JLIB::JResult updateLogicalFromPhysicalForOBA(const PDBLinkConverterList* converters, const LinkMap& links,
                                              uint32_t object, uint8_t attr)
{
    return linkPrmPhysicalToLogical(converters, links, object);
}

JLIB::JResult updateLogicalFromPhysical(const PDBLinkConverterList* converters, const LinkMap& links, uint8_t attr,
                                        bool allObjects, uint32_t space)
{
    const auto entry = links.find(CATEGORY_LINKPRM_OBA_OBJECT_PHYSICAL_POSITION);
    if (entry == links.end()) return kFailed;
    const PDB::AddressId& id = entry->second.addressId;
    const uint32_t objectNum = getLpcPDB().paramInfo(id.componentIndex(), id.addressIndex()).numX;
    JLIB::JResult result = JLIB::kOk;
    for (uint32_t object = 0; object < objectNum; ++object) {
        if (!allObjects) {
            uint32_t zoneSpace = 0;
            result = getZoneNo(links, object, zoneSpace);
            if (JLIB::isFailure(result) || zoneSpace != space) continue;
        }
        result = updateLogicalFromPhysicalForOBA(converters, links, object, attr);
    }
    return result;
}

JLIB::JResult movePhysicalPosition(const LinkMap& links, uint32_t object, JVariantList& position,
                                   const JVariantList& offset)
{
    if (position.size() < kMemberNum || offset.size() < kMemberNum) return kFailed;
    JVariantList current;
    JLIB_RETURN_IF_FAILED(getPrmPhysicalXYZ(links, CATEGORY_LINKPRM_OBA_OBJECT_PHYSICAL_POSITION, object, 0, current));
    for (uint32_t k = 0; k < kMemberNum; ++k) position[k] = current[k] + offset[k];
    return JLIB::kOk;
}

JLIB::JResult updateBothPhysicalAndLogical(const PDBLinkConverterList* converters, const LinkMap& links,
                                           uint32_t object, const JVariantList& offset, uint8_t attr)
{
    JVariantList position(kMemberNum);
    JLIB_RETURN_IF_FAILED(movePhysicalPosition(links, object, position, offset));
    JLIB_RETURN_IF_FAILED(setPrmPhysicalXYZ(links, CATEGORY_LINKPRM_OBA_OBJECT_PHYSICAL_POSITION, object, 0, position,
                                            kDerivedWriteAttr));
    JVariantList logical;
    JLIB_RETURN_IF_FAILED(toLogical(converters, links, position, logical, object));
    return setPrmLogicalBothClipAndNonClip(links, logical, object, attr);
}

JLIB::JResult linkPrmLogicalToPhysicalWithPair(const PDBLinkConverterList* converters, const LinkMap& links,
                                               const JVariantList& logical, uint32_t object, uint32_t partner,
                                               bool withPartner, uint8_t attr)
{
    return linkPrmLogicalToPhysicalWithPairInternal(CATEGORY_LINK_LOGICAL_TO_PHYSICAL_TYPE_A, converters, links,
                                                    logical, object, partner, withPartner, attr);
}

JLIB::JResult linkPrmLogicalToPhysicalWithPairInternal(CategoryOfLinkPrmLogicalToPysicalType type,
                                                       const PDBLinkConverterList* converters, const LinkMap& links,
                                                       const JVariantList& logical, uint32_t object, uint32_t partner,
                                                       bool withPartner, uint8_t attr)
{
    switch (type) {
    case CATEGORY_LINK_LOGICAL_TO_PHYSICAL_TYPE_A:
        return linkPrmLogicalToPhysicalWithPairTypeA(converters, links, logical, object, partner, withPartner, attr);
    case CATEGORY_LINK_LOGICAL_TO_PHYSICAL_TYPE_B:
        return linkPrmLogicalToPhysicalWithPairTypeB(converters, links, logical, object, partner, withPartner, attr);
    default:
        return JLIB::kOk;
    }
}

JLIB::JResult linkPrmLogicalToPhysicalWithPairTypeA(const PDBLinkConverterList* converters, const LinkMap& links,
                                                    const JVariantList& logical, uint32_t object, uint32_t partner,
                                                    bool withPartner, uint8_t attr)
{
    if (!converters || logical.size() < kMemberNum) return kFailed;
    const JVariantList objectNew(logical.begin(), logical.begin() + kMemberNum);
    JVariantList partnerNew;
    if (withPartner) partnerNew.resize(kMemberNum);  // an object alone needs no offset
    for (uint32_t k = 0; withPartner && k < kMemberNum; ++k) {
        JVariant objectOld;
        JVariant partnerOld;
        JLIB_RETURN_IF_FAILED(
            getVariant(links, CATEGORY_LINKPRM_OBA_OBJECT_LOGICAL_POSITION_INTERNAL, object, 0, objectOld, k));
        JLIB_RETURN_IF_FAILED(
            getVariant(links, CATEGORY_LINKPRM_OBA_OBJECT_LOGICAL_POSITION_INTERNAL, partner, 0, partnerOld, k));
        partnerNew[k] = logical[k] + (partnerOld - objectOld);
    }
    const JLIB::JResult result =
        linkPrmLogicalToPhysicalWithPairTypeAInternal(converters, links, objectNew, object, attr);
    if (JLIB::isFailure(result) || !withPartner) return result;
    return linkPrmLogicalToPhysicalWithPairTypeAInternal(converters, links, partnerNew, partner, kDerivedWriteAttr);
}

JLIB::JResult linkPrmLogicalToPhysicalWithPairTypeAInternal(const PDBLinkConverterList* converters,
                                                            const LinkMap& links, const JVariantList& logical,
                                                            uint32_t object, uint8_t attr)
{
    JVariantList physical;
    JLIB_RETURN_IF_FAILED(toPhysical(converters, links, logical, physical, object));
    JLIB_RETURN_IF_FAILED(setPrmLogicalBothClipAndNonClip(links, logical, object, attr));
    return setPrmPhysicalXYZ(links, CATEGORY_LINKPRM_OBA_OBJECT_PHYSICAL_POSITION, object, 0, physical,
                             kDerivedWriteAttr);
}

JLIB::JResult linkPrmLogicalToPhysicalWithPairTypeB(const PDBLinkConverterList* converters, const LinkMap& links,
                                                    const JVariantList& logical, uint32_t object, uint32_t partner,
                                                    bool withPartner, uint8_t attr)
{
    if (!converters || logical.size() < kMemberNum) return kFailed;
    JVariantList logicalOld;
    JLIB_RETURN_IF_FAILED(getPrmXYZ(links, CATEGORY_LINKPRM_OBA_OBJECT_LOGICAL_POSITION, object, 0, logicalOld));
    JVariantList physicalOld;
    JVariantList physicalNew;
    JLIB_RETURN_IF_FAILED(toPhysical(converters, links, logicalOld, physicalOld, object));
    JLIB_RETURN_IF_FAILED(toPhysical(converters, links, logical, physicalNew, object));
    JVariantList offset(kMemberNum);
    for (uint32_t k = 0; k < kMemberNum; ++k) offset[k] = physicalNew[k] - physicalOld[k];
    const JLIB::JResult result = updateBothPhysicalAndLogical(converters, links, object, offset, attr);
    if (JLIB::isFailure(result) || !withPartner) return result;
    return updateBothPhysicalAndLogical(converters, links, partner, offset, kDerivedWriteAttr);
}

JLIB::JResult show(const char* label, const JVariantList& position) { return JLIB::kOk; }

}  // namespace LPC
