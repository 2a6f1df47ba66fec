#pragma once
// One-dimensional typed array: X elements of T in one block, zero-filled when the array allocates
// it. No lock: used by whichever task the owner of its table lets in.
// A copy owns its elements (none when the source has none or no memory was had); a move hands
// them over, the source keeping its pointer and lengths but no longer freeing them.
#include <cstdint>

#include "parray/IArray.h"
#include "parray/internal/ArrayStorage.h"

namespace PARRAY {

template <typename T>
class Array1D : public internal::ArrayStorage<T, internal::Shape1D> {
public:
    Array1D();
    // Sets up x elements; a failure leaves the array without elements (isValid false).
    explicit Array1D(uint32_t x);

    // 0x80000000 for x 0, a byte size beyond 32 bits or no memory; the array then has no elements.
    [[nodiscard]] uint32_t initialize(uint32_t x);
    // Uses memory in place, keeping its content; the array never frees it. 0x80000000 for null
    // memory, x 0, or byteLength below x elements; the array then has no elements.
    [[nodiscard]] uint32_t initializeWithExistMemory(void* memory, uint32_t byteLength, uint32_t x);

    bool checkRange(uint32_t x) const;
    uint32_t pos(uint32_t x) const;
    // Out of range: the non-const form resets gDummy to 0 and returns it, the const form returns
    // gDummy as it is.
    T& at(uint32_t x);
    const T& at(uint32_t x) const;

    uint32_t pos(uint32_t x, uint32_t y, uint32_t z) const override;
    // "{ 1, 2, 3 }\n"; "{ }\n" without elements.
    uint32_t print() const override;

    // Stands in for an element out of range; shared by every array of this class.
    static T gDummy;
};

template <typename T>
T Array1D<T>::gDummy{};

extern template class Array1D<uint32_t>;
extern template class Array1D<uint16_t>;
extern template class Array1D<uint8_t>;
extern template class Array1D<int32_t>;
extern template class Array1D<int16_t>;
extern template class Array1D<int8_t>;
extern template class Array1D<float>;
extern template class Array1D<double>;

}  // namespace PARRAY
