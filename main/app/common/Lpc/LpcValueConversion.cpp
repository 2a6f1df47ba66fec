#include "common/Lpc/LpcValueConversion.h"

#include "common/Lpc/internal/LpcSaturate.h"

namespace LPC {

double normalizeWithTable(const JVariant& value, int32_t min, int32_t max, int32_t scaling, bool* outOfRange,
                          const NormalizedValueTable* table, uint32_t count)
{
    if (!table || count == 0 || scaling == 0) return 0.0;
    const double c = value.toDouble() / scaling;
    double n = 1.0;
    bool flagged = true;
    if (c < table[0].value) {
        n = 0.0;
    } else {
        for (uint32_t i = 1; i < count; ++i) {
            if (table[i].value < c) continue;
            const NormalizedValueTable& lo = table[i - 1];
            const NormalizedValueTable& hi = table[i];
            n = (c - lo.value) / (hi.value - lo.value) * (hi.normalized - lo.normalized) + lo.normalized;
            flagged = false;
            break;
        }
    }
    if (outOfRange) *outOfRange = flagged;
    return n;
}

JVariant reverseWithTable(double normalised, int32_t min, int32_t max, int32_t scaling,
                          const NormalizedValueTable* table, uint32_t count)
{
    if (!table || count == 0 || scaling == 0) return JVariant();
    double c = table[count - 1].value;
    if (!(normalised > table[0].normalized)) {
        c = table[0].value;
    } else {
        for (uint32_t i = 1; i < count; ++i) {
            if (table[i].normalized < normalised) continue;
            const NormalizedValueTable& lo = table[i - 1];
            const NormalizedValueTable& hi = table[i];
            c = (hi.value - lo.value) * (normalised - lo.normalized) / (hi.normalized - lo.normalized) + lo.value;
            break;
        }
    }
    return JVariant(internal::roundToInt32(c * scaling));
}

double MurOnOffConverter_normalize(const JVariant& value, int32_t min, int32_t max, int32_t scaling,
                                   bool* outOfRange)
{
    double v = value.toDouble();
    bool flagged = false;
    if (v > 1.0) {
        v = 1.0;
        flagged = true;
    } else if (v < 0.0) {
        v = 0.0;
        flagged = true;
    }
    if (outOfRange) *outOfRange = flagged;
    return v;
}

JVariant MurOnOffConverter_reverse(double normalised, int32_t min, int32_t max, int32_t scaling)
{
    return JVariant(internal::roundToInt32(normalised));
}

JLIB::JResult split(const std::string& text, std::string& head, std::string& tail, const std::string& separator)
{
    const size_t at = text.find(separator);
    if (at == std::string::npos || at == 0) return JLIB::kFailed;
    head = text.substr(0, at);
    tail = text.substr(at + 1);
    return JLIB::kOk;
}

double toNormalizedValue(uint32_t position, int32_t divisor)
{
    if (divisor == 0) return 0.0;
    return static_cast<double>(position) / divisor;
}

uint32_t toInternalValue(double normalised, int32_t factor)
{
    return static_cast<uint32_t>(internal::truncateToInt32(normalised * factor));
}

}  // namespace LPC
