#pragma once
// Two-dimensional typed array: X rows of Y elements of T, row-major (element (x, y) at x * Y + y),
// zero-filled when the array allocates it. No lock: used by whichever task the owner of its table
// lets in.
#include <cstdint>

#include "parray/IArray.h"

namespace PARRAY {

template <typename T>
class Array2D : public IArray {
public:
    Array2D();
    // Sets up x by y elements; a failure leaves the array without elements (isValid false).
    Array2D(uint32_t x, uint32_t y);
    Array2D(const Array2D& other);
    // Takes over the elements and their ownership; the source keeps its pointer and lengths but
    // no longer frees them.
    Array2D(Array2D&& other) noexcept;
    ~Array2D() override;
    // An owned copy of the source's elements; without elements when the source has none or no
    // memory was had.
    Array2D& operator=(const Array2D& other);

    // 0x80000000 for an extent 0, a byte size beyond 32 bits or no memory; the array then has no
    // elements.
    [[nodiscard]] uint32_t initialize(uint32_t x, uint32_t y);
    // Uses memory in place, keeping its content; the array never frees it. 0x80000000 for null
    // memory, an extent 0, or byteLength below x * y elements; the array then has no elements.
    [[nodiscard]] uint32_t initializeWithExistMemory(void* memory, uint32_t byteLength, uint32_t x, uint32_t y);
    // Frees owned elements; the array has none afterwards. Always 0.
    uint32_t clear();

    bool checkRange(uint32_t x, uint32_t y) const;
    uint32_t pos(uint32_t x, uint32_t y) const;
    // Out of range: the non-const form resets gDummy to 0 and returns it, the const form returns
    // gDummy as it is.
    T& at(uint32_t x, uint32_t y);
    const T& at(uint32_t x, uint32_t y) const;

    void* dataPtr() override;
    const void* dataPtr() const override;
    uint32_t totalSize() const override;
    uint32_t totalNum() const override;
    uint32_t dimension() const override;
    uint32_t num(uint32_t axis) const override;
    bool isValid() const override;
    uint32_t pos(uint32_t x, uint32_t y, uint32_t z) const override;
    uint32_t copy(const IArray& source) override;
    // "{\n\t{ 1, 2 },\n\t{ 3, 4 }\n}\n"; "null\n" without elements.
    uint32_t print() const override;

    // Stands in for an element out of range; shared by every array of this class.
    static T gDummy;

private:
    uint32_t numX() const;

    T* m_pData = nullptr;
    uint32_t m_num = 0;   // X * Y
    uint32_t m_numY = 0;  // row length
    bool m_owner = false;
};

template <typename T>
T Array2D<T>::gDummy{};

extern template class Array2D<uint32_t>;
extern template class Array2D<uint16_t>;
extern template class Array2D<uint8_t>;
extern template class Array2D<int32_t>;
extern template class Array2D<int16_t>;
extern template class Array2D<int8_t>;
extern template class Array2D<float>;
extern template class Array2D<double>;

}  // namespace PARRAY
