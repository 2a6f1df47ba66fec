#include "PDB/Expression/NumericTableExpressionT.h"

#include <cmath>
#include <limits>
#include <type_traits>

#include "PDB/Expression/ParameterProcUtilities.h"
#include "PDB/Expression/PrmAttribute.h"
#include "PDB/Expression/internal/ExpressionMath.h"
#include "jlib/jlib_cfg.h"

namespace Expression {

using internal::clampTo;
using internal::cutToward0;
using ParameterProc::Utilities;

namespace {

// The value as the table's type sees it: 32 bits unsigned, or the low 16 bits.
template <typename T>
T readAs(const JVariant& value)
{
    if constexpr (std::is_same_v<T, unsigned int>)
        return value.toUInt32();
    else if constexpr (std::is_same_v<T, short>)
        return static_cast<short>(static_cast<unsigned short>(value.toUInt32() & 0xFFFFu));
    else
        return static_cast<unsigned short>(value.toUInt32() & 0xFFFFu);
}

// The value held to the table type's range, for snapping to the nearest entry.
template <typename T>
T limitTo(const JVariant& value)
{
    if constexpr (std::is_same_v<T, unsigned int>)
        return value.toUInt32();
    else if constexpr (std::is_same_v<T, short>)
        return clampTo<short>(value.toInt32());
    else
        return clampTo<unsigned short>(value.toUInt32());
}

uint32_t nearest(const unsigned int* t, uint32_t n, unsigned int v) { return Utilities::indexOfUInt(t, n, v); }
uint32_t nearest(const short* t, uint32_t n, short v) { return Utilities::indexOfSInt16(t, n, v); }
uint32_t nearest(const unsigned short* t, uint32_t n, unsigned short v) { return Utilities::indexOfUInt16(t, n, v); }
double position(const unsigned int* t, uint32_t n, unsigned int v) { return Utilities::indexOfUIntDP(t, n, v); }
double position(const short* t, uint32_t n, short v) { return Utilities::indexOfSInt16DP(t, n, v); }
double position(const unsigned short* t, uint32_t n, unsigned short v) { return Utilities::indexOfUInt16DP(t, n, v); }
unsigned int snap(const unsigned int* t, uint32_t n, unsigned int v) { return Utilities::roundUInt(t, n, v); }
short snap(const short* t, uint32_t n, short v) { return Utilities::roundSInt16(t, n, v); }
unsigned short snap(const unsigned short* t, uint32_t n, unsigned short v) { return Utilities::roundUInt16(t, n, v); }
uint32_t print(char* b, uint32_t s, unsigned int v, uint32_t d) { return Utilities::uintToText(b, s, v, d); }
uint32_t print(char* b, uint32_t s, short v, uint32_t d) { return Utilities::sint16ToText(b, s, v, d); }
uint32_t print(char* b, uint32_t s, unsigned short v, uint32_t d) { return Utilities::uint16ToText(b, s, v, d); }

}  // namespace

template <typename T>
NumericTableExpressionT<T>::NumericTableExpressionT(const T* normalTable, uint32_t normalCount, const T* fineTable,
                                                    uint32_t fineCount, uint32_t knobAngle1, uint32_t knobAngle2)
    : DefaultExpression(knobAngle1, knobAngle2),
      m_pNormalTable(normalCount == 0 ? nullptr : normalTable),
      m_normalCount(normalTable == nullptr ? 0 : normalCount),
      m_pFineTable(fineCount == 0 ? nullptr : fineTable),
      m_fineCount(fineTable == nullptr ? 0 : fineCount)
{
}

template <typename T>
uint32_t NumericTableExpressionT<T>::indexOfValue(const T* table, uint32_t count, const JVariant& value)
{
    return nearest(table, count, readAs<T>(value));
}

template <typename T>
double NumericTableExpressionT<T>::indexOfValueDP(const T* table, uint32_t count, const JVariant& value)
{
    return position(table, count, readAs<T>(value));
}

template <typename T>
T NumericTableExpressionT<T>::round(const T* table, uint32_t count, const JVariant& value)
{
    return snap(table, count, limitTo<T>(value));
}

template <typename T>
uint32_t NumericTableExpressionT<T>::ValueToText(char* buffer, uint32_t size, const JVariant& value, uint32_t scaling)
{
    return print(buffer, size, readAs<T>(value), ScalingToPoint(scaling));
}

template <typename T>
JLIB::JResult NumericTableExpressionT<T>::get_table(FinenessOption fineness, const T*& table, uint32_t& count) const
{
    const bool hasNormal = m_pNormalTable != nullptr;
    const bool hasFine = m_pFineTable != nullptr;
    JLIB::JResult result = kOk;
    bool useFine = false;
    if (fineness == FinenessFine) {
        useFine = hasFine;
        result = hasFine ? kOk : 1;
    } else if (fineness == FinenessNormal) {
        useFine = !hasNormal;
        result = hasNormal ? kOk : 1;
    } else {
        useFine = !hasNormal;
        result = kNotSupported;
    }
    table = useFine ? m_pFineTable : m_pNormalTable;
    count = useFine ? m_fineCount : m_normalCount;
    if (table == nullptr && result == kOk) result = 1;
    return result;
}

template <typename T>
JLIB::JResult NumericTableExpressionT<T>::rounding(JVariant& out, const JVariant& in, const PrmAttribute& attr,
                                                   FinenessOption fineness) const
{
    const T* table = nullptr;
    uint32_t count = 0;
    (void)get_table(fineness, table, count);  // a table that comes back is used whatever the result
    if (table == nullptr) return DefaultExpression::rounding(out, in, attr, fineness);
    out = round(table, count, in);
    return kOk;
}

template <typename T>
JLIB::JResult NumericTableExpressionT<T>::incDec(JVariant& out, const JVariant& in, const PrmAttribute& attr,
                                                 int32_t count, uint32_t speed, FinenessOption fineness) const
{
    const T* table = nullptr;
    uint32_t entries = 0;
    (void)get_table(fineness, table, entries);  // a table that comes back is used whatever the result
    if (table == nullptr) return DefaultExpression::incDec(out, in, attr, count, speed, fineness);
    const int64_t index = indexOfValue(table, entries, in);
    const int64_t delta = this->speedToDelta(attr, speed == 0 ? 1 : speed, fineness);
    int64_t n = index + count * delta;
    if (n < 0) n = 0;
    if (n > static_cast<int64_t>(entries) - 1) n = static_cast<int64_t>(entries) - 1;
    T v = table[n];
    const T minimum = readAs<T>(attr.m_Minimum);
    const T maximum = readAs<T>(attr.m_Maximum);
    if (v < minimum) v = minimum;
    if (v > maximum) v = maximum;
    out = v;
    return kOk;
}

template <typename T>
JLIB::JResult NumericTableExpressionT<T>::toText(char* buffer, uint32_t& length, uint32_t size, const JVariant& value,
                                                 const PrmAttribute& attr, uint16_t flags) const
{
    const T* table = nullptr;
    uint32_t count = 0;
    (void)get_table(FinenessFine, table, count);  // only whether a table exists matters here
    if (table == nullptr) return DefaultExpression::toText(buffer, length, size, value, attr, flags);
    length = ValueToText(buffer, size, value, attr.m_Scaling);
    return length == 0 ? kNoBuffer : kOk;
}

template <typename T>
JLIB::JResult NumericTableExpressionT<T>::fromText(JVariant& out, const char* text, uint32_t length,
                                                   const PrmAttribute& attr) const
{
    const T* table = nullptr;
    uint32_t count = 0;
    (void)get_table(FinenessFine, table, count);  // only whether a table exists matters here
    if (table == nullptr) return DefaultExpression::fromText(out, text, length, attr);
    if (text == nullptr) return kBadArgument;
    uint32_t error = 0;
    const double x = Utilities::textToDouble(text, length, &error);
    double d = attr.m_Scaling * x + 0.5;
    // "nan" reads as a number (and 0 times "inf" makes one) but has no place on any scale.
    if (error != 0) return kBadArgument;
    if (std::isnan(d)) {
        JLIB_LOG("[E] NumericTableExpressionT::fromText - not a number: %.*s\n",
                 static_cast<int>(length < 32 ? length : 32), text);
        return kBadArgument;
    }
    const double low = std::numeric_limits<T>::min();
    const double high = std::numeric_limits<T>::max();
    if (d < low) d = low;
    if (d > high) d = high;
    return this->rounding(out, JVariant(static_cast<T>(d)), attr, FinenessFine);
}

template <typename T>
JLIB::JResult NumericTableExpressionT<T>::toDegree(uint32_t& degree, const JVariant& value,
                                                   const PrmAttribute& attr) const
{
    const T* table = nullptr;
    uint32_t count = 0;
    (void)get_table(FinenessFine, table, count);  // a table that comes back is used whatever the result
    if (table == nullptr) return DefaultExpression::toDegree(degree, value, attr);
    const int32_t v = value.toInt32();
    if (v < attr.m_Minimum.toInt32()) {
        degree = knobLow();
        return kOk;
    }
    if (v > attr.m_Maximum.toInt32()) {
        degree = knobHigh();
        return kOk;
    }
    if (count <= 1) {  // a single entry has no span to place the value in
        degree = knobLow();
        return kOk;
    }
    const double p = indexOfValueDP(table, count, value);
    degree = cutToward0<uint32_t>(p / (count - 1) * (knobHigh() - knobLow()) + knobLow() + 0.5);
    return kOk;
}

template <typename T>
JLIB::JResult NumericTableExpressionT<T>::fromDegree(JVariant& out, uint32_t degree, const PrmAttribute& attr) const
{
    const T* table = nullptr;
    uint32_t count = 0;
    (void)get_table(FinenessFine, table, count);  // a table that comes back is used whatever the result
    if (table == nullptr) return DefaultExpression::fromDegree(out, degree, attr);
    if (knobHigh() == knobLow()) return kBadArgument;
    if (degree < knobLow()) degree = knobLow();
    if (degree > knobHigh()) degree = knobHigh();
    const float share = static_cast<float>(degree - knobLow()) / static_cast<float>(knobHigh() - knobLow()) *
                        static_cast<float>(count - 1);
    uint32_t index = cutToward0<uint32_t>(static_cast<double>(share) + 0.5);
    if (index > count - 1) index = count - 1;
    out = table[index];
    return kOk;
}

template <typename T>
JLIB::JResult NumericTableExpressionT<T>::toRatio(uint32_t& ratio, uint32_t steps, const JVariant& value,
                                                  const PrmAttribute& attr) const
{
    const T* table = nullptr;
    uint32_t count = 0;
    (void)get_table(FinenessFine, table, count);  // a table that comes back is used whatever the result
    if (table == nullptr) return DefaultExpression::toRatio(ratio, steps, value, attr);
    const double a = indexOfValueDP(table, count, attr.m_Minimum);
    const double b = indexOfValueDP(table, count, attr.m_Maximum);
    const double span = b - a + 1.0;
    double q = indexOfValue(table, count, value) - a;
    if (q < 0.0) q = 0.0;
    const double divisor = span <= 1.0 ? 1.0 : span - 1.0;
    const uint32_t r = cutToward0<uint32_t>(static_cast<double>(steps - 1u) * q / divisor + 0.5);
    ratio = r > steps ? steps : r;
    return kOk;
}

template <typename T>
JLIB::JResult NumericTableExpressionT<T>::fromRatio(JVariant& out, uint32_t ratio, uint32_t steps,
                                                    const PrmAttribute& attr) const
{
    const T* table = nullptr;
    uint32_t count = 0;
    (void)get_table(FinenessFine, table, count);  // a table that comes back is used whatever the result
    if (table == nullptr) return DefaultExpression::fromRatio(out, ratio, steps, attr);
    if (steps <= 1) return kBadArgument;
    const double a = indexOfValueDP(table, count, attr.m_Minimum);
    const double b = indexOfValueDP(table, count, attr.m_Maximum);
    const double span = b - a + 1.0;
    uint32_t index = cutToward0<uint32_t>(a + (span - 1.0) * ratio / (steps - 1) + 0.5);
    if (index > count - 1) index = count - 1;
    out = table[index];
    return kOk;
}

template <typename T>
JLIB::JResult NumericTableExpressionT<T>::toIndicator(ColorFormat* colors, uint32_t count,
                                                      const JVariant& value) const
{
    return DefaultExpression::toIndicator(colors, count, value);
}

template <typename T>
JLIB::JResult NumericTableExpressionT<T>::toColor(ColorFormat& color, const JVariant& value) const
{
    return DefaultExpression::toColor(color, value);
}

template <typename T>
uint32_t NumericTableExpressionT<T>::getResolution(const PrmAttribute& attr, FinenessOption fineness) const
{
    const T* table = nullptr;
    uint32_t count = 0;
    (void)get_table(fineness, table, count);  // a table that comes back is used whatever the result
    if (table == nullptr || count == 0) return DefaultExpression::getResolution(attr, fineness);
    return count;
}

template class NumericTableExpressionT<unsigned int>;
template class NumericTableExpressionT<short>;
template class NumericTableExpressionT<unsigned short>;

}  // namespace Expression
