#pragma once
// The link handler that turns the 3D-reverb room pattern into the impulse-response numbers of the
// reverb (eight) and of the FIR stage (seven) for the rack. Runs inside linked writes and update
// passes under the device database's write lock; keeps no state of its own.
#include <array>
#include <cstddef>
#include <cstdint>

#include "common/Lpc/PDBLink.h"

namespace PDB {
class AddressId;
}

namespace LPC {

// Impulse-response numbers per room of gl_RoomIDTable: the reverb's eight from 186 and the FIR
// stage's seven from 121, consecutive from room to room.
namespace Rev {
inline constexpr auto IRNo = [] {
    std::array<std::array<int32_t, 8>, 6> table{};
    for (size_t room = 0; room < table.size(); ++room) {
        for (size_t i = 0; i < table[room].size(); ++i) table[room][i] = static_cast<int32_t>(186 + 8 * room + i);
    }
    return table;
}();
}  // namespace Rev
namespace FIR {
inline constexpr auto IRNo = [] {
    std::array<std::array<int32_t, 7>, 6> table{};
    for (size_t room = 0; room < table.size(); ++room) {
        for (size_t j = 0; j < table[room].size(); ++j) table[room][j] = static_cast<int32_t>(121 + 7 * room + j);
    }
    return table;
}();
}  // namespace FIR

class PDBLink3DRevPattern {
public:
    PDBLink3DRevPattern();
    virtual ~PDBLink3DRevPattern();
    PDBLink3DRevPattern(const PDBLink3DRevPattern&) = delete;
    PDBLink3DRevPattern& operator=(const PDBLink3DRevPattern&) = delete;

    // The pattern stored, then the numbers of its room. 1, the failed write, or 0x80000000 without
    // values.
    uint32_t linkPrm(const LinkMap& links, const LinkEntry& entry, const PDB::AddressId& id, uint32_t x, uint32_t y,
                     const JVariantList& values, uint8_t attr);
    // Every pass, whatever the factor: the numbers of the stored pattern; the failed read or
    // linkPrmInternal's result.
    uint32_t update(const LinkMap& links, const LinkEntry& entry, const PDB::AddressId& id,
                    CATEGORY_OF_LinkUpdateFactor factor);

    // The room of the pattern's text (case ignored, "Room" when none matches): the eight reverb
    // numbers, then the seven FIR numbers, as Int32 with attribute 255. The first failure, else
    // the last write's result.
    [[nodiscard]] static JLIB::JResult linkPrmInternal(const LinkMap& links, const JVariant& pattern);
};

}  // namespace LPC
