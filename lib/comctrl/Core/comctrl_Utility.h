#pragma once
// Big-endian number helpers of the console link. Stateless; any task.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace ComControl {

class Utility {
public:
    // The big-endian value of width (1 to 4) bytes; 0 for a null pointer or a bad width.
    static uint32_t toUint(const uint8_t* bytes, uint32_t width);
    // As toUint, sign-extended from the first byte's top bit.
    static int32_t toInt(const uint8_t* bytes, uint32_t width);
    // The float whose IEEE bits are the big-endian 32-bit value; 2147483648.0 for a null pointer.
    static float toFloat(const uint8_t* bytes);
    // Write the value's low width bytes big-endian: 0, or 0x80000000 for a null destination or a
    // width outside 1 to 4.
    static JLIB::JResult fromUint(uint8_t* destination, uint32_t width, uint32_t value);
    static JLIB::JResult fromInt(uint8_t* destination, uint32_t width, int32_t value);
    static JLIB::JResult fromFloat(uint8_t* destination, float value);
};

}  // namespace ComControl
