#include "parray/printText.h"

#include <cstdio>

namespace PARRAY {

namespace {

// "%d" takes an int: unsigned values are widened without sign, then reinterpreted as signed.
uint32_t printUnsigned(uint32_t value)
{
    std::printf("%d", static_cast<int>(value));
    return 0;
}

uint32_t printSigned(int32_t value)
{
    std::printf("%d", static_cast<int>(value));
    return 0;
}

}  // namespace

uint32_t printText(uint32_t value) { return printUnsigned(value); }
uint32_t printText(uint16_t value) { return printUnsigned(value); }
uint32_t printText(uint8_t value) { return printUnsigned(value); }
uint32_t printText(int32_t value) { return printSigned(value); }
uint32_t printText(int16_t value) { return printSigned(value); }
uint32_t printText(int8_t value) { return printSigned(value); }

uint32_t printText(float value)
{
    std::printf("%f", static_cast<double>(value));
    return 0;
}

uint32_t printText(double value)
{
    std::printf("%lf", value);
    return 0;
}

}  // namespace PARRAY
