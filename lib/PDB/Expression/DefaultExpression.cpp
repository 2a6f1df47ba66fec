#include "PDB/Expression/DefaultExpression.h"

#include <cstdlib>
#include <cstring>

#include "PDB/Expression/ColorFormat.h"
#include "PDB/Expression/ParameterProcUtilities.h"
#include "PDB/Expression/PrmAttribute.h"
#include "PDB/Expression/internal/ExpressionMath.h"
#include "jlib/jlib_string.h"

namespace Expression {

using internal::clampTo;
using internal::cutToward0;

const double DefaultExpression::resolutionRateTable[10] = {
    0.0,         0.516251755, 0.635580464, 0.717790849, 0.782491337,
    0.836666812, 0.883704193, 0.925530964, 0.963359838, 0.998008623,
};

namespace {

constexpr uint32_t kLengthBufferSize = 255;

// The leading integer as atoi reads it, but held to 32 bits instead of overflowing.
int32_t leadingInteger(const char* text)
{
    const long long n = std::strtoll(text, nullptr, 10);
    return clampTo<int32_t>(n);
}

}  // namespace

DefaultExpression::DefaultExpression(uint32_t knobAngle1, uint32_t knobAngle2)
    : m_knobLow(knobAngle1 < knobAngle2 ? knobAngle1 : knobAngle2),
      m_knobHigh(knobAngle1 < knobAngle2 ? knobAngle2 : knobAngle1)
{
}

uint32_t DefaultExpression::ScalingToPoint(uint32_t scaling)
{
    uint32_t decimals = 0;
    while (scaling >= 10) {
        scaling /= 10;
        ++decimals;
    }
    return decimals;
}

JLIB::JResult DefaultExpression::rounding(JVariant& out, const JVariant& in, const PrmAttribute& attr,
                                          FinenessOption) const
{
    const int64_t v = in.toInt32();
    const int64_t minimum = attr.m_Minimum.toInt32();
    const int64_t maximum = attr.m_Maximum.toInt32();
    int64_t step = attr.m_Step.toInt32();
    if (step < 0) step = -step;
    if (v < minimum) {
        out = static_cast<int>(minimum);
        return kOutOfRange;
    }
    if (v > maximum) {
        out = static_cast<int>(maximum);
        return kOutOfRange;
    }
    if (step == 0) step = 1;
    // Steps count from 0, not from the minimum; 64 bits keep the multiples beside the 32-bit
    // ends from wrapping.
    int64_t lower = 0;
    int64_t upper = 0;
    if (v >= 0) {
        lower = (v / step) * step;
        upper = lower + step;
    } else {
        upper = (v / step) * step;
        lower = upper - step;
    }
    // Both limits apply: a range narrower than the step must not round out of itself.
    if (lower < minimum) lower = minimum;
    if (upper > maximum) upper = maximum;
    out = static_cast<int>((v - lower < upper - v) ? lower : upper);
    return kOk;
}

JLIB::JResult DefaultExpression::incDec(JVariant& out, const JVariant& in, const PrmAttribute& attr, int32_t count,
                                        uint32_t speed, FinenessOption fineness) const
{
    const __int128 delta = speedToDelta(attr, speed, fineness);
    const __int128 moved = static_cast<__int128>(in.toInt32()) + count * delta * attr.m_Step.toInt32();
    // Held to 32 bits rather than wrapped, so a long move ends at the near limit.
    const int32_t target = moved < INT32_MIN ? INT32_MIN : (moved > INT32_MAX ? INT32_MAX : static_cast<int32_t>(moved));
    return rounding(out, JVariant(target), attr, fineness);
}

JLIB::JResult DefaultExpression::getLength(uint32_t& length, const JVariant& value, const PrmAttribute& attr,
                                           uint16_t flags) const
{
    char scratch[kLengthBufferSize];
    uint32_t written = 0;
    const JLIB::JResult result = toText(scratch, written, sizeof scratch, value, attr, flags);
    length = written;
    return result;
}

JLIB::JResult DefaultExpression::toText(char* buffer, uint32_t& length, uint32_t size, const JVariant& value,
                                        const PrmAttribute& attr, uint16_t flags) const
{
    length = 0;
    const int32_t v = value.toInt32();
    if (v < attr.m_Minimum.toInt32() || v > attr.m_Maximum.toInt32()) return kOutOfRange;
    if (buffer == nullptr || size == 0) return kNoBuffer;
    if (value.getType() == JVariant::kTypeString) {
        const char* text = value.toString();
        const uint32_t n = jlib_strlen(text, size - 1);
        if (n > 0) std::memcpy(buffer, text, n);
        buffer[n] = '\0';
        return kOk;
    }
    if (value.getType() == JVariant::kTypeBinary) return kOutOfRange;

    const uint32_t written = ParameterProc::Utilities::sintToText(buffer, size, v, ScalingToPoint(attr.m_Scaling));
    if (written == 0) return kNoBuffer;
    length = written;
    return appendUnit(buffer, length, size, attr, flags);
}

JLIB::JResult DefaultExpression::appendUnit(char* buffer, uint32_t& length, uint32_t size, const PrmAttribute& attr,
                                            uint16_t flags)
{
    if ((flags & kWithUnit) == 0 || length == 0) return kOk;
    const uint32_t unitLength = jlib_strlen(attr.m_Unit, attr.m_UnitLength < PrmAttribute::kUnitCapacity - 1
                                                             ? attr.m_UnitLength
                                                             : PrmAttribute::kUnitCapacity - 1);
    if (unitLength == 0) return kOk;
    if (static_cast<uint64_t>(size) <= static_cast<uint64_t>(length) + unitLength) {
        length = 0;
        return kNoBuffer;
    }
    // The unit follows the text directly and takes over its terminator.
    std::memcpy(buffer + length - 1, attr.m_Unit, unitLength);
    buffer[length - 1 + unitLength] = '\0';
    length += unitLength;
    return kOk;
}

JLIB::JResult DefaultExpression::fromText(JVariant& out, const char* text, uint32_t, const PrmAttribute& attr) const
{
    if (text == nullptr) return kBadArgument;
    // In 64 bits a large text times the scaling cannot overflow; the product is held to 32 bits.
    const int64_t scaled = static_cast<int64_t>(leadingInteger(text)) * attr.m_Scaling;
    return rounding(out, JVariant(clampTo<int32_t>(scaled)), attr, FinenessFine);
}

JLIB::JResult DefaultExpression::toDegree(uint32_t& degree, const JVariant& value, const PrmAttribute& attr) const
{
    const int32_t minimum = attr.m_Minimum.toInt32();
    const uint32_t range = static_cast<uint32_t>(attr.m_Maximum.toInt32()) - static_cast<uint32_t>(minimum);
    if (range == 0) return kBadArgument;
    const double offset = static_cast<double>(static_cast<int64_t>(value.toInt32()) - minimum);
    const double angle = m_knobLow + offset * (m_knobHigh - m_knobLow) / range + 0.5;
    degree = cutToward0<uint32_t>(angle);
    return kOk;
}

JLIB::JResult DefaultExpression::fromDegree(JVariant& out, uint32_t degree, const PrmAttribute& attr) const
{
    if (degree < m_knobLow) {
        out = attr.m_Minimum.toInt32();
        return kOk;
    }
    if (degree > m_knobHigh) {
        out = attr.m_Maximum.toInt32();
        return kOk;
    }
    if (m_knobHigh == m_knobLow) return kBadArgument;
    const int32_t minimum = attr.m_Minimum.toInt32();
    const uint32_t range = static_cast<uint32_t>(attr.m_Maximum.toInt32()) - static_cast<uint32_t>(minimum);
    const double value = minimum + static_cast<double>(degree - m_knobLow) * range / (m_knobHigh - m_knobLow);
    out = cutToward0<int32_t>(value);
    return kOk;
}

JLIB::JResult DefaultExpression::toRatio(uint32_t& ratio, uint32_t steps, const JVariant& value,
                                         const PrmAttribute& attr) const
{
    const int32_t minimum = attr.m_Minimum.toInt32();
    const uint32_t range = static_cast<uint32_t>(attr.m_Maximum.toInt32()) - static_cast<uint32_t>(minimum);
    if (range == 0 || steps == 0) {
        ratio = 0;
        return kBadArgument;
    }
    const double offset = static_cast<double>(static_cast<int64_t>(value.toInt32()) - minimum);
    ratio = cutToward0<uint32_t>(offset * (steps - 1) / range + 0.5);
    return kOk;
}

JLIB::JResult DefaultExpression::fromRatio(JVariant& out, uint32_t ratio, uint32_t steps,
                                           const PrmAttribute& attr) const
{
    if (steps <= 1) {
        out = 0;
        return kBadArgument;
    }
    if (ratio >= steps - 1) {
        out = attr.m_Maximum.toInt32();
        return kOk;
    }
    const int32_t minimum = attr.m_Minimum.toInt32();
    const uint32_t range = static_cast<uint32_t>(attr.m_Maximum.toInt32()) - static_cast<uint32_t>(minimum);
    const double x = static_cast<double>(ratio) * range / (steps - 1) + minimum;
    out = cutToward0<int32_t>(x >= 0.0 ? x + 0.5 : x - 0.5);
    return kOk;
}

JLIB::JResult DefaultExpression::toIndicator(ColorFormat* colors, uint32_t count, const JVariant&) const
{
    if (colors == nullptr) return kOk;
    for (uint32_t i = 0; i < count; ++i) colors[i].clear();
    return kOk;
}

JLIB::JResult DefaultExpression::toColor(ColorFormat& color, const JVariant&) const
{
    color.clear();
    return kOk;
}

JLIB::JResult DefaultExpression::getTableNum(uint32_t& count, uint32_t*, uint16_t) const
{
    count = 0;
    return kNotSupported;
}

JLIB::JResult DefaultExpression::getTableText(char*, uint32_t& length, uint32_t, uint32_t, uint16_t) const
{
    length = 0;
    return kNotSupported;
}

JLIB::JResult DefaultExpression::indexToValue(JVariant& out, uint32_t, const PrmAttribute&) const
{
    out = 0;
    return kNotSupported;
}

JLIB::JResult DefaultExpression::valueToIndex(uint32_t& index, const JVariant&, const PrmAttribute&) const
{
    index = 0;
    return kNotSupported;
}

uint32_t DefaultExpression::getResolution(const PrmAttribute& attr, FinenessOption) const
{
    const int64_t step = attr.m_Step.toInt32();
    if (step == 0) return 1;
    // 64 bits: the span of a full 32-bit range does not fit a signed 32-bit number.
    int64_t steps = (static_cast<int64_t>(attr.m_Maximum.toInt32()) - attr.m_Minimum.toInt32()) / step;
    if (steps < 0) steps = -steps;
    if (steps == 0) return 1;
    return clampTo<uint32_t>(steps);
}

uint32_t DefaultExpression::speedToDelta(const PrmAttribute& attr, uint32_t speed, FinenessOption fineness) const
{
    if (speed < 1) speed = 1;
    if (speed > 10) speed = 10;
    const double rate = resolutionRateTable[speed - 1];
    const uint32_t resolution = getResolution(attr, fineness);
    if (resolution <= 10) return 1;
    uint32_t d = cutToward0<uint32_t>(resolution - (resolution - 10.0) * rate + 0.5);
    if (d < 10) d = 10;
    if (d > resolution) d = resolution;
    return resolution / d;
}

}  // namespace Expression
