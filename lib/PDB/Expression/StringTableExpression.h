#pragma once
// Expression for enumerated values: each value is a row of a table of texts, held either as the
// row index or as one of the row's texts. Searches accept any of a row's three texts in any letter
// case. Immutable: any task may call.
#include "PDB/Expression/DefaultExpression.h"

namespace Expression {

class StringTableExpression : public DefaultExpression {
public:
    // One row: the first text is always there, the second and third may be null.
    struct TableForm {
        const char* pFirst;
        const char* pSecond;
        const char* pThird;
    };

    // Text selectors (low 8 bits of the flags or selector): a missing second or third text falls
    // back to the first.
    static constexpr uint16_t kSelectFirst = 1;
    static constexpr uint16_t kSelectSecond = 2;
    static constexpr uint16_t kSelectThird = 4;

    // Borrows the table (constant data that outlives the expression). A row count of 0 drops the
    // table and a null table the count.
    StringTableExpression(const TableForm* table, uint32_t rowCount, uint32_t knobAngle1, uint32_t knobAngle2);

    // Moves count rows from a row index or a row text and writes the row's second text.
    [[nodiscard]] JLIB::JResult incDec(JVariant& out, const JVariant& in, const PrmAttribute& attr, int32_t count,
                                       uint32_t speed, FinenessOption fineness) const override;
    // The text of a row (value as index or as one of the row's texts) chosen by the flags'
    // selector; length counts the terminator. 0x80000006 for no buffer or a text that does not fit.
    [[nodiscard]] JLIB::JResult toText(char* buffer, uint32_t& length, uint32_t size, const JVariant& value,
                                       const PrmAttribute& attr, uint16_t flags) const override;
    // Writes the index of the row that has the text, as UInt32.
    [[nodiscard]] JLIB::JResult fromText(JVariant& out, const char* text, uint32_t length,
                                         const PrmAttribute& attr) const override;
    [[nodiscard]] JLIB::JResult toDegree(uint32_t& degree, const JVariant& value,
                                         const PrmAttribute& attr) const override;
    // Writes the second text of the row at that angle.
    [[nodiscard]] JLIB::JResult fromDegree(JVariant& out, uint32_t degree, const PrmAttribute& attr) const override;
    [[nodiscard]] JLIB::JResult toRatio(uint32_t& ratio, uint32_t steps, const JVariant& value,
                                        const PrmAttribute& attr) const override;
    // Writes a row index as UInt32.
    [[nodiscard]] JLIB::JResult fromRatio(JVariant& out, uint32_t ratio, uint32_t steps,
                                          const PrmAttribute& attr) const override;
    [[nodiscard]] JLIB::JResult toIndicator(ColorFormat* colors, uint32_t count, const JVariant& value) const override;
    [[nodiscard]] JLIB::JResult toColor(ColorFormat& color, const JVariant& value) const override;
    [[nodiscard]] JLIB::JResult getTableNum(uint32_t& count, uint32_t* maxLength, uint16_t selector) const override;
    // length is the text's length without the terminator.
    [[nodiscard]] JLIB::JResult getTableText(char* buffer, uint32_t& length, uint32_t size, uint32_t index,
                                             uint16_t selector) const override;
    // The index must lie below the row count, at or above the minimum and below the maximum.
    [[nodiscard]] JLIB::JResult indexToValue(JVariant& out, uint32_t index, const PrmAttribute& attr) const override;
    [[nodiscard]] JLIB::JResult valueToIndex(uint32_t& index, const JVariant& value,
                                             const PrmAttribute& attr) const override;
    uint32_t getResolution(const PrmAttribute& attr, FinenessOption fineness) const override;

private:
    JLIB::JResult get_String(const char*& text, uint32_t index, uint16_t selector) const;
    JLIB::JResult searchStrings(const char* text, uint32_t length, uint32_t& index) const;
    uint32_t searchMaxStrlen(uint16_t selector) const;
    // The row of a value: a String is searched, a number read as index; a Binary is refused.
    JLIB::JResult rowOf(const JVariant& value, uint32_t& index) const;

    const TableForm* m_pTable;  // borrowed constant data
    uint32_t m_rowCount;
};

}  // namespace Expression
