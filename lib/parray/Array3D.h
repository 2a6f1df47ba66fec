#pragma once
// Three-dimensional typed array: X planes of Y rows of Z elements of T, row-major (element
// (x, y, z) at x * (Y * Z) + y * Z + z), zero-filled when the array allocates it. No lock: used by
// whichever task the owner of its table lets in.
// A copy owns its elements (none when the source has none or no memory was had); a move hands
// them over, the source keeping its pointer and lengths but no longer freeing them.
#include <cstdint>

#include "parray/IArray.h"
#include "parray/internal/ArrayStorage.h"

namespace PARRAY {

template <typename T>
class Array3D : public internal::ArrayStorage<T, internal::Shape3D> {
public:
    Array3D();
    // Sets up x by y by z elements; a failure leaves the array without elements (isValid false).
    Array3D(uint32_t x, uint32_t y, uint32_t z);

    // 0x80000000 for an extent 0, a byte size beyond 32 bits or no memory; the array then has no
    // elements.
    [[nodiscard]] uint32_t initialize(uint32_t x, uint32_t y, uint32_t z);
    // Uses memory in place, keeping its content; the array never frees it. 0x80000000 for null
    // memory, an extent 0, or byteLength below x * y * z elements; the array then has no elements.
    [[nodiscard]] uint32_t initializeWithExistMemory(void* memory, uint32_t byteLength, uint32_t x, uint32_t y,
                                                     uint32_t z);

    bool checkRange(uint32_t x, uint32_t y, uint32_t z) const;
    // Out of range: the non-const form resets gDummy to 0 and returns it, the const form returns
    // gDummy as it is.
    T& at(uint32_t x, uint32_t y, uint32_t z);
    const T& at(uint32_t x, uint32_t y, uint32_t z) const;

    uint32_t pos(uint32_t x, uint32_t y, uint32_t z) const override;
    // "{\n\t{\n\t\t{ 1, 2 },\n\t\t{ 3, 4 }\n\t}\n}\n" for one plane; "null\n" without elements.
    uint32_t print() const override;

    // Stands in for an element out of range; shared by every array of this class.
    static T gDummy;
};

template <typename T>
T Array3D<T>::gDummy{};

extern template class Array3D<uint32_t>;
extern template class Array3D<uint16_t>;
extern template class Array3D<uint8_t>;
extern template class Array3D<int32_t>;
extern template class Array3D<int16_t>;
extern template class Array3D<int8_t>;
extern template class Array3D<float>;
extern template class Array3D<double>;

}  // namespace PARRAY
