#pragma once
// Text of a variant for the debug prints of the DSP threads. Any task.
#include <string>

#include "jlib/jlib_result.h"

class JVariant;

namespace KAVORI {

// Signed and unsigned 32-bit values as decimal digits, a text copied, a float with six decimals,
// a byte string as two upper-case hexadecimal digits and a blank per byte, all appended to text;
// an invalid value leaves text unchanged. Always 0.
JLIB::JResult convJVariantToString(const JVariant& value, std::string& text);

}  // namespace KAVORI
