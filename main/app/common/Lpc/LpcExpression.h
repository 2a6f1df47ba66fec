#pragma once
// The three small text forms with which the OSC surface shows and parses device values: on/off
// switches ("OFF", "ON"), levels held in hundredths and delay times held in thousandths of the
// unit shown, both printed with two decimals and read back in whole units. Stateless; any task.
#include <cstdint>

#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"

namespace LPC {

class IExpression {
public:
    virtual ~IExpression() {}
    // Writes the value's text into the buffer, never past size; 0 or 0x80000000.
    [[nodiscard]] virtual uint32_t toText(char* buffer, uint32_t size, const JVariant& value) const = 0;
    // Reads the text into *value; 0 or 0x80000000 (value untouched).
    [[nodiscard]] virtual uint32_t fromText(JVariant* value, const char* text) const = 0;
};

// 0 is "OFF" and 1 is "ON" (cut to the buffer without failing); other numbers and texts (case
// counts) fail.
class OnOffExpression : public IExpression {
public:
    [[nodiscard]] uint32_t toText(char* buffer, uint32_t size, const JVariant& value) const override;
    [[nodiscard]] uint32_t fromText(JVariant* value, const char* text) const override;
};

// "%.2f" of the integer times 0.01; buffers under 6 bytes are refused. Text input: the leading
// whole number times 100 ("-12.75" gives -1200); one that does not fit an Int32 fails.
class LevelExpression : public IExpression {
public:
    [[nodiscard]] uint32_t toText(char* buffer, uint32_t size, const JVariant& value) const override;
    [[nodiscard]] uint32_t fromText(JVariant* value, const char* text) const override;
};

// As the level with the factor 0.001 and 1000.
class DelayTimeExpression : public IExpression {
public:
    [[nodiscard]] uint32_t toText(char* buffer, uint32_t size, const JVariant& value) const override;
    [[nodiscard]] uint32_t fromText(JVariant* value, const char* text) const override;
};

// The shared instances named by the OSC parameter table.
extern const OnOffExpression uzExpression_OnOff;
extern const LevelExpression uzExpression_Level;
extern const DelayTimeExpression uzExpression_DelayTime;

}  // namespace LPC
