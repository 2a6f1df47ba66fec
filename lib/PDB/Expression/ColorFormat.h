#pragma once
// One indicator colour: four 8-bit components, all off or all on.
#include <cstdint>

namespace Expression {

struct ColorFormat {
    uint8_t component[4] = {0, 0, 0, 0};

    void clear() { component[0] = component[1] = component[2] = component[3] = 0; }
    void light() { component[0] = component[1] = component[2] = component[3] = 0xFF; }
};

}  // namespace Expression
