#include "common/Lpc/LpcPDBLinkPair.h"

#include "PDB/pdb_AddressId.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_ParameterInfo.h"
#include "common/Lpc/LpcPDB.h"
#include "common/Lpc/LpcPDBLinkCoordinateTransformationFunc.h"
#include "common/Lpc/LpcPDBLinkSolo.h"

namespace LPC {

namespace {

constexpr JLIB::JResult kFailed = 0x80000000u;
constexpr uint32_t kPositionMembers = 3;

// Copied to a new partner, in this order.
constexpr CATEGORY_OF_LinkPrm kCopyOnPairing[] = {
    CATEGORY_LINKPRM_OBA_SOLO_ON_PAIR,
    CATEGORY_LINKPRM_OBA_OBJECT_FADER_LEVEL,
    CATEGORY_LINKPRM_OBA_OBJECT_FADER_ON,
    CATEGORY_LINKPRM_OBA_OBJECT_VISIBLE,
    CATEGORY_LINKPRM_OBA_OBJECT_AUXSEND_ON,
    CATEGORY_LINKPRM_OBA_OBJECT_REVSEND_ON,
    CATEGORY_LINKPRM_OBA_OBJECT_XYMODE,
    CATEGORY_LINKPRM_OBA_OBJECT_ZONE_PAIR,
    CATEGORY_LINKPRM_OBA_OBJECT_RECALLSAFE_ON,
    CATEGORY_LINKPRM_OBA_OBJECT_RECALLSAFE_POSITION,
    CATEGORY_LINKPRM_OBA_OBJECT_RECALLSAFE_SIZE,
    CATEGORY_LINKPRM_OBA_OBJECT_RECALLSAFE_AUXSEND,
    CATEGORY_LINKPRM_OBA_OBJECT_RECALLSAFE_REVSEND,
};

JLIB::JResult oneOrFailure(JLIB::JResult result) { return JLIB::isFailure(result) ? result : 1u; }

const T_LINK_PRM* findEntry(const LinkMap& links, CATEGORY_OF_LinkPrm category)
{
    const auto it = links.find(category);
    return it == links.end() ? nullptr : &it->second;
}

// Show mode refuses object solos; a failed read of it is the result.
JLIB::JResult refuseUnderShowMode(const LinkMap& links)
{
    JVariant show;
    JLIB_RETURN_IF_FAILED(getVariant(links, CATEGORY_LINKPRM_SHOW_ON, 0, 0, show, 0));
    return show.toInt32() != 0 ? kFailed : JLIB::kOk;
}

}  // namespace

bool isPair(uint32_t value) { return value == kPairWithPrevious || value == kPairWithNext; }

uint32_t getPairCh(uint32_t x, uint32_t value)
{
    if (value == kPairWithPrevious) return x - 1;
    if (value == kPairWithNext) return x + 1;
    return 0;
}

uint32_t getPairRelation(uint32_t value)
{
    if (value == kPairWithPrevious) return kPairWithNext;
    if (value == kPairWithNext) return kPairWithPrevious;
    return kPairNone;
}

PDBLinkPair::PDBLinkPair(PDBLinkConverterList* converters) : m_pConverters(converters) {}

PDBLinkPair::~PDBLinkPair() = default;

uint32_t PDBLinkPair::update(const LinkMap&, const LinkEntry&, const PDB::AddressId&, CATEGORY_OF_LinkUpdateFactor)
{
    return 0;
}

uint32_t PDBLinkPair::linkPrm(const LinkMap& links, const LinkEntry& entry, const PDB::AddressId& id, uint32_t x,
                              uint32_t y, const JVariantList& values, uint8_t attr)
{
    const CATEGORY_OF_LinkPrm category = entry.first;
    if (category == CATEGORY_LINKPRM_OBA_OBJECT_PAIR) {
        if (values.size() != 1) return kFailed;
        JVariant current;
        JLIB_RETURN_IF_FAILED(getVariant(links, category, x, y, current, 0));
        return linkPrmPair(links, category, x, current.toUInt32(), values[0].toUInt32(), attr);
    }
    if (values.empty()) return kFailed;
    // The solo handler after this one refuses a solo under show mode: storing it here first would
    // leave the switch on with a stale mirror while the writer is told it failed.
    if (category == CATEGORY_LINKPRM_OBA_SOLO_ON_PAIR) JLIB_RETURN_IF_FAILED(refuseUnderShowMode(links));
    if (values.back().toUInt32() == 0) return linkPrmAlone(links, entry, id, x, y, values, attr);
    JVariant pair;
    JLIB_RETURN_IF_FAILED(getVariant(links, CATEGORY_LINKPRM_OBA_OBJECT_PAIR, x, y, pair, 0));
    if (!isPair(pair.toUInt32())) return linkPrmAlone(links, entry, id, x, y, values, attr);
    const JVariantList withoutFlag(values.begin(), values.end() - 1);
    return linkPrmWithPartner(links, category, x, y, pair.toUInt32(), withoutFlag, attr);
}

uint32_t PDBLinkPair::linkPrmAlone(const LinkMap& links, const LinkEntry& entry, const PDB::AddressId& id,
                                   uint32_t x, uint32_t y, const JVariantList& values, uint8_t attr)
{
    switch (entry.first) {
    case CATEGORY_LINKPRM_OBA_OBJECT_PHYSICAL_POSITION:
        return oneOrFailure(linkPrmPhysicalToLogicalWithSet(m_pConverters, links, id, x, y, values, attr));
    case CATEGORY_LINKPRM_OBA_OBJECT_LOGICAL_POSITION:
        return oneOrFailure(linkPrmLogicalToPhysicalWithPair(m_pConverters, links, values, x, x, false, attr));
    default:
        return oneOrFailure(setVariant(links, entry.first, x, y, values[0], attr));
    }
}

uint32_t PDBLinkPair::linkPrmWithPartner(const LinkMap& links, CATEGORY_OF_LinkPrm category, uint32_t x, uint32_t y,
                                         uint32_t pairValue, const JVariantList& values, uint8_t attr)
{
    const uint32_t partner = getPairCh(x, pairValue);
    switch (category) {
    case CATEGORY_LINKPRM_OBA_OBJECT_AUXSEND_LEVEL:
    case CATEGORY_LINKPRM_OBA_OBJECT_REVSEND_LEVEL:
    case CATEGORY_LINKPRM_OBA_OBJECT_SIZE_H:
    case CATEGORY_LINKPRM_OBA_OBJECT_SIZE_V:
        if (values.size() != 1) return kFailed;
        return setDifferenceValuesToPairCh(links, category, x, y, pairValue, values, attr);
    case CATEGORY_LINKPRM_OBA_OBJECT_PHYSICAL_POSITION: {
        if (values.size() != kPositionMembers) return kFailed;
        JLIB_RETURN_IF_FAILED(setDifferenceValuesToPairCh(links, category, x, y, pairValue, values, attr));
        const JLIB::JResult result = linkPrmPhysicalToLogical(m_pConverters, links, x) |
                                     linkPrmPhysicalToLogical(m_pConverters, links, partner);
        return oneOrFailure(result);
    }
    case CATEGORY_LINKPRM_OBA_OBJECT_LOGICAL_POSITION:
        return oneOrFailure(linkPrmLogicalToPhysicalWithPair(m_pConverters, links, values, x, partner, true, attr));
    default:
        if (values.empty()) return kFailed;
        return setSameValueToPairCh(links, category, x, partner, values[0], attr);
    }
}

uint32_t PDBLinkPair::linkPrmPair(const LinkMap& links, CATEGORY_OF_LinkPrm category, uint32_t object,
                                  uint32_t oldValue, uint32_t newValue, uint8_t attr)
{
    const bool pairing = !isPair(oldValue) && isPair(newValue);
    const bool unpairing = isPair(oldValue) && !isPair(newValue);
    if (!pairing && !unpairing) return kFailed;
    const uint32_t partner = getPairCh(object, pairing ? newValue : oldValue);
    const JLIB::JResult result = setPairInfo(links, category, object, partner, newValue, attr);
    if (JLIB::isFailure(result) || unpairing) return result;
    const JLIB::JResult copied = copyParam(links, object, partner, attr);
    return JLIB::isFailure(copied) ? copied : result;
}

uint32_t PDBLinkPair::copyParam(const LinkMap& links, uint32_t object, uint32_t partner, uint8_t attr)
{
    for (const CATEGORY_OF_LinkPrm category : kCopyOnPairing) {
        const T_LINK_PRM* entry = findEntry(links, category);
        if (!entry) continue;
        JVariant value;
        if (JLIB::isFailure(getVariant(links, category, object, 0, value, 0))) continue;
        if (JLIB::isFailure(setVariant(links, category, partner, 0, value, kDerivedWriteAttr))) continue;
        if (category == CATEGORY_LINKPRM_OBA_SOLO_ON_PAIR) {
            (void)linkPrmSolo(links, CATEGORY_LINKPRM_OBA_SOLO_ON_INTERNAL, entry->addressId);  // always 1 here
        } else if (category == CATEGORY_LINKPRM_OBA_OBJECT_ZONE_PAIR) {
            JLIB_RETURN_IF_FAILED(updateLogicalFromPhysicalForOBA(m_pConverters, links, partner, attr));
        }
    }
    return JLIB::kOk;
}

uint32_t PDBLinkPair::setSameValueToPairCh(const LinkMap& links, CATEGORY_OF_LinkPrm category, uint32_t object,
                                           uint32_t partner, const JVariant& value, uint8_t attr)
{
    const T_LINK_PRM* entry = findEntry(links, category);
    if (!entry) return 1;
    JLIB_RETURN_IF_FAILED(setSameValueToPairChFor1Ch(links, category, entry->addressId, object, value, attr));
    JLIB_RETURN_IF_FAILED(
        setSameValueToPairChFor1Ch(links, category, entry->addressId, partner, value, kDerivedWriteAttr));
    if (category == CATEGORY_LINKPRM_OBA_OBJECT_ZONE_PAIR) {
        JLIB_RETURN_IF_FAILED(updateLogicalFromPhysicalForOBA(m_pConverters, links, partner, attr));
    }
    return 1;
}

uint32_t PDBLinkPair::setDifferenceValuesToPairCh(const LinkMap& links, CATEGORY_OF_LinkPrm category,
                                                  uint32_t object, uint32_t y, uint32_t pairValue,
                                                  const JVariantList& values, uint8_t attr)
{
    const uint32_t partner = getPairCh(object, pairValue);
    for (uint32_t member = 0; member < values.size(); ++member) {
        JVariant current;
        JLIB_RETURN_IF_FAILED(getVariant(links, category, object, y, current, member));
        JLIB_RETURN_IF_FAILED(
            setDifferenceValueToPairCh(links, category, object, partner, member, current, values[member], attr));
    }
    if (category == CATEGORY_LINKPRM_OBA_OBJECT_PHYSICAL_POSITION) {
        JLIB_RETURN_IF_FAILED(linkToBinauralControlPositionWithPair(links, category, object, partner, attr));
    }
    return 1;
}

uint32_t PDBLinkPair::setDifferenceValueToPairCh(const LinkMap& links, CATEGORY_OF_LinkPrm category,
                                                 uint32_t object, uint32_t partner, uint32_t member,
                                                 const JVariant& oldValue, const JVariant& newValue, uint8_t attr)
{
    const T_LINK_PRM* entry = findEntry(links, category);
    if (!entry) return 1;
    const uint32_t ci = entry->addressId.componentIndex();
    const uint32_t ai = entry->addressId.addressIndex() + member;
    const JVariant difference = newValue - oldValue;
    const PDB::ParameterInfo& info = getLpcPDB().paramInfo(ci, ai);
    JVariant partnerValue;
    JLIB_RETURN_IF_FAILED(getVariant(links, category, partner, 0, partnerValue, member));
    JVariant g = newValue;
    JVariant h = partnerValue + difference;
    // Each step sees the one before, so the pair stops together with one of them on the limit.
    if (info.max < g) clipValue(info.max, g, h);
    if (info.max < h) clipValue(info.max, h, g);
    if (g < info.min) clipValue(info.min, g, h);
    if (h < info.min) clipValue(info.min, h, g);
    JLIB_RETURN_IF_FAILED(lpcpdb_setVariantWithAtomic(ci, ai, object, 0, g, attr));
    JLIB_RETURN_IF_FAILED(lpcpdb_setVariantWithAtomic(ci, ai, partner, 0, h, kDerivedWriteAttr));
    return 1;
}

JLIB::JResult setPairInfo(const LinkMap& links, CATEGORY_OF_LinkPrm category, uint32_t object, uint32_t partner,
                          uint32_t newValue, uint8_t attr)
{
    if (newValue != kPairNone) {
        JVariant objectValue;
        JVariant partnerValue;
        JLIB_RETURN_IF_FAILED(getVariant(links, category, object, 0, objectValue, 0));
        JLIB_RETURN_IF_FAILED(getVariant(links, category, partner, 0, partnerValue, 0));
        if (isPair(objectValue.toUInt32()) || isPair(partnerValue.toUInt32())) return kFailed;
    }
    JLIB_RETURN_IF_FAILED(setVariant(links, category, object, 0, JVariant(newValue), attr));
    JLIB_RETURN_IF_FAILED(
        setVariant(links, category, partner, 0, JVariant(getPairRelation(newValue)), kDerivedWriteAttr));
    return 1;
}

JLIB::JResult setSameValueToPairChFor1Ch(const LinkMap&, CATEGORY_OF_LinkPrm, const PDB::AddressId& address,
                                         uint32_t channel, const JVariant& value, uint8_t attr)
{
    return lpcpdb_setVariantWithAtomic(address, channel, 0, value, attr);
}

void clipValue(const JVariant& limit, JVariant& a, JVariant& b)
{
    const JVariant distance = a - b;
    a = limit;
    b = limit - distance;
}

bool isPairCh(const LinkMap& links, uint32_t object)
{
    JVariant value;
    if (JLIB::isFailure(getVariant(links, CATEGORY_LINKPRM_OBA_OBJECT_PAIR, object, 0, value, 0))) return true;
    return isPair(value.toUInt32());
}

}  // namespace LPC
