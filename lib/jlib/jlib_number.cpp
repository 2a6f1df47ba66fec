#include "jlib/jlib_number.h"

#include "jlib/JVariant.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

// ASCII classes only: parsing must not depend on the process locale.
bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The value of a digit or letter in bases up to 36, or 36 for anything else.
uint32_t digitValue(char c)
{
    if (c >= '0' && c <= '9') return static_cast<uint32_t>(c - '0');
    if (c >= 'a' && c <= 'z') return static_cast<uint32_t>(c - 'a') + 10;
    if (c >= 'A' && c <= 'Z') return static_cast<uint32_t>(c - 'A') + 10;
    return 36;
}

bool isBaseAccepted(int base) { return base == 0 || (base >= 2 && base <= 36); }

// Shared front of the integer parsers: blanks, sign and the base prefix. Returns the base.
uint32_t startInteger(const char*& at, uint32_t& remaining, int base, bool& negative)
{
    negative = jlib_getsign(at, &at, &remaining) == -1;
    if (base != 0) return static_cast<uint32_t>(base);
    if (remaining >= 2 && at[0] == '0') {
        if (at[1] == 'x' || at[1] == 'X') {
            at += 2;
            remaining -= 2;
            return 16;
        }
        if (isDigit(at[1])) {
            at += 1;
            remaining -= 1;
            return 8;
        }
    }
    return 10;
}

// Float from a double without the undefined conversion of an out-of-range value.
float toFloatClamped(double value)
{
    if (std::isnan(value)) return std::numeric_limits<float>::quiet_NaN();
    if (value > std::numeric_limits<float>::max()) return std::numeric_limits<float>::infinity();
    if (value < -std::numeric_limits<float>::max()) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

uint32_t floatBits(float value)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

struct Literal {
    uint32_t bits = 0;
    CATEGORY_JLIB_TYPE category = CATEGORY_JLIB_UNSIGNED;
};

// Octal or hexadecimal digits in [begin, end), stopping early at a NUL; 32-bit wrapping value.
bool readRadixDigits(const char* text, uint64_t begin, uint64_t end, uint32_t base, Literal& out)
{
    uint32_t value = 0;
    uint64_t count = 0;
    for (uint64_t i = begin; i < end && text[i] != '\0'; ++i, ++count) {
        const uint32_t digit = digitValue(text[i]);
        if (digit >= base) return false;
        value = value * base + digit;
    }
    if (count == 0) return false;
    out.bits = value;
    out.category = CATEGORY_JLIB_UNSIGNED;
    return true;
}

// Decimal literal in [0, end), stopping early at a NUL: sign, digits, one dot, exponent.
bool readDecimal(const char* text, uint64_t end, Literal& out)
{
    uint64_t i = 0;
    auto at = [&](uint64_t k) { return k < end ? text[k] : '\0'; };

    bool negative = false;
    if (at(i) == '+' || at(i) == '-') {
        negative = at(i) == '-';
        ++i;
    }
    // The 32-bit number wraps like the octal and hexadecimal paths. The float value is built
    // apart from it, as up to 19 significant digits times a power of ten, so long fractions stay
    // accurate and no digit count can overflow.
    uint32_t number = 0;
    uint64_t mantissa = 0;
    int significant = 0;
    int64_t shift = 0;
    bool anyDigit = false;
    bool dot = false;
    bool fraction = false;
    for (; at(i) != '\0'; ++i) {
        const char c = at(i);
        if (isDigit(c)) {
            const auto digit = static_cast<uint32_t>(c - '0');
            number = number * 10u + digit;
            if (mantissa == 0 && digit == 0) {
                if (dot) --shift;
            } else if (significant < 19) {
                mantissa = mantissa * 10u + digit;
                ++significant;
                if (dot) --shift;
            } else if (!dot) {
                ++shift;
            }
            fraction = fraction || dot;
            anyDigit = true;
        } else if (c == '.' && !dot) {
            dot = true;
        } else {
            break;
        }
    }
    if (!anyDigit && !dot) return false;  // empty, a lone sign, or no number at all

    int64_t exponent = 0;
    if (at(i) == 'e' || at(i) == 'E') {
        ++i;
        bool negativeExponent = false;
        if (at(i) == '+' || at(i) == '-') {
            negativeExponent = at(i) == '-';
            ++i;
        }
        if (!isDigit(at(i))) return false;
        for (; isDigit(at(i)); ++i) {
            // Held far beyond any float's range so the count cannot overflow.
            if (exponent < 100000) exponent = exponent * 10 + (at(i) - '0');
        }
        if (negativeExponent) exponent = -exponent;
    }
    if (at(i) != '\0') return false;  // a blank, a second sign or dot, a stray character

    if (!fraction && exponent == 0) {
        out.bits = negative ? 0u - number : number;
        out.category = negative ? CATEGORY_JLIB_NEGATIVE : CATEGORY_JLIB_UNSIGNED;
        return true;
    }
    // Beyond 10^±400 every double is 0 or infinite anyway.
    int64_t power = shift + exponent;
    power = power > 400 ? 400 : (power < -400 ? -400 : power);
    double value = static_cast<double>(mantissa);
    if (mantissa != 0 && power > 0) value *= std::pow(10.0, static_cast<double>(power));
    if (mantissa != 0 && power < 0) value /= std::pow(10.0, static_cast<double>(-power));
    if (negative) value = -value;
    out.bits = floatBits(toFloatClamped(value));
    out.category = CATEGORY_JLIB_FLOAT;
    return true;
}

}  // namespace

