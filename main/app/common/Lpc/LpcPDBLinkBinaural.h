#pragma once
// The link handler of the binaural control positions: while the binaural source is 0, control
// position i + 64 follows object i's physical position; while it is 1, positions i and i + 64
// both follow speaker i. Runs inside linked writes and update passes under the device database's
// write lock; keeps no state of its own.
#include <cstdint>

#include "common/Lpc/PDBLink.h"

namespace PDB {
class AddressId;
}

namespace LPC {

class PDBLinkBinaural {
public:
    PDBLinkBinaural();
    virtual ~PDBLinkBinaural();
    PDBLinkBinaural(const PDBLinkBinaural&) = delete;
    PDBLinkBinaural& operator=(const PDBLinkBinaural&) = delete;

    // The source (32): stored, then every control position rewritten from the new source (a
    // failed copy is not reported; a source other than 0 or 1 fails every later copy). 1, the
    // failed store, or 0x80000000 without values.
    uint32_t linkPrmBinauralSource(const LinkMap& links, const LinkEntry& entry, const PDB::AddressId& id,
                                   uint32_t x, uint32_t y, const JVariantList& values, uint8_t attr);
    // A speaker position (33, stored here while the source is 1) or an object's physical position
    // (34, already stored by the pair handler). 0 and nothing done for a paired object written with
    // a non-zero pair flag (the pair handler mirrors both), and when the source does not follow
    // the written kind; 0x80000000 for fewer than three values; else 1 or the failure.
    uint32_t linkPrm(const LinkMap& links, const LinkEntry& entry, const PDB::AddressId& id, uint32_t x, uint32_t y,
                     const JVariantList& values, uint8_t attr);
    // Every pass, whatever the factor: copyParamsToBinauralControl.
    uint32_t update(const LinkMap& links, const LinkEntry& entry, const PDB::AddressId& id,
                    CATEGORY_OF_LinkUpdateFactor factor);
};

// Rewrites the control positions from the stored source: the failed read of it, 0x80000000 for a
// source other than 0 or 1, else the result of the copy.
[[nodiscard]] JLIB::JResult copyParamsToBinauralControl(const LinkMap& links);
[[nodiscard]] JLIB::JResult fromOBAPhysicalPosition(const LinkMap& links);
// Both halves; the OR of both copies.
[[nodiscard]] JLIB::JResult fromSpeakerPhysicalPosition(const LinkMap& links);
// Members 0 to 2 of every index i of the source at (i + offset, 0) of the target, 255. Unreadable
// values are skipped; 0x80000000 when a category is missing, else the last read's or write's result.
[[nodiscard]] JLIB::JResult copyParamsToBinauralControlInternal(const LinkMap& links, CATEGORY_OF_LinkPrm source,
                                                                CATEGORY_OF_LinkPrm target, uint32_t indexOffset);

}  // namespace LPC
