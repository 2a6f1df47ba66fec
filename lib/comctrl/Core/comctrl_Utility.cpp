#include "comctrl_Utility.h"

#include <cstring>

namespace ComControl {

namespace {
bool isWidth(uint32_t width) { return width >= 1 && width <= 4; }
}  // namespace

uint32_t Utility::toUint(const uint8_t* bytes, uint32_t width)
{
    if (!bytes || !isWidth(width)) return 0;
    uint32_t value = 0;
    for (uint32_t i = 0; i < width; ++i) value = (value << 8) | bytes[i];
    return value;
}

int32_t Utility::toInt(const uint8_t* bytes, uint32_t width)
{
    if (!bytes || !isWidth(width)) return 0;
    uint32_t value = toUint(bytes, width);
    if (width < 4 && (bytes[0] & 0x80u) != 0) value |= ~0u << (width * 8);
    return static_cast<int32_t>(value);
}

float Utility::toFloat(const uint8_t* bytes)
{
    if (!bytes) return 2147483648.0f;
    const uint32_t bits = toUint(bytes, 4);
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

JLIB::JResult Utility::fromUint(uint8_t* destination, uint32_t width, uint32_t value)
{
    if (!destination || !isWidth(width)) return JLIB::kFailed;
    for (uint32_t i = 0; i < width; ++i) destination[width - 1 - i] = static_cast<uint8_t>(value >> (8 * i));
    return JLIB::kOk;
}

JLIB::JResult Utility::fromInt(uint8_t* destination, uint32_t width, int32_t value)
{
    return fromUint(destination, width, static_cast<uint32_t>(value));
}

JLIB::JResult Utility::fromFloat(uint8_t* destination, float value)
{
    if (!destination) return JLIB::kFailed;
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof(bits));
    return fromUint(destination, 4, bits);
}

}  // namespace ComControl
