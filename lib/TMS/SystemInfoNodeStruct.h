#pragma once
// One declaration row of a shared system parameter. The texts are borrowed by every table that
// declares the row and must outlive them.
#include <cstdint>

namespace TMS {

struct SystemInfoNodeStruct {
    const char* name;
    uint32_t num;       // element count
    uint32_t reserved;  // compared with the other attributes, no further meaning
    uint32_t type;      // 1 signed, 2 unsigned, 3 text
    const char* min;    // number text; unused for text
    const char* max;    // number text; for text the maximum length
    const char* def;    // initial value
};

}  // namespace TMS
