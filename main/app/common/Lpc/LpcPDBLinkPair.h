#pragma once
// The link handler of paired sound objects: object x paired with its neighbour follows a write to
// x when the writer asks for it (same value, same change, or positions moving together), and
// pairing copies x's settings to the partner. Every write offered for a category other than 0
// carries one trailing value, the pair flag (non-zero: the partner follows). Runs inside linked
// writes under the device database's write lock; keeps no state of its own.
#include <cstdint>

#include "common/Lpc/PDBLink.h"

namespace PDB {
class AddressId;
}

namespace LPC {

class PDBLinkConverterList;

// Pair values of "/OBA/Object/Pair": 0 not paired, 1 with the previous object, 128 with the next.
constexpr uint32_t kPairNone = 0;
constexpr uint32_t kPairWithPrevious = 1;
constexpr uint32_t kPairWithNext = 128;

// True for 1 and 128 only.
bool isPair(uint32_t value);
// x - 1 for 1, x + 1 for 128, 0 otherwise.
uint32_t getPairCh(uint32_t x, uint32_t value);
// The partner's value: 128 for 1, 1 for 128, 0 otherwise.
uint32_t getPairRelation(uint32_t value);

class PDBLinkPair {
public:
    // The list is borrowed from the device link table, which outlives this handler.
    explicit PDBLinkPair(PDBLinkConverterList* converters);
    virtual ~PDBLinkPair();
    PDBLinkPair(const PDBLinkPair&) = delete;
    PDBLinkPair& operator=(const PDBLinkPair&) = delete;

    // Categories 0 to 12 and 14 to 20. 1 when done, 0x80000000 for a wrong value count, a
    // pairing change that is neither pairing nor unpairing, or an object solo while show mode is
    // on (nothing written); else the first failed read or write.
    uint32_t linkPrm(const LinkMap& links, const LinkEntry& entry, const PDB::AddressId& id, uint32_t x, uint32_t y,
                     const JVariantList& values, uint8_t attr);
    // Does nothing: 0.
    uint32_t update(const LinkMap& links, const LinkEntry& entry, const PDB::AddressId& id,
                    CATEGORY_OF_LinkUpdateFactor factor);

private:
    // The write of this object alone: 1 or the failure.
    uint32_t linkPrmAlone(const LinkMap& links, const LinkEntry& entry, const PDB::AddressId& id, uint32_t x,
                          uint32_t y, const JVariantList& values, uint8_t attr);
    uint32_t linkPrmWithPartner(const LinkMap& links, CATEGORY_OF_LinkPrm category, uint32_t x, uint32_t y,
                                uint32_t pairValue, const JVariantList& values, uint8_t attr);
    // Pairs (old not a pair value, new one) or unpairs (the other way round); anything else 0x80000000.
    uint32_t linkPrmPair(const LinkMap& links, CATEGORY_OF_LinkPrm category, uint32_t object, uint32_t oldValue,
                         uint32_t newValue, uint8_t attr);
    // The copy list 1, 2, 3, 4, 5, 7, 9, 10, 16 to 20 from object to partner; a failed read or
    // write skips a category. 0, or the failed recomputation of the partner's logical position.
    uint32_t copyParam(const LinkMap& links, uint32_t object, uint32_t partner, uint8_t attr);
    uint32_t setSameValueToPairCh(const LinkMap& links, CATEGORY_OF_LinkPrm category, uint32_t object,
                                  uint32_t partner, const JVariant& value, uint8_t attr);
    uint32_t setDifferenceValuesToPairCh(const LinkMap& links, CATEGORY_OF_LinkPrm category, uint32_t object,
                                         uint32_t y, uint32_t pairValue, const JVariantList& values, uint8_t attr);
    uint32_t setDifferenceValueToPairCh(const LinkMap& links, CATEGORY_OF_LinkPrm category, uint32_t object,
                                        uint32_t partner, uint32_t member, const JVariant& oldValue,
                                        const JVariant& newValue, uint8_t attr);

    PDBLinkConverterList* m_pConverters;  // borrowed, see the constructor
};

// Writes the pair values of both objects: the new one for the object with attr, its relation for
// the partner with 255. Pairing (a non-zero value) first reads both and refuses with 0x80000000
// when either is paired already. 1, or the first failure.
[[nodiscard]] JLIB::JResult setPairInfo(const LinkMap& links, CATEGORY_OF_LinkPrm category, uint32_t object,
                                        uint32_t partner, uint32_t newValue, uint8_t attr);
// One value at (channel, 0) of the address, past the engine.
[[nodiscard]] JLIB::JResult setSameValueToPairChFor1Ch(const LinkMap& links, CATEGORY_OF_LinkPrm category,
                                                       const PDB::AddressId& address, uint32_t channel,
                                                       const JVariant& value, uint8_t attr);
// a becomes the limit and b keeps its distance to a.
void clipValue(const JVariant& limit, JVariant& a, JVariant& b);
// True when the object's pair value is 1 or 128, and when it cannot be read.
bool isPairCh(const LinkMap& links, uint32_t object);

}  // namespace LPC
