#pragma once
// The link handler that copies the master fader level and on switch into their internal mirrors,
// the entries right after theirs. Runs inside linked writes and update passes under the device
// database's write lock; keeps no state of its own.
#include <cstdint>

#include "common/Lpc/PDBLink.h"

namespace PDB {
class AddressId;
}

namespace LPC {

class PDBLinkJustCopy {
public:
    PDBLinkJustCopy();
    virtual ~PDBLinkJustCopy();
    PDBLinkJustCopy(const PDBLinkJustCopy&) = delete;
    PDBLinkJustCopy& operator=(const PDBLinkJustCopy&) = delete;

    // The value stored at (x, y) as an Int32, then copied. 1, the failed write, or 0x80000000
    // without values.
    uint32_t linkPrm(const LinkMap& links, const LinkEntry& entry, const PDB::AddressId& id, uint32_t x, uint32_t y,
                     const JVariantList& values, uint8_t attr);
    // Factor 0: 0. Otherwise every stored value copied; the first failure ends the pass, else 0.
    uint32_t update(const LinkMap& links, const LinkEntry& entry, const PDB::AddressId& id,
                    CATEGORY_OF_LinkUpdateFactor factor);

    // The value as an Int32 at (x, 0) of category + 1, attribute 255. 0x80000000 when that
    // category is missing, else the write's result.
    [[nodiscard]] static JLIB::JResult linkPrmInternal(const LinkMap& links, CATEGORY_OF_LinkPrm category, uint32_t x,
                                                       int32_t value);
};

}  // namespace LPC
