#pragma once
// Levels in hundredths of a decibel over a 43-entry and a 1024-entry table; entry 0 (-32768)
// stands for minus infinity. Own knob curve, "-∞" text and level meter. Immutable: any task may call.
#include <array>

#include "PDB/Expression/NumericTableExpressionT.h"

namespace Expression {

class LevelExpression : public NumericTableExpressionT<short> {
public:
    static constexpr uint32_t kNormalCount = 43;
    static constexpr uint32_t kFineCount = 1024;
    static const std::array<short, kNormalCount> NormalTable;
    static const std::array<short, kFineCount> FineTable;

    LevelExpression();

    // The attribute's minimum reads "-∞" (length 5); above -100 dB two decimals, else one.
    // 0x80000007 for no buffer, 0x80000006 when the text does not fit.
    [[nodiscard]] JLIB::JResult toText(char* buffer, uint32_t& length, uint32_t size, const JVariant& value,
                                       const PrmAttribute& attr, uint16_t flags) const override;
    // Knob curve: -20 dB at 150 degrees, 0 dB at 270, +10 dB at 330; the range is not applied.
    [[nodiscard]] JLIB::JResult toDegree(uint32_t& degree, const JVariant& value,
                                         const PrmAttribute& attr) const override;
    [[nodiscard]] JLIB::JResult fromDegree(JVariant& out, uint32_t degree, const PrmAttribute& attr) const override;
    // Lights a meter of count segments; any level above 0 dB lights one more than 0 dB.
    [[nodiscard]] JLIB::JResult toIndicator(ColorFormat* colors, uint32_t count, const JVariant& value) const override;
};

}  // namespace Expression
