#pragma once
// The link handler that keeps object positions consistent with the outlines of the 32 spaces:
// a write of a space's boundary points, centre or heights rebuilds that space's converter and
// recomputes the logical positions of its objects from their physical ones; a zone write moves
// an object into another space at the same physical place; an update pass rebuilds everything.
// Runs inside linked writes and update passes, under the device database's write lock.
#include <array>
#include <cstdint>

#include "common/Lpc/PDBLink.h"

namespace LPC {

class PDBLinkConverterList;

// A stored (x, y) value pair, and the sixteen boundary points of a space in index order.
using XYValue = std::array<JVariant, 2>;
using SpaceOutline = std::array<XYValue, 16>;

class PDBLinkCoordinateTransformation {
public:
    // The list is borrowed from the device link table, which outlives this handler.
    explicit PDBLinkCoordinateTransformation(PDBLinkConverterList* converters);
    virtual ~PDBLinkCoordinateTransformation();
    PDBLinkCoordinateTransformation(const PDBLinkCoordinateTransformation&) = delete;
    PDBLinkCoordinateTransformation& operator=(const PDBLinkCoordinateTransformation&) = delete;

    // Factor 0 does nothing (0). Otherwise rebuilds spaces 0 to 31 (the first failure stops it)
    // and recomputes every object's logical position; the recomputation's result.
    uint32_t update(const LinkMap& links, const LinkEntry& entry, const PDB::AddressId& id,
                    CATEGORY_OF_LinkUpdateFactor factor);
    // Boundary point (28), centre (29) or heights (30) of space x: a point or centre equal to one
    // the space holds already is refused and nothing is written; otherwise the values are stored,
    // the space rebuilt and its objects recomputed. 1 or the failure.
    uint32_t linkPrmSpace(const LinkMap& links, const LinkEntry& entry, const PDB::AddressId& id, uint32_t x,
                          uint32_t y, const JVariantList& values, uint8_t attr);
    // Zone of object x (31): stored, then the logical position follows the physical one into the
    // new space. 1 or the failure (zone 0 fails after the zone was stored).
    uint32_t linkPrmZone(const LinkMap& links, const LinkEntry& entry, const PDB::AddressId& id, uint32_t x,
                         uint32_t y, const JVariantList& values, uint8_t attr);
    // Re-creates the converter of a 0-based space from the database; the first failure stops it.
    [[nodiscard]] JLIB::JResult linkPrmSpaceInternal(const LinkMap& links, uint32_t space);

private:
    PDBLinkConverterList* m_pConverters;  // borrowed, see the constructor
};

// The boundary points of a space, x then y of each in index order; the first failed read stops it.
[[nodiscard]] JLIB::JResult getOBASpacePosition(const LinkMap& links, uint32_t space, SpaceOutline& points);
[[nodiscard]] JLIB::JResult getOBASpaceCenter(const LinkMap& links, uint32_t space, XYValue& center);
// True when values hold at least two elements equal to the stored pair (stored on the left).
bool isSameXY(const XYValue& stored, const JVariantList& values);
// 0 when the (x, y) of values equals no boundary point and not the centre of the space (the point
// being written included), 0x80000000 when it does, or the failed read.
[[nodiscard]] JLIB::JResult canSetPositionTo(const LinkMap& links, const JVariantList& values, uint32_t space);

}  // namespace LPC
