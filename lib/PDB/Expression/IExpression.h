#pragma once
// Converts a parameter value to and from display text, knob angle, scale position, steps and
// indicator colours. Implementations hold no changeable state: any task may call any operation.
#include <cstdint>

#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"

namespace Expression {

struct ColorFormat;
struct PrmAttribute;

// Which table a table-driven expression steps through; linear expressions ignore it.
enum FinenessOption : uint32_t {
    FinenessFine = 1,
    FinenessNormal = 2,
};

// Result codes of the expressions.
constexpr JLIB::JResult kOk = 0;
constexpr JLIB::JResult kKindTaken = 0x80000000u;     // add: kind value already has an expression
constexpr JLIB::JResult kBadArgument = 0x80000003u;   // no text, empty range, too few steps
constexpr JLIB::JResult kNoTable = 0x80000004u;       // a search without a table
constexpr JLIB::JResult kOutOfRange = 0x80000005u;    // value outside the range, or of a type not shown
constexpr JLIB::JResult kNoBuffer = 0x80000006u;      // no buffer, or the buffer is too small
constexpr JLIB::JResult kNotSupported = 0x80000007u;  // not offered here, or no buffer for a table text

// Bit of the text flags that asks for the unit after the number; the low 8 bits pick a variant.
constexpr uint16_t kWithUnit = 0x100;

class IExpression {
public:
    // Nearest value the parameter can take.
    [[nodiscard]] virtual JLIB::JResult rounding(JVariant& out, const JVariant& in, const PrmAttribute& attr,
                                                 FinenessOption fineness) const = 0;
    // Moves count increments; one increment is speedToDelta steps.
    [[nodiscard]] virtual JLIB::JResult incDec(JVariant& out, const JVariant& in, const PrmAttribute& attr,
                                               int32_t count, uint32_t speed, FinenessOption fineness) const = 0;
    [[nodiscard]] virtual JLIB::JResult getLength(uint32_t& length, const JVariant& value, const PrmAttribute& attr,
                                                  uint16_t flags) const = 0;
    // length receives the bytes written including the terminator (0 when nothing was printed; the
    // linear expressions report 0 for a copied String value).
    [[nodiscard]] virtual JLIB::JResult toText(char* buffer, uint32_t& length, uint32_t size, const JVariant& value,
                                               const PrmAttribute& attr, uint16_t flags) const = 0;
    [[nodiscard]] virtual JLIB::JResult fromText(JVariant& out, const char* text, uint32_t length,
                                                 const PrmAttribute& attr) const = 0;
    [[nodiscard]] virtual JLIB::JResult toDegree(uint32_t& degree, const JVariant& value,
                                                 const PrmAttribute& attr) const = 0;
    [[nodiscard]] virtual JLIB::JResult fromDegree(JVariant& out, uint32_t degree, const PrmAttribute& attr) const = 0;
    // Position 0..steps-1 on a scale of steps positions.
    [[nodiscard]] virtual JLIB::JResult toRatio(uint32_t& ratio, uint32_t steps, const JVariant& value,
                                                const PrmAttribute& attr) const = 0;
    [[nodiscard]] virtual JLIB::JResult fromRatio(JVariant& out, uint32_t ratio, uint32_t steps,
                                                  const PrmAttribute& attr) const = 0;
    [[nodiscard]] virtual JLIB::JResult toIndicator(ColorFormat* colors, uint32_t count,
                                                    const JVariant& value) const = 0;
    [[nodiscard]] virtual JLIB::JResult toColor(ColorFormat& color, const JVariant& value) const = 0;
    // Entries of an enumeration table; maxLength (optional) receives the longest text.
    [[nodiscard]] virtual JLIB::JResult getTableNum(uint32_t& count, uint32_t* maxLength,
                                                    uint16_t selector) const = 0;
    [[nodiscard]] virtual JLIB::JResult getTableText(char* buffer, uint32_t& length, uint32_t size, uint32_t index,
                                                     uint16_t selector) const = 0;
    [[nodiscard]] virtual JLIB::JResult indexToValue(JVariant& out, uint32_t index, const PrmAttribute& attr) const = 0;
    [[nodiscard]] virtual JLIB::JResult valueToIndex(uint32_t& index, const JVariant& value,
                                                     const PrmAttribute& attr) const = 0;
    // Number of steps of the scale.
    virtual uint32_t getResolution(const PrmAttribute& attr, FinenessOption fineness) const = 0;
    // Steps per increment at a control speed of 1..10.
    virtual uint32_t speedToDelta(const PrmAttribute& attr, uint32_t speed, FinenessOption fineness) const = 0;
    virtual ~IExpression() = 0;
};

inline IExpression::~IExpression() = default;

}  // namespace Expression
