#pragma once
// Conversions between the database's values (JVariant) and the variant type of the component
// library interface. Plain functions; any task. Results: 0 success, 0x80000000 failure.
#include <cstdint>

#include "jlib/jlib_result.h"

class JVariant;

namespace PDB {
class ParameterInfo;
}

namespace DRAVO {

class VariantType;

// Int32 to type 3, UInt32 to 1, Float to 5, String to 7, Binary to 8. An invalid value, or a
// text or byte string the out value's buffer cannot take, makes out invalid with 0x80000000;
// a text cut to the buffer stays cut in out, answered with 0x80000000.
[[nodiscard]] JLIB::JResult convertPDBToDRAVOValue(const JVariant& in, VariantType& out);
// Type 1 to UInt32, 3 to Int32, 5 to Float, 7 to String (at most 1024 characters), 8 to Binary.
// Types 0, 2, 4 and 6, a text the database value cannot hold and an empty byte string make out
// invalid with 0x80000000.
[[nodiscard]] JLIB::JResult convertDRAVOToPDBValue(const VariantType& in, JVariant& out);
// The buffer a VariantType needs for one element of the parameter: the element size plus one
// for a text, the element size for a byte string, 0 for numbers.
uint32_t calcDRAVOValueMemorySizeToAllocate(const PDB::ParameterInfo& info);

}  // namespace DRAVO
