#pragma once
// The arithmetic the value converters share: interpolation over a table of points, the on/off
// rule, splitting a patch text and the position/fraction conversions. Pure functions; any task.
#include <cstdint>
#include <string>

#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"

namespace LPC {

// One point of a converter table. The points of a table ascend in both fields.
struct NormalizedValueTable {
    double normalized;  // position, 0..1
    double value;       // the device value divided by its scaling
};

// The value divided by the scaling, interpolated over the table. Below the first point 0 and
// above the last 1, both flagged. A null table, no points or a scaling of 0 give 0 and leave
// *outOfRange as it was. min and max play no part.
double normalizeWithTable(const JVariant& value, int32_t min, int32_t max, int32_t scaling, bool* outOfRange,
                          const NormalizedValueTable* table, uint32_t count);
// The interpolated value times the scaling, rounded; positions beyond the table give its end
// values (NaN gives the first). Invalid for a null table, no points or a scaling of 0.
JVariant reverseWithTable(double normalised, int32_t min, int32_t max, int32_t scaling,
                          const NormalizedValueTable* table, uint32_t count);

// The value as a double held to 0..1; a value outside is flagged. NaN passes unflagged.
double MurOnOffConverter_normalize(const JVariant& value, int32_t min, int32_t max, int32_t scaling,
                                   bool* outOfRange);
// The normalised value rounded to an Int32.
JVariant MurOnOffConverter_reverse(double normalised, int32_t min, int32_t max, int32_t scaling);

// head = the text before the first separator, tail = the text from one character after it.
// 0x80000000, head and tail untouched, when the separator is missing or leads the text.
[[nodiscard]] JLIB::JResult split(const std::string& text, std::string& head, std::string& tail,
                                  const std::string& separator);

// position / divisor; 0 for a divisor of 0.
double toNormalizedValue(uint32_t position, int32_t divisor);
// normalised × factor toward zero, returned as the low 32 bits of the signed result. NaN gives
// 0; a product beyond the signed 32-bit range saturates.
uint32_t toInternalValue(double normalised, int32_t factor);

}  // namespace LPC
