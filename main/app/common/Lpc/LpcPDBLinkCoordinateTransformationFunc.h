#pragma once
// Object positions inside linked writes: one object's physical position (Int32 centimetres) and
// logical position (Floats normalised to the space of its zone) converted into each other,
// written and moved, and physical positions mirrored into the binaural control positions. The
// physical position is the master. A position is a list of three values x, y, z. Results: 0 or 1
// on success, top bit on failure. All of it runs inside a write or update pass of the link engine,
// under the device database's write lock, on the writing task; nothing here locks on its own.
// Values asked for are written with the caller's attribute, values derived from them with 255.
#include <cstdint>

#include "common/Lpc/PDBLink.h"

namespace PDB {
class AddressId;
}

namespace LPC {

class PDBLinkConverter;
class PDBLinkConverterList;

// How a logical write moves the partner of a paired object: A keeps its logical offset, B its
// physical offset.
enum CategoryOfLinkPrmLogicalToPysicalType : uint32_t {
    CATEGORY_LINK_LOGICAL_TO_PHYSICAL_TYPE_A = 0,
    CATEGORY_LINK_LOGICAL_TO_PHYSICAL_TYPE_B = 1,
};

// The 0-based space of the object's zone; 0x80000000 for zone 0, or the failed read.
[[nodiscard]] JLIB::JResult getZoneNo(const LinkMap& links, uint32_t object, uint32_t& space);
// The three members of the category's parameter at (x, y); 0x80000000 when the category is not in
// the map, else the OR of the three reads.
[[nodiscard]] JLIB::JResult getPrmXYZ(const LinkMap& links, CATEGORY_OF_LinkPrm category, uint32_t x, uint32_t y,
                                      JVariantList& position);
// getPrmXYZ in metres.
[[nodiscard]] JLIB::JResult getPrmPhysicalXYZ(const LinkMap& links, CATEGORY_OF_LinkPrm category, uint32_t x,
                                              uint32_t y, JVariantList& position);
// Each value's toInt32 / 100 as a Float; 0.
JLIB::JResult intcm_to_floatm(const JVariantList& centimetres, JVariantList& metres);
// Metres to centimetres (the Float product × 100, halves away from zero, held to the Int32
// range), written to the category at (x, y) and mirrored as the binaural source asks. A value
// that is not finite refuses the whole position with 0x80000000 and nothing is written.
[[nodiscard]] JLIB::JResult setPrmPhysicalXYZ(const LinkMap& links, CATEGORY_OF_LinkPrm category, uint32_t x,
                                              uint32_t y, const JVariantList& metres, uint8_t attr);

// Mirroring of a physical position into the binaural control positions: object i to index i + 64
// while the binaural source is 0, speaker i to i and i + 64 while it is 1. The category names the
// position (11 or 34 an object, 33 a speaker); 11 with source 1 only stores the position.
[[nodiscard]] JLIB::JResult linkToBinauralControlPosition(const LinkMap& links, CATEGORY_OF_LinkPrm category,
                                                          uint32_t x, uint32_t y, const JVariantList& position,
                                                          uint8_t attr, bool skipOwnWrite);
// 0 and nothing written when the source differs from the expected one; else the own write (unless
// skipped) and the copy at (x + indexOffset, y) of category 35; the first failure, else 1.
[[nodiscard]] JLIB::JResult linkToBinauralControlPositionInternal(const LinkMap& links, CATEGORY_OF_LinkPrm category,
                                                                  uint32_t x, uint32_t y,
                                                                  const JVariantList& position, uint8_t attr,
                                                                  int32_t expectedSource, const JVariant& source,
                                                                  bool skipOwnWrite, uint32_t indexOffset);
// Mirrors the stored positions of the object and then (unless that failed) of the partner.
[[nodiscard]] JLIB::JResult linkToBinauralControlPositionWithPair(const LinkMap& links, CATEGORY_OF_LinkPrm category,
                                                                  uint32_t object, uint32_t partner, uint8_t attr);
[[nodiscard]] JLIB::JResult linkToBinauralControlPositionWithPairFor1Ch(const LinkMap& links,
                                                                        CATEGORY_OF_LinkPrm category,
                                                                        uint32_t channel, uint32_t y, uint8_t attr);

// The three members of a logical category; 0x80000000 for fewer than three values or a category
// not in the map, else the OR of the three writes.
[[nodiscard]] JLIB::JResult setPrmLogicalXYZ(const LinkMap& links, CATEGORY_OF_LinkPrm category, uint32_t x,
                                             uint32_t y, const JVariantList& position, uint8_t attr);
// The unclipped copy, then (unless that failed) the clipped one, both at (object, 0).
[[nodiscard]] JLIB::JResult setPrmLogicalBothClipAndNonClip(const LinkMap& links, const JVariantList& position,
                                                            uint32_t object, uint8_t attr);

// Conversions with the converter of the object's zone (metres on the physical side). A space that
// was never rebuilt, zone 0 or a zone above 32 give 0x80000000.
[[nodiscard]] JLIB::JResult toPhysical(const PDBLinkConverterList* converters, const LinkMap& links,
                                       const JVariantList& logical, JVariantList& physical, uint32_t object);
[[nodiscard]] JLIB::JResult toLogical(const PDBLinkConverterList* converters, const LinkMap& links,
                                      const JVariantList& physical, JVariantList& logical, uint32_t object);
[[nodiscard]] JLIB::JResult toLogicalWithPhysicalInt(const PDBLinkConverterList* converters, const LinkMap& links,
                                                     const JVariantList& centimetres, JVariantList& logical,
                                                     uint32_t object);
// One position with one converter; the output is replaced by three Floats on success only.
// 0x80000000 without converter, for fewer than three values, outside every sector, and (to
// physical) for a result that is not finite.
[[nodiscard]] JLIB::JResult linkPrmLogicalToPhysicalInternalXYZ(const LinkMap& links,
                                                                const PDBLinkConverter* converter,
                                                                const JVariantList& logical, JVariantList& physical);
[[nodiscard]] JLIB::JResult linkPrmPhysicalToLogicalInternalXYZ(const LinkMap& links,
                                                                const PDBLinkConverter* converter,
                                                                const JVariantList& physical, JVariantList& logical);

// Object x's physical position from a logical one, written to category 11 (with the mirror).
[[nodiscard]] JLIB::JResult linkPrmLogicalToPhysicalInternal(const PDBLinkConverterList* converters,
                                                             const LinkMap& links, const PDB::AddressId& address,
                                                             uint32_t x, uint32_t y, const JVariantList& logical,
                                                             uint8_t attr);
// Stores the logical values at the address, then derives the physical position; 1 or the failure.
[[nodiscard]] JLIB::JResult linkPrmLogicalToPhysical(const PDBLinkConverterList* converters, const LinkMap& links,
                                                     const PDB::AddressId& address, uint32_t x, uint32_t y,
                                                     const JVariantList& logical, uint8_t attr);
// Both logical copies of the object from its stored physical position, with attribute 255.
[[nodiscard]] JLIB::JResult linkPrmPhysicalToLogical(const PDBLinkConverterList* converters, const LinkMap& links,
                                                     uint32_t object);
// Stores the three physical values at the address (failures not reported), then recomputes the
// logical position of object x; 1 or the failure, 0x80000000 for fewer than three values.
[[nodiscard]] JLIB::JResult linkPrmPhysicalToLogicalWithSet(const PDBLinkConverterList* converters,
                                                            const LinkMap& links, const PDB::AddressId& address,
                                                            uint32_t x, uint32_t y, const JVariantList& physical,
                                                            uint8_t attr);
// As linkPrmPhysicalToLogical; the attribute is not used (derived values carry 255).
[[nodiscard]] JLIB::JResult updateLogicalFromPhysicalForOBA(const PDBLinkConverterList* converters,
                                                            const LinkMap& links, uint32_t object, uint8_t attr);
// Recomputes every object, or only those whose zone is the 0-based space. A failing object does
// not stop the walk: the result is the last zone read's or recomputation's (0 for no objects).
[[nodiscard]] JLIB::JResult updateLogicalFromPhysical(const PDBLinkConverterList* converters, const LinkMap& links,
                                                      uint8_t attr, bool allObjects, uint32_t space);

// The object's physical position in metres plus the offset (JVariant addition); both lists need
// three elements.
[[nodiscard]] JLIB::JResult movePhysicalPosition(const LinkMap& links, uint32_t object, JVariantList& position,
                                                 const JVariantList& offset);
// Moves the object physically by the offset and derives its logical position.
[[nodiscard]] JLIB::JResult updateBothPhysicalAndLogical(const PDBLinkConverterList* converters,
                                                         const LinkMap& links, uint32_t object,
                                                         const JVariantList& offset, uint8_t attr);

// A logical write of an object and, with the flag, of its partner (type A).
[[nodiscard]] JLIB::JResult linkPrmLogicalToPhysicalWithPair(const PDBLinkConverterList* converters,
                                                             const LinkMap& links, const JVariantList& logical,
                                                             uint32_t object, uint32_t partner, bool withPartner,
                                                             uint8_t attr);
// Any type other than A and B does nothing and answers 0.
[[nodiscard]] JLIB::JResult linkPrmLogicalToPhysicalWithPairInternal(CategoryOfLinkPrmLogicalToPysicalType type,
                                                                     const PDBLinkConverterList* converters,
                                                                     const LinkMap& links,
                                                                     const JVariantList& logical, uint32_t object,
                                                                     uint32_t partner, bool withPartner,
                                                                     uint8_t attr);
// The partner keeps its offset in the unclipped logical copy.
[[nodiscard]] JLIB::JResult linkPrmLogicalToPhysicalWithPairTypeA(const PDBLinkConverterList* converters,
                                                                  const LinkMap& links, const JVariantList& logical,
                                                                  uint32_t object, uint32_t partner,
                                                                  bool withPartner, uint8_t attr);
// Converts, stores the logical position as given (not taken back from the physical one), then
// the physical position with 255.
[[nodiscard]] JLIB::JResult linkPrmLogicalToPhysicalWithPairTypeAInternal(const PDBLinkConverterList* converters,
                                                                          const LinkMap& links,
                                                                          const JVariantList& logical,
                                                                          uint32_t object, uint8_t attr);
// The partner keeps its physical offset.
[[nodiscard]] JLIB::JResult linkPrmLogicalToPhysicalWithPairTypeB(const PDBLinkConverterList* converters,
                                                                  const LinkMap& links, const JVariantList& logical,
                                                                  uint32_t object, uint32_t partner,
                                                                  bool withPartner, uint8_t attr);

// Debugging hook: does nothing, 0.
JLIB::JResult show(const char* label, const JVariantList& position);

}  // namespace LPC
