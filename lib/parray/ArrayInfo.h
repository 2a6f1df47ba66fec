#pragma once
// Description of one typed array of a table. Component libraries compile tables of these records
// and hand them over to be read in place, so the 32-byte layout is fixed; host byte order.
#include <cstddef>
#include <cstdint>

namespace PARRAY {

// Element type codes, in the order of gAccessorTable.
constexpr uint32_t kTypeUINT32 = 0;
constexpr uint32_t kTypeUINT16 = 1;
constexpr uint32_t kTypeUINT8 = 2;
constexpr uint32_t kTypeSINT32 = 3;
constexpr uint32_t kTypeSINT16 = 4;
constexpr uint32_t kTypeSINT8 = 5;
constexpr uint32_t kTypeFLOAT = 6;
constexpr uint32_t kTypeDOUBLE = 7;
constexpr uint32_t kTypeCount = 8;  // first code that names no element type

// A size word decodes against the component's numX and numY into an element count:
// bits 0-23 the count n; bits 28-31 the scale (0: n, 1: n * numX, 2: n * numY,
// 3: numX / n rounded up, 4: numY / n rounded up); bits 24-27 the granule k (0: as scaled,
// 1-6: rounded up to a multiple of 2^k). The scale applies first.
struct ArrayInfo {
    uint32_t type;      // element type code, kTypeUINT32 to kTypeDOUBLE
    uint32_t sizeX;     // size word of the first index; 0 makes no array
    uint32_t sizeY;     // size word of the second index; 0 for one dimension
    uint32_t sizeZ;     // size word of the third index; 0 for one or two dimensions
    char extInfo[16];   // name of the quantity ("level", "gr", "raw"), NUL-ended within the 16 bytes
};

static_assert(sizeof(ArrayInfo) == 32, "component libraries compile ArrayInfo tables as 32-byte records");
static_assert(offsetof(ArrayInfo, sizeX) == 4 && offsetof(ArrayInfo, sizeY) == 8 &&
              offsetof(ArrayInfo, sizeZ) == 12 && offsetof(ArrayInfo, extInfo) == 16,
              "component libraries read ArrayInfo fields at fixed offsets");

}  // namespace PARRAY
