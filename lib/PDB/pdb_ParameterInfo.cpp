#include "pdb_ParameterInfo.h"

#include "jlib/jlib_cfg.h"
#include "pdb_ParamRawArray.h"

namespace PDB {

namespace {

// One axis: the rule in the high 16 bits applied to N and the component size, in 64 bits.
uint64_t applyPattern(uint32_t pattern, uint32_t componentSize)
{
    const uint64_t n = pattern & 0xFFFFu;
    switch (pattern >> 16) {
    case ParameterInfo::kPatternMultiple:
        return n * componentSize;
    case ParameterInfo::kPatternFraction:
        return (uint64_t(componentSize) + n - 1u) / n;
    default:
        return n;
    }
}

}  // namespace

uint32_t ParameterInfo::clear()
{
    *this = ParameterInfo();
    return 0;
}

bool ParameterInfo::isValid() const
{
    const uint8_t kindNibble = type >> 4;
    const uint8_t widthNibble = type & 0x0F;
    if (kindNibble < 1 || kindNibble > 6) return false;
    if (widthNibble != 0 ? itemSize != widthNibble : itemSize == 0) return false;
    if (numX == 0 || numY == 0) return false;
    // A shape past 32 bits would index outside its storage.
    const uint64_t count = uint64_t(numX) * numY;
    return count <= 0xFFFFFFFFu && calcTotalSizeWide(type, itemSize, uint32_t(count)) <= 0xFFFFFFFFu;
}

uint32_t ParameterInfo::dataSize() const
{
    const uint64_t count = uint64_t(numX) * numY;
    if (count > 0xFFFFFFFFu) return 0;
    return calcTotalSize(type, itemSize, uint32_t(count));
}

JLIB::JResult ParameterInfo::refreshXY(uint32_t componentX, uint32_t componentY)
{
    numX = 0;
    numY = 0;
    if ((patternX & 0xFFFFu) == 0 || (patternY & 0xFFFFu) == 0) return JLIB::kInvalidArgument;
    const uint64_t x = applyPattern(patternX, componentX);
    const uint64_t y = applyPattern(patternY, componentY);
    // Sizes are checked before the product so that it cannot wrap in 64 bits either.
    const bool fits = x <= 0xFFFFFFFFu && y <= 0xFFFFFFFFu && x * y <= 0xFFFFFFFFu &&
                      calcTotalSizeWide(type, itemSize, uint32_t(x * y)) <= 0xFFFFFFFFu;
    if (!fits) {
        JLIB_LOG("[E] ParameterInfo::refreshXY - shape too large. [address=%s, x=%llu, y=%llu]\n",
                 strAddress.c_str(), static_cast<unsigned long long>(x), static_cast<unsigned long long>(y));
        return JLIB::kInvalidArgument;
    }
    numX = uint32_t(x);
    numY = uint32_t(y);
    return JLIB::kOk;
}

}  // namespace PDB
