#pragma once
// The link handler of the solo switches of the external inputs, the objects and the speaker
// outputs: each group has an internal mirror that is 1 on every audible channel (every channel
// while none is soloed, else exactly the soloed ones). While show mode is on solo switches are
// refused, and a write of show mode clears every solo. Runs inside linked writes and update passes
// under the device database's write lock; keeps no state of its own.
#include <cstdint>
#include <vector>

#include "common/Lpc/PDBLink.h"

namespace PDB {
class AddressId;
}

namespace LPC {

class PDBLinkSolo {
public:
    PDBLinkSolo();
    virtual ~PDBLinkSolo();
    PDBLinkSolo(const PDBLinkSolo&) = delete;
    PDBLinkSolo& operator=(const PDBLinkSolo&) = delete;

    // A solo switch (21, 23, 25; the entry's one dependent category names its mirror) or show mode
    // (27). 1 when done; 0x80000000 without values, for a solo entry without exactly one dependent
    // category, for a solo switch while show mode is on (nothing written) and for any other
    // category; a failed read of show mode.
    uint32_t linkPrm(const LinkMap& links, const LinkEntry& entry, const PDB::AddressId& id, uint32_t x, uint32_t y,
                     const JVariantList& values, uint8_t attr);
    // Factor 0: 0. Otherwise recomputes the mirror of the entry from the stored switches: 1, or
    // 0x80000000 for an entry without exactly one dependent category.
    uint32_t update(const LinkMap& links, const LinkEntry& entry, const PDB::AddressId& id,
                    CATEGORY_OF_LinkUpdateFactor factor);
};

// True for 21, 23 and 25.
bool isSoloParameter(CATEGORY_OF_LinkPrm category);
// Collects the channels 0 to n - 1 (n the parameter's x size) whose value at (channel, y) is not 0;
// unreadable channels are skipped. With stopAtFirst the walk ends at the first one with 1.
// Otherwise 0; 0x80000000 for an address that names no parameter.
[[nodiscard]] JLIB::JResult makeChListWhenValueIsNot0(const PDB::AddressId& address, uint32_t y,
                                                      std::vector<uint32_t>& channels, bool stopAtFirst);
// True when any channel of the category's parameter is not 0 (false for a missing category).
bool isAnySoloInternal(const LinkMap& links, CATEGORY_OF_LinkPrm category);
// True when any channel of the three solo groups is soloed.
bool isAnySolo(const LinkMap& links);
// Rewrites every value of the mirror category from the switches at the solo address, as Int32
// with attribute 255 (nothing when the mirror is missing from the map). 1, or the failed walk.
[[nodiscard]] JLIB::JResult linkPrmSolo(const LinkMap& links, CATEGORY_OF_LinkPrm mirror,
                                        const PDB::AddressId& soloAddress);

}  // namespace LPC
