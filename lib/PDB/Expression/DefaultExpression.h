#pragma once
// Linear expression: values are multiples of the attribute's step inside its range, shown as
// fixed-point numbers with the scaling's decimals. Immutable: any task may call.
#include "PDB/Expression/IExpression.h"

namespace Expression {

class DefaultExpression : public IExpression {
public:
    // The smaller angle becomes the knob's low end.
    DefaultExpression(uint32_t knobAngle1, uint32_t knobAngle2);

    // Outside the range: the nearest limit is written and 0x80000005 returned.
    [[nodiscard]] JLIB::JResult rounding(JVariant& out, const JVariant& in, const PrmAttribute& attr,
                                         FinenessOption fineness) const override;
    [[nodiscard]] JLIB::JResult incDec(JVariant& out, const JVariant& in, const PrmAttribute& attr, int32_t count,
                                       uint32_t speed, FinenessOption fineness) const override;
    [[nodiscard]] JLIB::JResult getLength(uint32_t& length, const JVariant& value, const PrmAttribute& attr,
                                          uint16_t flags) const override;
    // A String value is copied (cut to the buffer, always terminated) and reports length 0.
    [[nodiscard]] JLIB::JResult toText(char* buffer, uint32_t& length, uint32_t size, const JVariant& value,
                                       const PrmAttribute& attr, uint16_t flags) const override;
    // Reads the leading integer (a fraction is dropped) and multiplies it by the scaling.
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
    // Not offered by a linear expression: 0x80000007.
    [[nodiscard]] JLIB::JResult getTableNum(uint32_t& count, uint32_t* maxLength, uint16_t selector) const override;
    [[nodiscard]] JLIB::JResult getTableText(char* buffer, uint32_t& length, uint32_t size, uint32_t index,
                                             uint16_t selector) const override;
    [[nodiscard]] JLIB::JResult indexToValue(JVariant& out, uint32_t index, const PrmAttribute& attr) const override;
    [[nodiscard]] JLIB::JResult valueToIndex(uint32_t& index, const JVariant& value,
                                             const PrmAttribute& attr) const override;
    uint32_t getResolution(const PrmAttribute& attr, FinenessOption fineness) const override;
    uint32_t speedToDelta(const PrmAttribute& attr, uint32_t speed, FinenessOption fineness) const override;

    // Decimals shown for a scaling: its digits after the first (0 for 0..9, 1 for 10..99, ...).
    static uint32_t ScalingToPoint(uint32_t scaling);

    // Steps per increment grow with the control speed 1..10 by these rates.
    static const double resolutionRateTable[10];

protected:
    uint32_t knobLow() const { return m_knobLow; }
    uint32_t knobHigh() const { return m_knobHigh; }

    // With kWithUnit in flags, appends the attribute's unit behind the text of length bytes
    // (terminator counted) and adds the unit's length; 0x80000006 when it does not fit.
    [[nodiscard]] static JLIB::JResult appendUnit(char* buffer, uint32_t& length, uint32_t size,
                                                  const PrmAttribute& attr, uint16_t flags);

private:
    uint32_t m_knobLow;
    uint32_t m_knobHigh;
};

}  // namespace Expression
