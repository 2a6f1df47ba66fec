#include "parray/Array2D.h"

#include "internal/ArrayElements.h"
#include "jlib/jlib_result.h"

namespace PARRAY {

template <typename T>
Array2D<T>::Array2D() = default;

template <typename T>
Array2D<T>::Array2D(uint32_t x, uint32_t y)
{
    (void)initialize(x, y);  // a failure leaves no elements, which isValid reports
}

template <typename T>
uint32_t Array2D<T>::initialize(uint32_t x, uint32_t y)
{
    return this->allocate(internal::checkedCount<T>(x, y), {y});
}

template <typename T>
uint32_t Array2D<T>::initializeWithExistMemory(void* memory, uint32_t byteLength, uint32_t x, uint32_t y)
{
    return this->borrow(memory, byteLength, internal::checkedCount<T>(x, y), {y});
}

template <typename T>
bool Array2D<T>::checkRange(uint32_t x, uint32_t y) const
{
    return y < this->m_shape.numY && x < this->extent(0);
}

template <typename T>
uint32_t Array2D<T>::pos(uint32_t x, uint32_t y) const
{
    return checkRange(x, y) ? x * this->m_shape.numY + y : 0;
}

template <typename T>
T& Array2D<T>::at(uint32_t x, uint32_t y)
{
    if (checkRange(x, y)) return this->m_pData[x * this->m_shape.numY + y];
    gDummy = T();
    return gDummy;
}

template <typename T>
const T& Array2D<T>::at(uint32_t x, uint32_t y) const
{
    return checkRange(x, y) ? this->m_pData[x * this->m_shape.numY + y] : gDummy;
}

template <typename T>
uint32_t Array2D<T>::pos(uint32_t x, uint32_t y, uint32_t) const
{
    return pos(x, y);
}

template <typename T>
uint32_t Array2D<T>::print() const
{
    if (this->m_num == 0) {
        std::fputs("null\n", stdout);
        return JLIB::kOk;
    }
    const uint32_t rows = this->extent(0);
    const uint32_t rowLength = this->m_shape.numY;
    std::fputs("{\n", stdout);
    for (uint32_t x = 0; x < rows; ++x) {
        std::fputs("\t{ ", stdout);
        internal::printRow(this->m_pData + x * rowLength, rowLength);
        std::fputs(x + 1 < rows ? "},\n" : "}\n", stdout);
    }
    std::fputs("}\n", stdout);
    return JLIB::kOk;
}

template class Array2D<uint32_t>;
template class Array2D<uint16_t>;
template class Array2D<uint8_t>;
template class Array2D<int32_t>;
template class Array2D<int16_t>;
template class Array2D<int8_t>;
template class Array2D<float>;
template class Array2D<double>;

}  // namespace PARRAY
