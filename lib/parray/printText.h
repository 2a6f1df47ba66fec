#pragma once
// Text of one element value on standard output, as the arrays' print writes it: integers widened
// to 32 bits with their own signedness and printed with "%d" (so unsigned 32-bit values of 2^31
// or more print negative), float with "%f", double with "%lf". Each gives 0.
#include <cstdint>

namespace PARRAY {

uint32_t printText(uint32_t value);
uint32_t printText(uint16_t value);
uint32_t printText(uint8_t value);
uint32_t printText(int32_t value);
uint32_t printText(int16_t value);
uint32_t printText(int8_t value);
uint32_t printText(float value);
uint32_t printText(double value);

}  // namespace PARRAY
