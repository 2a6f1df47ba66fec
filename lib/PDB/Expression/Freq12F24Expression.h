#pragma once
// Frequencies on the R40 (normal, 121 entries) and R80 (fine, 241 entries) preferred-number
// series from 200 to 200000; with a scaling of 10 that is 20 Hz to 20 kHz. Immutable: any task may call.
#include <array>

#include "PDB/Expression/NumericTableExpressionT.h"

namespace Expression {

class Freq12F24Expression : public NumericTableExpressionT<unsigned int> {
public:
    static constexpr uint32_t kNormalCount = 121;
    static constexpr uint32_t kFineCount = 241;
    static const std::array<unsigned int, kNormalCount> NormalTable;
    static const std::array<unsigned int, kFineCount> FineTable;

    Freq12F24Expression();

    // Three significant digits with an SI prefix ("1.00k"); 0x80000007 for no buffer,
    // 0x80000006 when the text does not fit.
    [[nodiscard]] JLIB::JResult toText(char* buffer, uint32_t& length, uint32_t size, const JVariant& value,
                                       const PrmAttribute& attr, uint16_t flags) const override;
};

}  // namespace Expression
