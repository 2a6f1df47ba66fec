#pragma once
// The link engine: a table of link entries, one per linked parameter address, each naming the
// handler that keeps dependent parameters consistent. Every linked write is offered to the
// handlers of the entries registered for the written address before anything is stored; an
// update pass runs every update handler after the device state was replaced as a whole. The
// table is built and resolved before the engine is installed and only read afterwards, so the
// engine has no lock: handlers run on the writing task under the database's write lock.
#include <cstdint>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "PDB/pdb_AddressId.h"
#include "common/Lpc/LpcPDB.h"
#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"

namespace LPC {

// Names one link entry of the device link table; entries are kept and walked in ascending order.
// "_INTERNAL" entries and the layers, binaural control positions and impulse-response numbers are
// derived values that only handlers write.
enum CATEGORY_OF_LinkPrm : uint32_t {
    CATEGORY_LINKPRM_OBA_OBJECT_PAIR = 0,
    CATEGORY_LINKPRM_OBA_SOLO_ON_PAIR = 1,
    CATEGORY_LINKPRM_OBA_OBJECT_FADER_LEVEL = 2,
    CATEGORY_LINKPRM_OBA_OBJECT_FADER_ON = 3,
    CATEGORY_LINKPRM_OBA_OBJECT_VISIBLE = 4,
    CATEGORY_LINKPRM_OBA_OBJECT_AUXSEND_ON = 5,
    CATEGORY_LINKPRM_OBA_OBJECT_AUXSEND_LEVEL = 6,
    CATEGORY_LINKPRM_OBA_OBJECT_REVSEND_ON = 7,
    CATEGORY_LINKPRM_OBA_OBJECT_REVSEND_LEVEL = 8,
    CATEGORY_LINKPRM_OBA_OBJECT_XYMODE = 9,
    CATEGORY_LINKPRM_OBA_OBJECT_ZONE_PAIR = 10,
    CATEGORY_LINKPRM_OBA_OBJECT_PHYSICAL_POSITION = 11,  // Int32 centimetres x, y, z
    CATEGORY_LINKPRM_OBA_OBJECT_LOGICAL_POSITION = 12,   // the clipped copy
    CATEGORY_LINKPRM_OBA_OBJECT_LOGICAL_POSITION_INTERNAL = 13,  // the unclipped copy
    CATEGORY_LINKPRM_OBA_OBJECT_SIZE_H = 14,
    CATEGORY_LINKPRM_OBA_OBJECT_SIZE_V = 15,
    CATEGORY_LINKPRM_OBA_OBJECT_RECALLSAFE_ON = 16,
    CATEGORY_LINKPRM_OBA_OBJECT_RECALLSAFE_POSITION = 17,
    CATEGORY_LINKPRM_OBA_OBJECT_RECALLSAFE_SIZE = 18,
    CATEGORY_LINKPRM_OBA_OBJECT_RECALLSAFE_AUXSEND = 19,
    CATEGORY_LINKPRM_OBA_OBJECT_RECALLSAFE_REVSEND = 20,
    CATEGORY_LINKPRM_AUXIN_SOLO_ON = 21,
    CATEGORY_LINKPRM_AUXIN_SOLO_ON_INTERNAL = 22,
    CATEGORY_LINKPRM_OBA_SOLO_ON = 23,
    CATEGORY_LINKPRM_OBA_SOLO_ON_INTERNAL = 24,
    CATEGORY_LINKPRM_TOSPEAKER_SOLO_ON = 25,
    CATEGORY_LINKPRM_TOSPEAKER_SOLO_ON_INTERNAL = 26,
    CATEGORY_LINKPRM_SHOW_ON = 27,
    CATEGORY_LINKPRM_OBA_SPACE_POSITION = 28,  // boundary points x, y
    CATEGORY_LINKPRM_OBA_SPACE_CENTER = 29,    // x, y
    CATEGORY_LINKPRM_OBA_SPACE_HEIGHT = 30,    // low, middle, high
    CATEGORY_LINKPRM_OBA_OBJECT_ZONE = 31,     // 1..32, 0 invalid
    CATEGORY_LINKPRM_BINAURAL_SOURCE = 32,     // 0 objects, 1 speakers
    CATEGORY_LINKPRM_OBA_SPEAKER_POSITION = 33,
    CATEGORY_LINKPRM_OBA_OBJECT_PHYSICAL_POSITION_BINAURAL = 34,
    CATEGORY_LINKPRM_BINAURAL_CONTROL_POSITION = 35,
    CATEGORY_LINKPRM_OBA_SPEAKER_ZONE = 36,
    CATEGORY_LINKPRM_OBA_SPEAKER_ZONE_LAYER1 = 37,
    CATEGORY_LINKPRM_OBA_SPEAKER_ZONE_LAYER2 = 38,
    CATEGORY_LINKPRM_OSCILLATOR_SENDASSIGN_TOSPEAKER = 39,
    CATEGORY_LINKPRM_OSCILLATOR_SENDASSIGN_TOSPEAKER_INTERNAL = 40,
    CATEGORY_LINKPRM_3DREV_PATTERN = 41,
    CATEGORY_LINKPRM_3DREV_FIR16X4_IRNO = 42,
    CATEGORY_LINKPRM_3DREV_SREV_IRNO = 43,
    CATEGORY_LINKPRM_OBA_MASTERFADER_LEVEL = 44,
    CATEGORY_LINKPRM_OBA_MASTERFADER_LEVEL_INTERNAL = 45,
    CATEGORY_LINKPRM_OBA_MASTERFADER_ON = 46,
    CATEGORY_LINKPRM_OBA_MASTERFADER_ON_INTERNAL = 47,
    CATEGORY_LINKPRM_NUM = 48,
};

// Why an update pass runs.
enum CATEGORY_OF_LinkUpdateFactor : uint32_t {
    CATEGORY_LINK_UPDATE_3DREV_PRESET_RECALLED = 0,
    CATEGORY_LINK_UPDATE_STATE_REFRESHED = 1,
};

struct T_LINK_PRM;
using LinkMap = std::map<CATEGORY_OF_LinkPrm, T_LINK_PRM>;
using LinkEntry = std::pair<const CATEGORY_OF_LinkPrm, T_LINK_PRM>;

// Called with the map, its own entry, the written id, x, y, the values as written (one per member
// of a multi-value entry) and the write attribute. Bit 0 of the result: taken over, the handler
// stored everything itself; otherwise a negative result: failure, nothing more is stored; else
// the plain write follows.
using LinkHandler = std::function<uint32_t(const LinkMap& links, const LinkEntry& entry, const PDB::AddressId& id,
                                           uint32_t x, uint32_t y, const JVariantList& values, uint8_t attr)>;
// Called with the map, its own entry, the entry's own id and the reason; exactly 1 counts.
using UpdateHandler = std::function<uint32_t(const LinkMap& links, const LinkEntry& entry, const PDB::AddressId& id,
                                             CATEGORY_OF_LinkUpdateFactor factor)>;

struct T_LINK_PRM {
    // 1 for a derived parameter that only handlers write: never offered writes nor updated.
    int32_t internal = 0;
    // The component of the device database that holds the address (CATEGORY_OF_PDBTYPE).
    int32_t category = 0;
    // Borrowed constant text; member 0 for a multi-value parameter.
    const char* address = nullptr;
    PDB::AddressId addressId;  // filled by PDBLink::initialize
    LinkHandler link;
    std::vector<CATEGORY_OF_LinkPrm> dependents;  // kept for the handlers; the engine never reads it
    UpdateHandler update;
};

class PDBLink {
public:
    PDBLink();
    virtual ~PDBLink();
    PDBLink(const PDBLink&) = delete;
    PDBLink& operator=(const PDBLink&) = delete;

