#pragma once
// Small value conversions used all over the device logic: scaled numbers, switches, zero-padded
// channel names, tolerant comparison and UTF-8 aware cutting. Pure functions; any task.
#include <cstdint>
#include <string>

#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"

namespace LPC {

// f times scale, truncated toward zero.
int32_t toInt(float f, uint32_t scale);
float toFloat(int32_t n, uint32_t scale);
uint32_t toUint(bool on);
bool toBool(uint32_t n);
// Only an Int32 or UInt32 other than 0 is true.
bool toBoolFromVariant(const JVariant& value);
// The text of a String, "" for every other type.
std::string toStr(const JVariant& value);
// Exactly width decimal digits: the lowest width digits of n, zero-padded ("007", 1234 in 3 is "234").
std::string toStrWithZero(uint32_t n, uint32_t width);
// n - 1 into *out; 0x80000000 (out untouched) for n 0 or a null output.
[[nodiscard]] JLIB::JResult to0base(uint32_t n, uint32_t* out);
// A String of the prefix and toStrWithZero(index + 1, width): "Obj " and 0 in 3 give "Obj 001".
JVariant makeChName(const char* prefix, uint32_t index, uint32_t width);
// False across types; Floats within (strictly below) the tolerance; otherwise JVariant equality.
bool isSame(const JVariant& a, const JVariant& b, float tolerance);
// Bytes of the sequence a lead byte starts: 1 to 4; 0 for continuation bytes and 0xF8 to 0xFF.
uint32_t utf8CharSize(uint8_t byte);
// The longest prefix of whole characters of at most maximum bytes; "" for a null text.
std::string truncateUTF8(const char* text, uint32_t maximum);

}  // namespace LPC
