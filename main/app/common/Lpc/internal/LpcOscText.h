#pragma once
// How the OSC parameter space shows one value as text, for its own unit and its tests only.
#include <cstdint>

#include "jlib/JVariant.h"

namespace LPC {
class IExpression;
}

namespace LPC::internal {

// Fills the zero-filled buffer of size bytes: through the expression when there is one (a value
// it cannot show leaves the buffer as it is), else by value type: integer "%d", float "%.2f",
// any other type the value's text, "" for a value that holds no text.
void formatOscText(char* buffer, uint32_t size, const IExpression* expression, int32_t valueType,
                   const JVariant& value);

}  // namespace LPC::internal
