#pragma once
// Expression over a fixed ascending table of values (unsigned int, short or unsigned short): values
// snap to table entries, increments and knob angles move by table position. A normal and a finer
// table are chosen by the fineness option. Immutable: any task may call.
#include "PDB/Expression/DefaultExpression.h"

namespace Expression {

template <typename T>
class NumericTableExpressionT : public DefaultExpression {
public:
    // Borrows the tables (constant program data). A count of 0 drops its table and a null table
    // its count; with neither table every operation is the default expression's.
    NumericTableExpressionT(const T* normalTable, uint32_t normalCount, const T* fineTable, uint32_t fineCount,
                            uint32_t knobAngle1, uint32_t knobAngle2);

    // The nearest entry; the attribute's range is not applied.
    [[nodiscard]] JLIB::JResult rounding(JVariant& out, const JVariant& in, const PrmAttribute& attr,
                                         FinenessOption fineness) const override;
    // Moves count * speedToDelta entries, then holds the entry to the attribute's range.
    [[nodiscard]] JLIB::JResult incDec(JVariant& out, const JVariant& in, const PrmAttribute& attr, int32_t count,
                                       uint32_t speed, FinenessOption fineness) const override;
    // The value with the scaling's decimals; no range check and no unit.
    [[nodiscard]] JLIB::JResult toText(char* buffer, uint32_t& length, uint32_t size, const JVariant& value,
                                       const PrmAttribute& attr, uint16_t flags) const override;
    // Reads a number with an optional SI prefix and snaps it to the fine table; 0x80000003 for a
    // text that is not a number.
    [[nodiscard]] JLIB::JResult fromText(JVariant& out, const char* text, uint32_t length,
                                         const PrmAttribute& attr) const override;
    [[nodiscard]] JLIB::JResult toDegree(uint32_t& degree, const JVariant& value,
                                         const PrmAttribute& attr) const override;
    [[nodiscard]] JLIB::JResult fromDegree(JVariant& out, uint32_t degree, const PrmAttribute& attr) const override;
    [[nodiscard]] JLIB::JResult toRatio(uint32_t& ratio, uint32_t steps, const JVariant& value,
                                        const PrmAttribute& attr) const override;
    [[nodiscard]] JLIB::JResult fromRatio(JVariant& out, uint32_t ratio, uint32_t steps,
                                          const PrmAttribute& attr) const override;
    [[nodiscard]] JLIB::JResult toIndicator(ColorFormat* colors, uint32_t count, const JVariant& value) const override;
    [[nodiscard]] JLIB::JResult toColor(ColorFormat& color, const JVariant& value) const override;
    // The chosen table's length.
    uint32_t getResolution(const PrmAttribute& attr, FinenessOption fineness) const override;

    // The value read as T: nearest entry index, fractional position, nearest entry value.
    static uint32_t indexOfValue(const T* table, uint32_t count, const JVariant& value);
    static double indexOfValueDP(const T* table, uint32_t count, const JVariant& value);
    static T round(const T* table, uint32_t count, const JVariant& value);
    // The value read as T with the scaling's decimals; bytes written including the terminator.
    static uint32_t ValueToText(char* buffer, uint32_t size, const JVariant& value, uint32_t scaling);

protected:
    // Fineness 1 prefers the fine table, 2 the normal one (result 0; 1 when only the other exists);
    // any other fineness gives the normal table, else the fine one, with 0x80000007. The table
    // that comes back is used whatever the result; null only when there is none at all.
    JLIB::JResult get_table(FinenessOption fineness, const T*& table, uint32_t& count) const;

private:
    const T* m_pNormalTable;  // borrowed constant data
    uint32_t m_normalCount;
    const T* m_pFineTable;  // borrowed constant data
    uint32_t m_fineCount;
};

extern template class NumericTableExpressionT<unsigned int>;
extern template class NumericTableExpressionT<short>;
extern template class NumericTableExpressionT<unsigned short>;

}  // namespace Expression