    // Before initialize: the engine keeps a copy. 0.
    JLIB::JResult setLinks(const LinkMap& links);
    // Reads "DebugOutLink" and resolves every entry's address in the device database, in order;
    // the first that does not resolve stops it with 0x80000000 (later entries stay unresolved,
    // and the engine must not be installed).
    [[nodiscard]] JLIB::JResult initialize();
    // Offers one write to every entry registered for the written id, in order, internal entries
    // skipped: results with bit 0 are recorded and the walk goes on; a negative result is
    // recorded and stops it. The recorded result, 0 when no handler acted. Writing task, under
    // the database's write lock.
    uint32_t linkPrm(const PDB::AddressId& id, uint32_t x, uint32_t y, const JVariantList& values, uint8_t attr);
    // Runs every update handler of a non-internal entry in order; 1 when one of them returned 1,
    // else 0 (failures are ignored).
    uint32_t update(CATEGORY_OF_LinkUpdateFactor factor);

    const LinkMap& links() const { return m_links; }

private:
    // The entries a write can be offered to, in walk order, with their identity keys side by side:
    // every linked write compares against all of them, so the keys lie in one block.
    void collectOfferable();

    LinkMap m_links;
    std::vector<uint32_t> m_offerKeys;
    std::vector<const LinkEntry*> m_offerEntries;  // nodes of m_links
    bool m_debugOutLink;
};

// Access through link entries for handlers inside a write; none passes the engine again. An
// absent category answers 0 and touches nothing.
// Reads member `member` of the entry's parameter at (x, y) from the device database.
[[nodiscard]] JLIB::JResult getVariant(const LinkMap& links, CATEGORY_OF_LinkPrm category, uint32_t x, uint32_t y,
                                       JVariant& value, uint32_t member);
// lpcpdb_setVariantWithAtomic on the entry's id.
[[nodiscard]] JLIB::JResult setVariant(const LinkMap& links, CATEGORY_OF_LinkPrm category, uint32_t x, uint32_t y,
                                       const JVariant& value, uint8_t attr);
// Value k to member k with lpcpdb_setVariantsWithAtomic (every value tried, the group marked once);
// the OR of the failures, else 0 or the mark's status.
[[nodiscard]] JLIB::JResult setVariantList(const LinkMap& links, CATEGORY_OF_LinkPrm category, uint32_t x,
                                           uint32_t y, const JVariantList& values, uint8_t attr);

}  // namespace LPC
