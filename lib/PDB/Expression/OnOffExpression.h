#pragma once
// Two-state expression: the minimum reads "OFF", the maximum "ON". Immutable: any task may call.
#include "PDB/Expression/DefaultExpression.h"

namespace Expression {

class OnOffExpression : public DefaultExpression {
public:
    OnOffExpression();

    // The length counts the terminator ("OFF" gives 4); another value gives 0x80000005; a buffer
    // below 4 bytes 0x80000007.
    [[nodiscard]] JLIB::JResult toText(char* buffer, uint32_t& length, uint32_t size, const JVariant& value,
                                       const PrmAttribute& attr, uint16_t flags) const override;
    // "OFF"/"0" give Int32 0 and "ON"/"1" Int32 1 in any letter case, whatever the range.
    [[nodiscard]] JLIB::JResult fromText(JVariant& out, const char* text, uint32_t length,
                                         const PrmAttribute& attr) const override;
};

}  // namespace Expression
