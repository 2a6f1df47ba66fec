#pragma once
// One logic port as a component library describes it: the engine builds the records, the
// library's logic control object fills them. A plain value (move-only like its variant values).
#include <cstdint>

#include "dravo/common/dravo_VariantType.h"

namespace DRAVO {

struct LogicPortInfo_V1 {
    static constexpr uint32_t kNameSize = 49;
    static constexpr uint32_t kExpressionNameSize = 17;

    // Both texts start empty; type 0 and the limits invalid.
    LogicPortInfo_V1() : name(kNameSize), expressionName(kExpressionNameSize)
    {
        (void)name.setString("");  // fits whenever the buffer exists
        (void)expressionName.setString("");
    }

    VariantType name;
    uint32_t type = 0;  // logic data kind, 1 to 8
    VariantType expressionName;
    VariantType min;  // a number: no buffer
    VariantType max;
};

}  // namespace DRAVO
