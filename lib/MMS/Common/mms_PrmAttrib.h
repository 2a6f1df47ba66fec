#pragma once
// Every attribute of one parameter at once, as getPrmAttrib fills it. Values that are not set (and
// a string's minimum and step) stay invalid; unit and name format keep at most 3 characters.
#include <cstdint>

#include "jlib/JVariant.h"

namespace MMS {

struct T_PRM_ATTRIB {
    uint32_t type = 0;
    JVariant minimum;
    JVariant maximum;
    JVariant defaultValue;
    JVariant step;
    JVariant nominal;
    uint32_t unitSize = 0;
    char unit[4] = {};
    uint32_t scaling = 0;
    uint32_t kind = 0;
    uint32_t nameFormatSize = 0;
    char nameFormat[4] = {};
};

}  // namespace MMS
