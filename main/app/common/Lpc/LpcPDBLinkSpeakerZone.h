#pragma once
// The link handler that packs each speaker's 32 zone switches into two 16-bit layer masks, zones
// 0 to 15 into layer 1 and 16 to 31 into layer 2. Runs inside linked writes and update passes
// under the device database's write lock; keeps no state of its own.
#include <cstdint>

#include "common/Lpc/PDBLink.h"

namespace PDB {
class AddressId;
}

namespace LPC {

class PDBLinkSpeakerZone {
public:
    PDBLinkSpeakerZone();
    virtual ~PDBLinkSpeakerZone();
    PDBLinkSpeakerZone(const PDBLinkSpeakerZone&) = delete;
    PDBLinkSpeakerZone& operator=(const PDBLinkSpeakerZone&) = delete;

    // Zone y of speaker x: stored, then the layer holding it rebuilt. 1, the failed rebuild, or
    // 0x80000000 without values or for a zone of 32 or more.
    uint32_t linkPrm(const LinkMap& links, const LinkEntry& entry, const PDB::AddressId& id, uint32_t x, uint32_t y,
                     const JVariantList& values, uint8_t attr);
    // Factor 0: 0. Otherwise both layers of every speaker; the first failure ends the pass, else
    // the last rebuild's result (0 without speakers).
    uint32_t update(const LinkMap& links, const LinkEntry& entry, const PDB::AddressId& id,
                    CATEGORY_OF_LinkUpdateFactor factor);

    [[nodiscard]] static JLIB::JResult linkPrmToLayer1(const LinkMap& links, const PDB::AddressId& address,
                                                       uint32_t speaker, uint8_t attr);
    [[nodiscard]] static JLIB::JResult linkPrmToLayer2(const LinkMap& links, const PDB::AddressId& address,
                                                       uint32_t speaker, uint8_t attr);
    // Bit i of the mask is set when switch firstZone + i of the speaker is on; written as a UInt32 at
    // (speaker, 0) of the target with attribute 255. 1, the failed read or the failed write.
    [[nodiscard]] static JLIB::JResult linkPrmInternal(const LinkMap& links, const PDB::AddressId& address,
                                                       uint32_t speaker, uint32_t firstZone, CATEGORY_OF_LinkPrm target,
                                                       uint8_t attr);
};

}  // namespace LPC