int jlib_getsign(const char* text, const char** after, uint32_t* remaining)
{
    if (!text || !after || !remaining) return 0;
    const char* at = text;
    uint32_t left = *remaining;
    while (left > 0 && isBlank(*at)) {
        ++at;
        --left;
    }
    int sign = 0;
    if (left > 0 && (*at == '-' || *at == '+')) {
        sign = *at == '-' ? -1 : 0;
        ++at;
        --left;
    }
    *after = at;
    *remaining = left;
    return sign;
}

uint32_t jlib_strntol(int32_t* result, const char* text, const char** end, int base, uint32_t length)
{
    if (!result || !text || !isBaseAccepted(base)) return JLIB_STR_REFUSED;
    const char* at = text;
    uint32_t remaining = length;
    bool negative = false;
    const uint32_t radix = startInteger(at, remaining, base, negative);

    // Computed in 64 bits and held at the limit, so no step overflows.
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
    int64_t value = 0;
    uint32_t code = JLIB_STR_OK;
    for (; remaining > 0; ++at, --remaining) {
        const uint32_t digit = digitValue(*at);
        if (digit >= radix) break;
        if (code != JLIB_STR_OK) continue;
        if (negative) {
            value = value * radix - digit;
            if (value < kMin) {
                value = kMin;
                code = JLIB_STR_NULL;
            }
        } else {
            value = value * radix + digit;
            if (value > kMax) {
                value = kMax;
                code = JLIB_STR_OVERFLOW;
            }
        }
    }
    *result = static_cast<int32_t>(value);
    if (end) *end = at;
    return code;
}

uint32_t jlib_strntoul(uint32_t* result, const char* text, const char** end, int base, uint32_t length)
{
    if (!result || !text || !isBaseAccepted(base)) return JLIB_STR_REFUSED;
    const char* at = text;
    uint32_t remaining = length;
    bool negative = false;
    const uint32_t radix = startInteger(at, remaining, base, negative);

    constexpr uint64_t kMax = std::numeric_limits<uint32_t>::max();
    uint64_t value = 0;
    uint32_t code = JLIB_STR_OK;
    for (; remaining > 0; ++at, --remaining) {
        const uint32_t digit = digitValue(*at);
        if (digit >= radix) break;
        if (code != JLIB_STR_OK) continue;
        value = value * radix + digit;
        if (value > kMax) {
            value = kMax;
            code = JLIB_STR_OVERFLOW;
        }
    }
    const auto magnitude = static_cast<uint32_t>(value);
    *result = negative ? 0u - magnitude : magnitude;
    if (end) *end = at;
    return code;
}

