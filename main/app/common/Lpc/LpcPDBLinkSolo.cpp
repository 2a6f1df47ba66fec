#include "common/Lpc/LpcPDBLinkSolo.h"

#include "PDB/pdb_AddressId.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_ParameterInfo.h"
#include "common/Lpc/LpcPDB.h"
#include "common/Lpc/LpcSoloClear.h"

namespace LPC {

namespace {

constexpr JLIB::JResult kFailed = 0x80000000u;

constexpr CATEGORY_OF_LinkPrm kSoloSwitches[] = {CATEGORY_LINKPRM_AUXIN_SOLO_ON, CATEGORY_LINKPRM_OBA_SOLO_ON,
                                                 CATEGORY_LINKPRM_TOSPEAKER_SOLO_ON};

uint32_t channelCount(const PDB::AddressId& address)
{
    return getLpcPDB().paramInfo(address.componentIndex(), address.addressIndex()).numX;
}

}  // namespace

PDBLinkSolo::PDBLinkSolo() = default;

PDBLinkSolo::~PDBLinkSolo() = default;

uint32_t PDBLinkSolo::linkPrm(const LinkMap& links, const LinkEntry& entry, const PDB::AddressId& id, uint32_t x,
                              uint32_t y, const JVariantList& values, uint8_t attr)
{
    if (values.empty()) return kFailed;
    if (isSoloParameter(entry.first)) {
        if (entry.second.dependents.size() != 1) return kFailed;
        JVariant show;
        JLIB_RETURN_IF_FAILED(getVariant(links, CATEGORY_LINKPRM_SHOW_ON, 0, 0, show, 0));
        if (show.toInt32() != 0) return kFailed;
        (void)lpcpdb_setVariantWithAtomic(id, x, y, values[0], attr);  // the mirror follows what is stored
        return linkPrmSolo(links, entry.second.dependents[0], id);
    }
    if (entry.first != CATEGORY_LINKPRM_SHOW_ON) return kFailed;
    // Entering or leaving show mode both start without solos.
    if (isAnySolo(links)) (void)soloClear();  // a switch left on is seen by the next solo write
    (void)lpcpdb_setVariantWithAtomic(id, x, y, values[0], attr);  // a refused value leaves show mode as it was
    return 1;
}

uint32_t PDBLinkSolo::update(const LinkMap& links, const LinkEntry& entry, const PDB::AddressId&,
                             CATEGORY_OF_LinkUpdateFactor factor)
{
    if (factor == 0) return 0;
    if (entry.second.dependents.size() != 1) return kFailed;
    return linkPrmSolo(links, entry.second.dependents[0], entry.second.addressId);
}

bool isSoloParameter(CATEGORY_OF_LinkPrm category)
{
    for (const CATEGORY_OF_LinkPrm solo : kSoloSwitches) {
        if (category == solo) return true;
    }
    return false;
}

JLIB::JResult makeChListWhenValueIsNot0(const PDB::AddressId& address, uint32_t y, std::vector<uint32_t>& channels,
                                        bool stopAtFirst)
{
    if (!address.isCached()) return kFailed;
    PDB::IParameterDB& db = getLpcPDB();
    const uint32_t n = channelCount(address);
    for (uint32_t channel = 0; channel < n; ++channel) {
        JVariant value;
        if (JLIB::isFailure(db.getVariant(value, address.componentIndex(), address.addressIndex(), channel, y,
                                          nullptr))) {
            continue;
        }
        if (value.toInt32() == 0) continue;
        if (stopAtFirst) return 1;
        channels.push_back(channel);
    }
    return JLIB::kOk;
}

bool isAnySoloInternal(const LinkMap& links, CATEGORY_OF_LinkPrm category)
{
    const auto it = links.find(category);
    if (it == links.end()) return false;
    std::vector<uint32_t> channels;
    return makeChListWhenValueIsNot0(it->second.addressId, 0, channels, true) == 1;
}

bool isAnySolo(const LinkMap& links)
{
    for (const CATEGORY_OF_LinkPrm solo : kSoloSwitches) {
        if (isAnySoloInternal(links, solo)) return true;
    }
    return false;
}

JLIB::JResult linkPrmSolo(const LinkMap& links, CATEGORY_OF_LinkPrm mirror, const PDB::AddressId& soloAddress)
{
    std::vector<uint32_t> soloed;
    JLIB_RETURN_IF_FAILED(makeChListWhenValueIsNot0(soloAddress, 0, soloed, false));
    const uint32_t n = channelCount(soloAddress);
    std::vector<int32_t> audible(n, soloed.empty() ? 1 : 0);
    for (const uint32_t channel : soloed) {
        if (channel < n) audible[channel] = 1;
    }
    if (links.find(mirror) == links.end()) return 1;
    for (uint32_t channel = 0; channel < n; ++channel) {
        (void)setVariant(links, mirror, channel, 0, JVariant(audible[channel]),
                         kDerivedWriteAttr);  // best effort per channel
    }
    return 1;
}

}  // namespace LPC
