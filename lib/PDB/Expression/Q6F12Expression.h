#pragma once
// Filter Q values (times 100) over a 57-entry and a 113-entry table, shown without trailing
// zeros of the fraction. Immutable: any task may call.
#include <array>

#include "PDB/Expression/NumericTableExpressionT.h"

namespace Expression {

class Q6F12Expression : public NumericTableExpressionT<unsigned short> {
public:
    static constexpr uint32_t kNormalCount = 57;
    static constexpr uint32_t kFineCount = 113;
    static const std::array<unsigned short, kNormalCount> NormalTable;
    static const std::array<unsigned short, kFineCount> FineTable;

    Q6F12Expression();

    // The value with the scaling's decimals, trailing fraction zeros blanked with the width kept
    // ("1.  ", "1.1 "); 0x80000007 for no buffer, 0x80000006 when the text does not fit.
    [[nodiscard]] JLIB::JResult toText(char* buffer, uint32_t& length, uint32_t size, const JVariant& value,
                                       const PrmAttribute& attr, uint16_t flags) const override;
};

}  // namespace Expression