uint32_t jlib_strntod(double* result, const char* text, const char** end, uint32_t length)
{
    if (!result || !text) return JLIB_STR_REFUSED;
    const char* at = text;
    uint32_t remaining = length;
    const bool negative = jlib_getsign(at, &at, &remaining) == -1;
    double value = 0.0;
    double divisor = 1.0;
    bool fraction = false;
    for (; remaining > 0; ++at, --remaining) {
        if (*at == '.') {
            fraction = true;
            continue;
        }
        if (!isDigit(*at)) break;
        const double digit = *at - '0';
        if (fraction) {
            divisor *= 10.0;
            value += digit / divisor;
        } else {
            value = value * 10.0 + digit;
        }
    }
    *result = negative ? -value : value;
    if (end) *end = at;
    return JLIB_STR_OK;
}

uint32_t jlib_str2value(uint32_t* result, CATEGORY_JLIB_TYPE* category, const char* text, uint64_t length)
{
    if (!text || !category || length == 0) return JLIB_STR_REFUSED;

    // End of the text: the first NUL within the length, else the length.
    uint64_t end = 0;
    while (end < length && text[end] != '\0') ++end;
    const bool terminated = end < length;

    uint32_t base = 10;
    uint64_t digitStart = 0;
    if (text[0] == 'x' || text[0] == 'X') {
        base = 16;
        digitStart = 1;
    } else {
        uint64_t p = 0;
        while (p < length && text[p] == '0') ++p;
        if (p > 0 && p < length) {
            if (text[p] == 'x' || text[p] == 'X') {
                base = 16;
                digitStart = p + 1;
            } else if (text[p] >= '1' && text[p] <= '9') {
                base = 8;
                digitStart = p;
            }
        }
    }

    // Suffixes: "f" on decimals; otherwise "l" and then "u" ("ul" is taken off, "lu" is not).
    if (end > 0) {
        const char last = text[end - 1];
        if (base == 10 && (last == 'f' || last == 'F')) {
            --end;
        } else {
            if (end > 0 && (text[end - 1] == 'l' || text[end - 1] == 'L')) --end;
            if (end > 0 && (text[end - 1] == 'u' || text[end - 1] == 'U')) --end;
        }
    }

    Literal literal;
    const bool ok = base == 10 ? readDecimal(text, end, literal)
                               : readRadixDigits(text, digitStart, end, base, literal);
    if (!ok) return JLIB_STR_OVERFLOW;
    *category = literal.category;
    if (result) *result = literal.bits;
    return terminated ? JLIB_STR_OK : 1u;
}

uint32_t jlib_str2JVariant(JVariant* value, CATEGORY_JLIB_TYPE* category, const char* text, uint64_t length)
{
    if (!value) return JLIB_STR_REFUSED;
    uint32_t bits = 0;
    CATEGORY_JLIB_TYPE kind = CATEGORY_JLIB_UNSIGNED;
    const uint32_t code = jlib_str2value(&bits, category ? &kind : nullptr, text, length);
    if (code & 0x80000000u) return code;
    switch (kind) {
    case CATEGORY_JLIB_NEGATIVE:
        (void)value->setInt32(static_cast<int>(bits));  // numbers always store
        break;
    case CATEGORY_JLIB_FLOAT: {
        float f = 0.0f;
        std::memcpy(&f, &bits, sizeof f);
        (void)value->setFloat(f);  // numbers always store
        break;
    }
    default:
        (void)value->setUInt32(bits);  // numbers always store
        break;
    }
    *category = kind;
    return code;
}
