#pragma once
// The link handler that turns each speaker's oscillator send switch into the speaker's own index
// (on) or -1 (off) for the rack. Runs inside linked writes and update passes under the device
// database's write lock; keeps no state of its own.
#include <cstdint>

#include "common/Lpc/PDBLink.h"

namespace PDB {
class AddressId;
}

namespace LPC {

class PDBLinkOscillator {
public:
    PDBLinkOscillator();
    virtual ~PDBLinkOscillator();
    PDBLinkOscillator(const PDBLinkOscillator&) = delete;
    PDBLinkOscillator& operator=(const PDBLinkOscillator&) = delete;

    // The switch of speaker x stored as an Int32, then its mirror. 1, the failed write, or
    // 0x80000000 without values.
    uint32_t linkPrm(const LinkMap& links, const LinkEntry& entry, const PDB::AddressId& id, uint32_t x, uint32_t y,
                     const JVariantList& values, uint8_t attr);
    // Factor 0: 0. Otherwise every speaker's mirror from its stored switch; the first failure ends
    // the pass, else 0.
    uint32_t update(const LinkMap& links, const LinkEntry& entry, const PDB::AddressId& id,
                    CATEGORY_OF_LinkUpdateFactor factor);

    // Writes speaker (switch on) or -1 (off) as an Int32 at (speaker, 0) of the mirror, 255.
    [[nodiscard]] static JLIB::JResult linkPrmInternal(const LinkMap& links, uint32_t speaker, int32_t switchValue);
};

}  // namespace LPC
