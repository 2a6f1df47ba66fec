#include "common/Lpc/LpcPDBLinkUz.h"

#include <functional>
#include <new>

#include "common/Lpc/LpcPDB.h"
#include "common/Lpc/LpcPDBLink3DRevPattern.h"
#include "common/Lpc/LpcPDBLinkBinaural.h"
#include "common/Lpc/LpcPDBLinkConverterList.h"
#include "common/Lpc/LpcPDBLinkCoordinateTransformation.h"
#include "common/Lpc/LpcPDBLinkJustCopy.h"
#include "common/Lpc/LpcPDBLinkOscillator.h"
#include "common/Lpc/LpcPDBLinkPair.h"
#include "common/Lpc/LpcPDBLinkSolo.h"
#include "common/Lpc/LpcPDBLinkSpeakerZone.h"

namespace LPC {

namespace {

constexpr JLIB::JResult kFailed = 0x80000000u;

// Binds a handler object's link or update operation; the object outlives the table (see the
// destructor), so the pointer stays valid for every call.
template <typename Handler>
LinkHandler bindLink(Handler* handler,
                     uint32_t (Handler::*op)(const LinkMap&, const LinkEntry&, const PDB::AddressId&, uint32_t,
                                             uint32_t, const JVariantList&, uint8_t))
{
    return [handler, op](const LinkMap& links, const LinkEntry& entry, const PDB::AddressId& id, uint32_t x,
                         uint32_t y, const JVariantList& values, uint8_t attr) {
        return (handler->*op)(links, entry, id, x, y, values, attr);
    };
}

template <typename Handler>
UpdateHandler bindUpdate(Handler* handler, uint32_t (Handler::*op)(const LinkMap&, const LinkEntry&,
                                                                   const PDB::AddressId&,
                                                                   CATEGORY_OF_LinkUpdateFactor))
{
    return [handler, op](const LinkMap& links, const LinkEntry& entry, const PDB::AddressId& id,
                         CATEGORY_OF_LinkUpdateFactor factor) { return (handler->*op)(links, entry, id, factor); };
}

void add(LinkMap& links, CATEGORY_OF_LinkPrm category, int32_t internal, CATEGORY_OF_PDBTYPE component,
         const char* address, LinkHandler link = {}, std::vector<CATEGORY_OF_LinkPrm> dependents = {},
         UpdateHandler update = {})
{
    T_LINK_PRM& entry = links[category];
    entry.internal = internal;
    entry.category = static_cast<int32_t>(component);
    entry.address = address;
    entry.link = std::move(link);
    entry.dependents = std::move(dependents);
    entry.update = std::move(update);
}

}  // namespace

PDBLinkUz::PDBLinkUz()
    : m_pConverters(new (std::nothrow) PDBLinkConverterList),
      m_pPair(new (std::nothrow) PDBLinkPair(m_pConverters.get())),
      m_pSolo(new (std::nothrow) PDBLinkSolo),
      m_pCoordinateTransformation(new (std::nothrow) PDBLinkCoordinateTransformation(m_pConverters.get())),
      m_pBinaural(new (std::nothrow) PDBLinkBinaural),
      m_pSpeakerZone(new (std::nothrow) PDBLinkSpeakerZone),
      m_pOscillator(new (std::nothrow) PDBLinkOscillator),
      m_p3DRevPattern(new (std::nothrow) PDBLink3DRevPattern),
      m_pJustCopy(new (std::nothrow) PDBLinkJustCopy),
      m_created(false)
{
    m_created = m_pConverters && m_pPair && m_pSolo && m_pCoordinateTransformation && m_pBinaural &&
                m_pSpeakerZone && m_pOscillator && m_p3DRevPattern && m_pJustCopy;
    // Without every handler a bound entry would call a missing object on its first write.
    if (!m_created) return;

    constexpr CATEGORY_OF_PDBTYPE kCurrent = CATEGORY_PDBTYPE_UZCURRENT;
    constexpr CATEGORY_OF_PDBTYPE kSetup = CATEGORY_PDBTYPE_UZSETUP;
    constexpr CATEGORY_OF_PDBTYPE kVolatile = CATEGORY_PDBTYPE_UZVOLATILE;
    PDBLinkPair* pair = m_pPair.get();
    PDBLinkSolo* solo = m_pSolo.get();
    PDBLinkCoordinateTransformation* coordinates = m_pCoordinateTransformation.get();
    PDBLinkBinaural* binaural = m_pBinaural.get();
    PDBLinkSpeakerZone* zone = m_pSpeakerZone.get();
    PDBLinkOscillator* oscillator = m_pOscillator.get();
    PDBLink3DRevPattern* reverb = m_p3DRevPattern.get();
    PDBLinkJustCopy* copy = m_pJustCopy.get();
    const LinkHandler pairLink = bindLink(pair, &PDBLinkPair::linkPrm);
    const LinkHandler soloLink = bindLink(solo, &PDBLinkSolo::linkPrm);
    const UpdateHandler soloUpdate = bindUpdate(solo, &PDBLinkSolo::update);
    const LinkHandler spaceLink = bindLink(coordinates, &PDBLinkCoordinateTransformation::linkPrmSpace);
    const LinkHandler binauralLink = bindLink(binaural, &PDBLinkBinaural::linkPrm);
    const LinkHandler copyLink = bindLink(copy, &PDBLinkJustCopy::linkPrm);
    const UpdateHandler copyUpdate = bindUpdate(copy, &PDBLinkJustCopy::update);

    LinkMap links;
    add(links, CATEGORY_LINKPRM_OBA_OBJECT_PAIR, 0, kSetup, "/OBA/Object/Pair", pairLink, {},
        bindUpdate(pair, &PDBLinkPair::update));
    add(links, CATEGORY_LINKPRM_OBA_SOLO_ON_PAIR, 0, kVolatile, "/OBA/Solo/On", pairLink);
    add(links, CATEGORY_LINKPRM_OBA_OBJECT_FADER_LEVEL, 0, kCurrent, "/OBA/Object/Fader/Level", pairLink);
    add(links, CATEGORY_LINKPRM_OBA_OBJECT_FADER_ON, 0, kCurrent, "/OBA/Object/Fader/On", pairLink);
    add(links, CATEGORY_LINKPRM_OBA_OBJECT_VISIBLE, 0, kCurrent, "/OBA/Object/Visible", pairLink);
    add(links, CATEGORY_LINKPRM_OBA_OBJECT_AUXSEND_ON, 0, kCurrent, "/OBA/Object/AuxSend/On", pairLink);
    add(links, CATEGORY_LINKPRM_OBA_OBJECT_AUXSEND_LEVEL, 0, kCurrent, "/OBA/Object/AuxSend/Level", pairLink);
    add(links, CATEGORY_LINKPRM_OBA_OBJECT_REVSEND_ON, 0, kCurrent, "/OBA/Object/RevSend/On", pairLink);
    add(links, CATEGORY_LINKPRM_OBA_OBJECT_REVSEND_LEVEL, 0, kCurrent, "/OBA/Object/RevSend/Level", pairLink);
    add(links, CATEGORY_LINKPRM_OBA_OBJECT_XYMODE, 0, kSetup, "/OBA/Object/XYmode", pairLink);
    add(links, CATEGORY_LINKPRM_OBA_OBJECT_ZONE_PAIR, 0, kCurrent, "/OBA/Object/Zone", pairLink);
    add(links, CATEGORY_LINKPRM_OBA_OBJECT_PHYSICAL_POSITION, 0, kCurrent, "/OBA/Object/PhysicalPosition@xyz@x",
        pairLink);
    add(links, CATEGORY_LINKPRM_OBA_OBJECT_LOGICAL_POSITION, 0, kCurrent, "/OBA/Object/LogicalPosition@xyz@x",
        pairLink);
    add(links, CATEGORY_LINKPRM_OBA_OBJECT_LOGICAL_POSITION_INTERNAL, 1, kVolatile,
        "/OBA/Object/LogicalPosition_Internal@xyz@x");
    add(links, CATEGORY_LINKPRM_OBA_OBJECT_SIZE_H, 0, kCurrent, "/OBA/Object/SizeH", pairLink);
    add(links, CATEGORY_LINKPRM_OBA_OBJECT_SIZE_V, 0, kCurrent, "/OBA/Object/SizeV", pairLink);
    add(links, CATEGORY_LINKPRM_OBA_OBJECT_RECALLSAFE_ON, 0, kSetup, "/OBA/Object/RecallSafe/On", pairLink);
    add(links, CATEGORY_LINKPRM_OBA_OBJECT_RECALLSAFE_POSITION, 0, kSetup, "/OBA/Object/RecallSafe/Position",
        pairLink);
    add(links, CATEGORY_LINKPRM_OBA_OBJECT_RECALLSAFE_SIZE, 0, kSetup, "/OBA/Object/RecallSafe/Size", pairLink);
    add(links, CATEGORY_LINKPRM_OBA_OBJECT_RECALLSAFE_AUXSEND, 0, kSetup, "/OBA/Object/RecallSafe/AuxSend",
        pairLink);
    add(links, CATEGORY_LINKPRM_OBA_OBJECT_RECALLSAFE_REVSEND, 0, kSetup, "/OBA/Object/RecallSafe/RevSend",
        pairLink);
    add(links, CATEGORY_LINKPRM_AUXIN_SOLO_ON, 0, kVolatile, "/AuxIn/Solo/On", soloLink,
        {CATEGORY_LINKPRM_AUXIN_SOLO_ON_INTERNAL}, soloUpdate);
    add(links, CATEGORY_LINKPRM_AUXIN_SOLO_ON_INTERNAL, 1, kVolatile, "/AuxIn/Solo/On_Internal");
    add(links, CATEGORY_LINKPRM_OBA_SOLO_ON, 0, kVolatile, "/OBA/Solo/On", soloLink,
        {CATEGORY_LINKPRM_OBA_SOLO_ON_INTERNAL}, soloUpdate);
    add(links, CATEGORY_LINKPRM_OBA_SOLO_ON_INTERNAL, 1, kVolatile, "/OBA/Solo/On_Internal");
    add(links, CATEGORY_LINKPRM_TOSPEAKER_SOLO_ON, 0, kVolatile, "/ToSpeaker/Solo/On", soloLink,
        {CATEGORY_LINKPRM_TOSPEAKER_SOLO_ON_INTERNAL}, soloUpdate);
    add(links, CATEGORY_LINKPRM_TOSPEAKER_SOLO_ON_INTERNAL, 1, kVolatile, "/ToSpeaker/Solo/On_Internal");
    add(links, CATEGORY_LINKPRM_SHOW_ON, 0, kVolatile, "/Show/On", soloLink);
    add(links, CATEGORY_LINKPRM_OBA_SPACE_POSITION, 0, kSetup, "/OBA/Space/Position@xy@x", spaceLink, {},
        bindUpdate(coordinates, &PDBLinkCoordinateTransformation::update));
    add(links, CATEGORY_LINKPRM_OBA_SPACE_CENTER, 0, kSetup, "/OBA/Space/Center@xy@x", spaceLink);
    add(links, CATEGORY_LINKPRM_OBA_SPACE_HEIGHT, 0, kSetup, "/OBA/Space/Height@LMH@L", spaceLink);
    add(links, CATEGORY_LINKPRM_OBA_OBJECT_ZONE, 0, kCurrent, "/OBA/Object/Zone",
        bindLink(coordinates, &PDBLinkCoordinateTransformation::linkPrmZone));
    add(links, CATEGORY_LINKPRM_BINAURAL_SOURCE, 0, kSetup, "/Binaural/Source",
        bindLink(binaural, &PDBLinkBinaural::linkPrmBinauralSource), {},
        bindUpdate(binaural, &PDBLinkBinaural::update));
    add(links, CATEGORY_LINKPRM_OBA_SPEAKER_POSITION, 0, kSetup, "/OBA/Speaker/Position@xyz@x", binauralLink);
    add(links, CATEGORY_LINKPRM_OBA_OBJECT_PHYSICAL_POSITION_BINAURAL, 0, kCurrent,
        "/OBA/Object/PhysicalPosition@xyz@x", binauralLink);
    add(links, CATEGORY_LINKPRM_BINAURAL_CONTROL_POSITION, 1, kVolatile, "/BinauralControl/Position@xyz@x");
    add(links, CATEGORY_LINKPRM_OBA_SPEAKER_ZONE, 0, kSetup, "/OBA/Speaker/Zone",
        bindLink(zone, &PDBLinkSpeakerZone::linkPrm), {}, bindUpdate(zone, &PDBLinkSpeakerZone::update));
    add(links, CATEGORY_LINKPRM_OBA_SPEAKER_ZONE_LAYER1, 1, kVolatile, "/OBA/Speaker/Zone/Layer1");
    add(links, CATEGORY_LINKPRM_OBA_SPEAKER_ZONE_LAYER2, 1, kVolatile, "/OBA/Speaker/Zone/Layer2");
    add(links, CATEGORY_LINKPRM_OSCILLATOR_SENDASSIGN_TOSPEAKER, 0, kSetup, "/Oscillator/SendAssign/ToSpeaker",
        bindLink(oscillator, &PDBLinkOscillator::linkPrm), {}, bindUpdate(oscillator, &PDBLinkOscillator::update));
    add(links, CATEGORY_LINKPRM_OSCILLATOR_SENDASSIGN_TOSPEAKER_INTERNAL, 1, kVolatile,
        "/Oscillator/SendAssign/ToSpeaker_Internal");
    add(links, CATEGORY_LINKPRM_3DREV_PATTERN, 0, kSetup, "/3DRev/Pattern",
        bindLink(reverb, &PDBLink3DRevPattern::linkPrm), {}, bindUpdate(reverb, &PDBLink3DRevPattern::update));
    add(links, CATEGORY_LINKPRM_3DREV_FIR16X4_IRNO, 1, kVolatile, "/3DRev/FIR16x4/IRNo");
    add(links, CATEGORY_LINKPRM_3DREV_SREV_IRNO, 1, kVolatile, "/3DRev/SREV/IRNo");
    add(links, CATEGORY_LINKPRM_OBA_MASTERFADER_LEVEL, 0, kSetup, "/OBA/MasterFader/Level", copyLink, {}, copyUpdate);
    add(links, CATEGORY_LINKPRM_OBA_MASTERFADER_LEVEL_INTERNAL, 1, kVolatile, "/OBA/MasterFader/Level_Internal");
    add(links, CATEGORY_LINKPRM_OBA_MASTERFADER_ON, 0, kSetup, "/OBA/MasterFader/On", copyLink, {}, copyUpdate);
    add(links, CATEGORY_LINKPRM_OBA_MASTERFADER_ON_INTERNAL, 1, kVolatile, "/OBA/MasterFader/On_Internal");
    (void)setLinks(links);  // always 0
}

PDBLinkUz::~PDBLinkUz()
{
    m_pCoordinateTransformation.reset();
    m_pSolo.reset();
    m_pPair.reset();
    m_pConverters.reset();
    m_pBinaural.reset();
    m_pSpeakerZone.reset();
    m_pOscillator.reset();
    m_p3DRevPattern.reset();
    m_pJustCopy.reset();
}

JLIB::JResult PDBLinkUz::initialize()
{
    if (!m_created) return kFailed;
    return PDBLink::initialize();
}

}  // namespace LPC
