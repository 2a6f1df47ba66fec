#include "PDB/Expression/LevelExpression.h"

#include <cstring>
#include <iterator>

#include "PDB/Expression/ColorFormat.h"
#include "PDB/Expression/ParameterProcUtilities.h"
#include "PDB/Expression/PrmAttribute.h"
#include "PDB/Expression/internal/ExpressionMath.h"

namespace Expression {

using internal::clampTo;
using internal::cutToward0;
using ParameterProc::Utilities;

namespace {

constexpr uint32_t kKnobLow = 30;
constexpr uint32_t kKnobHigh = 330;
constexpr short kMinusInfinity = -32768;
// From -100 dB down one decimal keeps the text as wide as above it ("-99.99", "-100.0").
constexpr int kOneDecimalBelow = -10000;
// Entry 32 of the normal table is 0 dB; passing it makes 33 entries.
constexpr uint32_t kZeroDbPosition = 33;
const char kMinusInfinityText[] = "-\xE2\x88\x9E";

constexpr std::array<short, LevelExpression::kFineCount> makeFineTable()
{
    std::array<short, LevelExpression::kFineCount> table{};
    table[0] = kMinusInfinity;
    // Coarse where the ear hears little, finer towards 0 dB: (first entry, first value, step).
    struct Run {
        int first;
        int value;
        int step;
    };
    constexpr Run runs[] = {{1, -13800, 300}, {15, -9600, 100}, {33, -7800, 20}, {223, -4000, 10}, {423, -2000, 5}};
    for (size_t r = 0; r < std::size(runs); ++r) {
        const int end = r + 1 < std::size(runs) ? runs[r + 1].first : static_cast<int>(LevelExpression::kFineCount);
        for (int i = runs[r].first; i < end; ++i)
            table[i] = static_cast<short>(runs[r].value + (i - runs[r].first) * runs[r].step);
    }
    return table;
}

}  // namespace

const std::array<short, LevelExpression::kNormalCount> LevelExpression::NormalTable = {
    -32768, -13800, -12000, -10500, -9000, -7000, -6000, -5500, -5000, -4500, -4000,
    -3500,  -3000,  -2800,  -2600,  -2400, -2200, -2000, -1800, -1600, -1400, -1200,
    -1000,  -900,   -800,   -700,   -600,  -500,  -400,  -300,  -200,  -100,  0,
    100,    200,    300,    400,    500,   600,   700,   800,   900,   1000,
};

const std::array<short, LevelExpression::kFineCount> LevelExpression::FineTable = makeFineTable();

LevelExpression::LevelExpression()
    : NumericTableExpressionT<short>(NormalTable.data(), kNormalCount, FineTable.data(), kFineCount, kKnobLow,
                                     kKnobHigh)
{
}

JLIB::JResult LevelExpression::toText(char* buffer, uint32_t& length, uint32_t size, const JVariant& value,
                                      const PrmAttribute& attr, uint16_t) const
{
    if (buffer == nullptr || size == 0) return kNotSupported;
    const short v = static_cast<short>(static_cast<unsigned short>(value.toUInt32() & 0xFFFFu));
    const short minimum = static_cast<short>(static_cast<unsigned short>(attr.m_Minimum.toUInt32() & 0xFFFFu));
    if (v == minimum) {
        if (size < sizeof kMinusInfinityText) {
            length = 0;
            return kNoBuffer;
        }
        std::memcpy(buffer, kMinusInfinityText, sizeof kMinusInfinityText);
        length = sizeof kMinusInfinityText;
        return kOk;
    }
    length = v > kOneDecimalBelow ? Utilities::sint16ToText(buffer, size, v, 2)
                                  : Utilities::sint16ToText(buffer, size, static_cast<short>(v / 10), 1);
    return length == 0 ? kNoBuffer : kOk;
}

JLIB::JResult LevelExpression::toDegree(uint32_t& degree, const JVariant& value, const PrmAttribute&) const
{
    const double v = value.toInt32();
    double angle = knobLow();
    if (v >= -2000)
        angle = (v + 2000) * 30 / 500 + 150;
    else if (v >= -4000)
        angle = (v + 4000) * 30 / 1000 + 90;
    else if (v >= -6000)
        angle = (v + 6000) * 20 / 1000 + 50;
    else if (v >= -14100)
        angle = (v + 14100) * 19 / 8100 + 31;
    if (angle < knobLow()) angle = knobLow();
    if (angle > knobHigh()) angle = knobHigh();
    degree = cutToward0<uint32_t>(angle + 0.5);
    return kOk;
}

JLIB::JResult LevelExpression::fromDegree(JVariant& out, uint32_t degree, const PrmAttribute& attr) const
{
    // In 64 bits a large angle cannot wrap its product round to a low level.
    const int64_t d = degree;
    int64_t v = attr.m_Minimum.toInt32();
    if (d > 150)
        v = cutToward0<int64_t>((d * 500 - 75000) / 30.0) - 2000;
    else if (d > 90)
        v = cutToward0<int64_t>((d * 1000 - 90000) / 30.0) - 4000;
    else if (d > 50)
        v = cutToward0<int64_t>((d * 1000 - 50000) / 20.0) - 6000;
    else if (d > 30)
        v = cutToward0<int64_t>((d * 8100 - 251100) / 19.0) - 14100;
    out = static_cast<int>(Utilities::roundSInt16(FineTable.data(), kFineCount, clampTo<short>(v)));
    return kOk;
}

JLIB::JResult LevelExpression::toIndicator(ColorFormat* colors, uint32_t count, const JVariant& value) const
{
    if (colors == nullptr || count == 0) return kOk;
    // More segments than table entries would make the share 0: one entry per segment then.
    uint32_t perSegment = kNormalCount / count;
    if (perSegment == 0) perSegment = 1;
    for (uint32_t i = 0; i < count; ++i) colors[i].clear();

    const int32_t v = value.toInt32();
    uint32_t passed = 0;
    while (passed < kNormalCount && NormalTable[passed] <= v) ++passed;
    uint32_t lit = passed / perSegment;
    if (v > 0 && lit == kZeroDbPosition / perSegment) ++lit;
    if (lit > count) lit = count;
    for (uint32_t i = 0; i < lit; ++i) colors[i].light();
    return kOk;
}

}  // namespace Expression
