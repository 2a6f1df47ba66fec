#pragma once
// Definition of one parameter array: address text, element type, shape, limits, default and
// display texts. A plain value copied into every parameter array; guarded by its database's lock.
#include <cstdint>
#include <string>

#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"
#include "pdb_ParameterAttr.h"

namespace PDB {

class ParameterInfo {
public:
    static constexpr const char* kUnknownAddress = "<unknown>";
    // High 16 bits of a size pattern; any other rule is a fixed size of N.
    static constexpr uint32_t kPatternMultiple = 0x1000;
    static constexpr uint32_t kPatternFraction = 0x2000;

    ParameterInfo() = default;

    // Restores every initial value; returns 0.
    uint32_t clear();
    // Known kind (high nibble 1 to 6), itemSize agreeing with the low nibble (or non-zero when
    // the nibble is 0), both sizes non-zero, and a shape whose storage fits in 32 bits.
    bool isValid() const;
    uint32_t totalNum() const { return numX * numY; }
    // Stored bytes of totalNum() elements; 0 for an unknown type code or an oversized shape.
    uint32_t dataSize() const;
    // Recomputes numX and numY from the patterns and the component sizes. 0x80000001 with both
    // sizes 0 for a pattern number of 0 or a shape whose storage does not fit in 32 bits.
    [[nodiscard]] JLIB::JResult refreshXY(uint32_t componentX, uint32_t componentY);

    std::string strAddress = kUnknownAddress;
    uint8_t type = 0;
    ParamAttr attr;
    uint32_t itemSize = 0;
    uint32_t patternX = 1;
    uint32_t patternY = 1;
    std::string commentX;
    std::string commentY;
    uint32_t numX = 0;
    uint32_t numY = 0;
    JVariant min;
    JVariant max;
    JVariant def;
    JVariant nominal;
    JVariant step;
    uint32_t scaling = 1;
    std::string unit;
    std::string kind;
    std::string defUI;
};

}  // namespace PDB
