#include "PDB/Expression/StringTableExpression.h"

#include <cstring>

#include "PDB/Expression/ParameterProcUtilities.h"
#include "PDB/Expression/PrmAttribute.h"
#include "PDB/Expression/internal/ExpressionMath.h"
#include "jlib/jlib_string.h"

namespace Expression {

using internal::cutToward0;

namespace {

// Longest text a String value can take whole; a longer one becomes the value's error text.
constexpr unsigned int kAnyLength = 0xFFFFFFFFu;

// Writes a row text as a String value; a failure of the value is passed on.
JLIB::JResult writeText(JVariant& out, const char* text)
{
    const uint32_t stored = out.setString(text, kAnyLength);
    return JLIB::isFailure(stored) ? stored : kOk;
}

}  // namespace

StringTableExpression::StringTableExpression(const TableForm* table, uint32_t rowCount, uint32_t knobAngle1,
                                             uint32_t knobAngle2)
    : DefaultExpression(knobAngle1, knobAngle2),
      m_pTable(rowCount == 0 ? nullptr : table),
      m_rowCount(table == nullptr ? 0 : rowCount)
{
}

JLIB::JResult StringTableExpression::get_String(const char*& text, uint32_t index, uint16_t selector) const
{
    text = nullptr;
    if (index >= m_rowCount) return kOutOfRange;
    if (m_pTable == nullptr) return kOk;
    const TableForm& row = m_pTable[index];
    switch (selector & 0xFFu) {
        case kSelectFirst: text = row.pFirst; return kOk;
        case kSelectSecond: text = row.pSecond != nullptr ? row.pSecond : row.pFirst; return kOk;
        case kSelectThird: text = row.pThird != nullptr ? row.pThird : row.pFirst; return kOk;
        default: return kNotSupported;
    }
}

JLIB::JResult StringTableExpression::searchStrings(const char* text, uint32_t length, uint32_t& index) const
{
    if (text == nullptr || length == 0) return kBadArgument;
    if (m_pTable == nullptr || m_rowCount == 0) return kNoTable;
    for (uint32_t row = 0; row < m_rowCount; ++row) {
        const char* const candidates[] = {m_pTable[row].pFirst, m_pTable[row].pSecond, m_pTable[row].pThird};
        for (const char* candidate : candidates) {
            if (candidate != nullptr && ParameterProc::Utilities::_strcmpi(candidate, text) == 0) {
                index = row;
                return kOk;
            }
        }
    }
    return kBadArgument;
}

uint32_t StringTableExpression::searchMaxStrlen(uint16_t selector) const
{
    uint32_t longest = 0;
    for (uint32_t row = 0; row < m_rowCount; ++row) {
        const char* text = nullptr;
        (void)get_String(text, row, selector);  // a missing text counts as length 0
        const uint32_t n = jlib_strlen(text, 0xFFFFFFFFu);
        if (n > longest) longest = n;
    }
    return longest;
}

JLIB::JResult StringTableExpression::rowOf(const JVariant& value, uint32_t& index) const
{
    if (value.getType() == JVariant::kTypeString) return searchStrings(value.toString(), value.getStringLength(), index);
    if (value.getType() == JVariant::kTypeBinary) return kOutOfRange;
    index = value.toUInt32();
    return kOk;
}

JLIB::JResult StringTableExpression::incDec(JVariant& out, const JVariant& in, const PrmAttribute& attr, int32_t count,
                                            uint32_t speed, FinenessOption fineness) const
{
    if (m_pTable == nullptr) return DefaultExpression::incDec(out, in, attr, count, speed, fineness);
    int64_t row = 0;
    if (in.getType() == JVariant::kTypeString) {
        uint32_t found = 0;
        JLIB_RETURN_IF_FAILED(searchStrings(in.toString(), in.getStringLength(), found));
        row = found;
    } else if (in.getType() == JVariant::kTypeBinary) {
        return kOutOfRange;
    } else {
        row = in.toInt32();
    }
    row += count;
    if (row < 0) row = 0;
    if (row > static_cast<int64_t>(m_rowCount) - 1) row = static_cast<int64_t>(m_rowCount) - 1;
    const char* text = nullptr;
    const JLIB::JResult result = get_String(text, static_cast<uint32_t>(row), kSelectSecond);
    if (text != nullptr) JLIB_RETURN_IF_FAILED(writeText(out, text));
    return result;
}

JLIB::JResult StringTableExpression::toText(char* buffer, uint32_t& length, uint32_t size, const JVariant& value,
                                            const PrmAttribute& attr, uint16_t flags) const
{
    if (buffer == nullptr || size == 0) return kNoBuffer;
    if (value.getType() != JVariant::kTypeString) length = 0;
    uint32_t row = 0;
    JLIB_RETURN_IF_FAILED(rowOf(value, row));
    const char* text = nullptr;
    JLIB_RETURN_IF_FAILED(get_String(text, row, flags));
    if (text == nullptr) return DefaultExpression::toText(buffer, length, size, value, attr, flags);
    const size_t n = std::strlen(text);
    if (n >= size) return kNoBuffer;
    std::memcpy(buffer, text, n + 1);
    length = static_cast<uint32_t>(n) + 1;
    return appendUnit(buffer, length, size, attr, flags);
}

JLIB::JResult StringTableExpression::fromText(JVariant& out, const char* text, uint32_t length,
                                              const PrmAttribute&) const
{
    if (text == nullptr || length == 0) return kBadArgument;
    if (m_pTable == nullptr) return kNoTable;
    uint32_t row = 0;
    JLIB_RETURN_IF_FAILED(searchStrings(text, length, row));
    out = row;
    return kOk;
}

JLIB::JResult StringTableExpression::toDegree(uint32_t& degree, const JVariant& value, const PrmAttribute&) const
{
    uint32_t row = 0;
    JLIB_RETURN_IF_FAILED(rowOf(value, row));
    if (row > m_rowCount) {
        degree = knobHigh();
        return kOk;
    }
    // A single row spans nothing: it sits at the low end rather than dividing by zero.
    const uint32_t divisor = m_rowCount > 1 ? m_rowCount - 1 : 1;
    const float angle = static_cast<float>(row) * static_cast<float>(knobHigh() - knobLow()) /
                            static_cast<float>(divisor) + static_cast<float>(knobLow());
    degree = cutToward0<uint32_t>(static_cast<double>(angle) + 0.5);
    return kOk;
}

JLIB::JResult StringTableExpression::fromDegree(JVariant& out, uint32_t degree, const PrmAttribute&) const
{
    if (knobHigh() == knobLow() || m_rowCount == 0) return kBadArgument;
    if (degree < knobLow()) degree = knobLow();
    if (degree > knobHigh()) degree = knobHigh();
    const float share = static_cast<float>(m_rowCount - 1) * static_cast<float>(degree - knobLow()) /
                        static_cast<float>(knobHigh() - knobLow());
    const uint32_t row = cutToward0<uint32_t>(static_cast<double>(share) + 0.5);
    if (row >= m_rowCount) return kBadArgument;
    const char* text = nullptr;
    const JLIB::JResult result = get_String(text, row, kSelectSecond);
    if (text != nullptr) JLIB_RETURN_IF_FAILED(writeText(out, text));
    return result;
}

JLIB::JResult StringTableExpression::toRatio(uint32_t& ratio, uint32_t steps, const JVariant& value,
                                             const PrmAttribute&) const
{
    if (steps == 0) {
        ratio = 0;
        return kBadArgument;
    }
    const uint32_t row = value.toUInt32();
    if (m_rowCount == 0 || row > m_rowCount) {
        ratio = steps;
        return kOk;
    }
    const uint32_t divisor = m_rowCount > 1 ? m_rowCount - 1 : 1;
    const float share = static_cast<float>(row) * static_cast<float>(steps - 1) / static_cast<float>(divisor);
    ratio = cutToward0<uint32_t>(static_cast<double>(share) + 0.5);
    return kOk;
}

JLIB::JResult StringTableExpression::fromRatio(JVariant& out, uint32_t ratio, uint32_t steps,
                                               const PrmAttribute& attr) const
{
    if (steps <= 1) {
        out = 0;
        return kBadArgument;
    }
    // Without rows there is no index to give; the linear conversion stands in, as for incDec.
    if (m_rowCount == 0) return DefaultExpression::fromRatio(out, ratio, steps, attr);
    if (ratio >= steps - 1) {
        out = m_rowCount - 1;
        return kOk;
    }
    const float share = static_cast<float>(m_rowCount - 1) * static_cast<float>(ratio) / static_cast<float>(steps - 1);
    out = cutToward0<uint32_t>(static_cast<double>(share) + 0.5);
    return kOk;
}

JLIB::JResult StringTableExpression::toIndicator(ColorFormat* colors, uint32_t count, const JVariant& value) const
{
    return DefaultExpression::toIndicator(colors, count, value);
}

JLIB::JResult StringTableExpression::toColor(ColorFormat& color, const JVariant& value) const
{
    return DefaultExpression::toColor(color, value);
}

JLIB::JResult StringTableExpression::getTableNum(uint32_t& count, uint32_t* maxLength, uint16_t selector) const
{
    if (m_pTable == nullptr) return kNotSupported;
    count = m_rowCount;
    if (maxLength == nullptr) return kOk;
    const uint16_t variant = selector & 0xFFu;
    if (variant != kSelectFirst && variant != kSelectSecond && variant != kSelectThird) return kNotSupported;
    *maxLength = searchMaxStrlen(selector);
    return kOk;
}

JLIB::JResult StringTableExpression::getTableText(char* buffer, uint32_t& length, uint32_t size, uint32_t index,
                                                  uint16_t selector) const
{
    if (m_pTable == nullptr || buffer == nullptr) return kNotSupported;
    const char* text = nullptr;
    JLIB_RETURN_IF_FAILED(get_String(text, index, selector));
    if (text == nullptr) text = "";
    const size_t n = std::strlen(text);
    if (n >= size) return kNoBuffer;
    std::memcpy(buffer, text, n + 1);
    length = static_cast<uint32_t>(n);
    return kOk;
}

JLIB::JResult StringTableExpression::indexToValue(JVariant& out, uint32_t index, const PrmAttribute& attr) const
{
    if (m_pTable == nullptr) return kNotSupported;
    if (index >= m_rowCount || index < attr.m_Minimum.toUInt32() || index >= attr.m_Maximum.toUInt32())
        return kOutOfRange;
    out = index;
    return kOk;
}

JLIB::JResult StringTableExpression::valueToIndex(uint32_t& index, const JVariant& value,
                                                  const PrmAttribute& attr) const
{
    if (m_pTable == nullptr) return kNotSupported;
    const uint32_t v = value.toUInt32();
    if (v >= m_rowCount || v < attr.m_Minimum.toUInt32() || v >= attr.m_Maximum.toUInt32()) return kOutOfRange;
    index = v;
    return kOk;
}

uint32_t StringTableExpression::getResolution(const PrmAttribute& attr, FinenessOption fineness) const
{
    uint32_t rows = 0;
    uint32_t longest = 0;
    if (JLIB::isFailure(getTableNum(rows, &longest, kSelectFirst)) || rows == 0)
        return DefaultExpression::getResolution(attr, fineness);
    return rows;
}

}  // namespace Expression
