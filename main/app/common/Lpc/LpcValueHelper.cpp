#include "common/Lpc/LpcValueHelper.h"

#include <climits>
#include <cmath>
#include <cstdint>

namespace LPC {

int32_t toInt(float f, uint32_t scale)
{
    const float scaled = f * static_cast<float>(scale);
    // Converting a value outside the 32-bit range is undefined: hold it at the ends instead.
    if (std::isnan(scaled)) return 0;
    if (scaled >= 2147483648.0f) return INT32_MAX;
    if (scaled <= -2147483648.0f) return INT32_MIN;
    return static_cast<int32_t>(scaled);
}

float toFloat(int32_t n, uint32_t scale) { return static_cast<float>(n) / static_cast<float>(scale); }

uint32_t toUint(bool on) { return on ? 1u : 0u; }

bool toBool(uint32_t n) { return n != 0; }

bool toBoolFromVariant(const JVariant& value) { return toBool(value.toUInt32()); }

std::string toStr(const JVariant& value)
{
    const char* text = value.getType() == JVariant::kTypeString ? value.toString() : nullptr;
    return text ? std::string(text) : std::string();
}

std::string toStrWithZero(uint32_t n, uint32_t width)
{
    std::string digits(width, '0');
    for (uint32_t i = width; i > 0 && n != 0; --i) {
        digits[i - 1] = static_cast<char>('0' + n % 10);
        n /= 10;
    }
    return digits;
}

JLIB::JResult to0base(uint32_t n, uint32_t* out)
{
    if (n == 0 || !out) return JLIB::kFailed;
    *out = n - 1;
    return JLIB::kOk;
}

JVariant makeChName(const char* prefix, uint32_t index, uint32_t width)
{
    const std::string name = std::string(prefix ? prefix : "") + toStrWithZero(index + 1, width);
    return JVariant(name.c_str(), static_cast<unsigned int>(name.size()));
}

bool isSame(const JVariant& a, const JVariant& b, float tolerance)
{
    if (a.getType() != b.getType()) return false;
    if (a.getType() == JVariant::kTypeFloat) return std::fabs(a.toFloat() - b.toFloat()) < tolerance;
    return a == b;
}

uint32_t utf8CharSize(uint8_t byte)
{
    if (byte <= 0x7F) return 1;
    if (byte <= 0xBF) return 0;
    if (byte <= 0xDF) return 2;
    if (byte <= 0xEF) return 3;
    if (byte <= 0xF7) return 4;
    return 0;
}

std::string truncateUTF8(const char* text, uint32_t maximum)
{
    std::string out;
    if (!text) return out;
    uint64_t sum = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        // A lead byte counts its whole sequence, so a cut never splits a character.
        sum += utf8CharSize(static_cast<uint8_t>(*p));
        if (sum > maximum) break;
        out.push_back(*p);
    }
    return out;
}

}  // namespace LPC
