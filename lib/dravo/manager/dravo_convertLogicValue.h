#pragma once
// Conversions between the logic network's port values and descriptions and the forms a component
// library's logic control object sees. Plain functions; any task.
#include <cstdint>
#include <vector>

#include "jlib/jlib_result.h"

class JVariant;

namespace LogicCtrl {
class LogicData;
struct LogicPortInfo;
}  // namespace LogicCtrl

namespace DRAVO {

class VariantType;
struct LogicPortInfo_V1;

// A port's value as the library reads it: type is the port's kind, normalized its normalised
// value, dirty 1 or 0. Kinds 1 and 4 give a float, 2, 5 and 6 an unsigned value, 3 a signed one,
// 7 a text (0x80000000 when value has no room for it: the text is cut), 8 the count of events not
// yet consumed. Any other kind: type 0, value invalid, normalized 0, dirty 0 and 0x80000000.
[[nodiscard]] JLIB::JResult convertValue(uint32_t& type, VariantType& value, float& normalized, uint32_t& dirty,
                                         const LogicCtrl::LogicData& data);
// Types 1, 3 and 5 become UInt32, Int32 and Float; every other type an invalid value.
void convertNumericValue(JVariant& out, const VariantType& in);
// out becomes one port per record, in order: the texts taken over, a kind outside 1 to 8 made 0,
// the limits converted by convertNumericValue. Returns 0.
JLIB::JResult convertLogicPortInfoTable(std::vector<LogicCtrl::LogicPortInfo>& out, const LogicPortInfo_V1* records,
                                        uint32_t count);

}  // namespace DRAVO
