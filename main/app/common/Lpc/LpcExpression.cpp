#include "common/Lpc/LpcExpression.h"

#include <cctype>
#include <cstdio>
#include <cstdint>
#include <cstring>

#include "jlib/jlib_string.h"

namespace LPC {

namespace {

// The shortest buffer the scaled texts accept.
constexpr uint32_t kMinScaledTextSize = 6;

// The program's bounded printf has no floating point; the C library's is bounded by size too.
uint32_t scaledToText(char* buffer, uint32_t size, const JVariant& value, double divisor)
{
    if (!buffer || size < kMinScaledTextSize) return JLIB::kFailed;
    (void)std::snprintf(buffer, size, "%.2f", value.toInt32() / divisor);  // cut at size, always terminated
    return JLIB::kOk;
}

// The leading whole number of the text (blanks skipped, optional sign, 0 without digits) times
// factor; fails when the product does not fit an Int32.
uint32_t scaledFromText(JVariant* value, const char* text, int64_t factor)
{
    if (!value || !text) return JLIB::kFailed;
    const char* p = text;
    while (std::isspace(static_cast<unsigned char>(*p))) ++p;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    const int64_t limit = int64_t(INT32_MAX) + 1;  // the magnitude of INT32_MIN
    int64_t magnitude = 0;
    for (; std::isdigit(static_cast<unsigned char>(*p)); ++p) {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude * factor > limit) return JLIB::kFailed;
    }
    const int64_t scaled = (negative ? -magnitude : magnitude) * factor;
    if (scaled > INT32_MAX) return JLIB::kFailed;
    *value = JVariant(static_cast<int32_t>(scaled));
    return JLIB::kOk;
}

}  // namespace

const OnOffExpression uzExpression_OnOff;
const LevelExpression uzExpression_Level;
const DelayTimeExpression uzExpression_DelayTime;

uint32_t OnOffExpression::toText(char* buffer, uint32_t size, const JVariant& value) const
{
    if (!buffer) return JLIB::kFailed;
    const int32_t n = value.toInt32();
    if (n != 0 && n != 1) return JLIB::kFailed;
    (void)jlib_strcpy(buffer, size, n == 0 ? "OFF" : "ON");  // a cut text still answers 0
    return JLIB::kOk;
}

uint32_t OnOffExpression::fromText(JVariant* value, const char* text) const
{
    if (!value || !text) return JLIB::kFailed;
    if (std::strcmp(text, "OFF") == 0) {
        *value = JVariant(0);
        return JLIB::kOk;
    }
    if (std::strcmp(text, "ON") == 0) {
        *value = JVariant(1);
        return JLIB::kOk;
    }
    return JLIB::kFailed;
}

uint32_t LevelExpression::toText(char* buffer, uint32_t size, const JVariant& value) const
{
    return scaledToText(buffer, size, value, 100.0);
}

uint32_t LevelExpression::fromText(JVariant* value, const char* text) const { return scaledFromText(value, text, 100); }

uint32_t DelayTimeExpression::toText(char* buffer, uint32_t size, const JVariant& value) const
{
    return scaledToText(buffer, size, value, 1000.0);
}

uint32_t DelayTimeExpression::fromText(JVariant* value, const char* text) const
{
    return scaledFromText(value, text, 1000);
}

}  // namespace LPC
