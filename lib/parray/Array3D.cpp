#include "parray/Array3D.h"

#include "internal/ArrayElements.h"
#include "jlib/jlib_result.h"

namespace PARRAY {

template <typename T>
Array3D<T>::Array3D() = default;

template <typename T>
Array3D<T>::Array3D(uint32_t x, uint32_t y, uint32_t z)
{
    (void)initialize(x, y, z);  // a failure leaves no elements, which isValid reports
}

template <typename T>
uint32_t Array3D<T>::initialize(uint32_t x, uint32_t y, uint32_t z)
{
    // y * z fits whenever the count does (it divides it); a refused count ignores the shape.
    return this->allocate(internal::checkedCount<T>(x, y, z), {y * z, z});
}

template <typename T>
uint32_t Array3D<T>::initializeWithExistMemory(void* memory, uint32_t byteLength, uint32_t x, uint32_t y, uint32_t z)
{
    return this->borrow(memory, byteLength, internal::checkedCount<T>(x, y, z), {y * z, z});
}

template <typename T>
bool Array3D<T>::checkRange(uint32_t x, uint32_t y, uint32_t z) const
{
    return z < this->m_shape.numZ && y < this->extent(1) && x < this->extent(0);
}

template <typename T>
uint32_t Array3D<T>::pos(uint32_t x, uint32_t y, uint32_t z) const
{
    return checkRange(x, y, z) ? x * this->m_shape.numYZ + y * this->m_shape.numZ + z : 0;
}

template <typename T>
T& Array3D<T>::at(uint32_t x, uint32_t y, uint32_t z)
{
    if (checkRange(x, y, z)) return this->m_pData[x * this->m_shape.numYZ + y * this->m_shape.numZ + z];
    gDummy = T();
    return gDummy;
}

template <typename T>
const T& Array3D<T>::at(uint32_t x, uint32_t y, uint32_t z) const
{
    return checkRange(x, y, z) ? this->m_pData[x * this->m_shape.numYZ + y * this->m_shape.numZ + z] : gDummy;
}

template <typename T>
uint32_t Array3D<T>::print() const
{
    if (this->m_num == 0) {
        std::fputs("null\n", stdout);
        return JLIB::kOk;
    }
    const uint32_t planes = this->extent(0);
    const uint32_t rows = this->extent(1);
    const uint32_t rowLength = this->m_shape.numZ;
    std::fputs("{\n", stdout);
    for (uint32_t x = 0; x < planes; ++x) {
        std::fputs("\t{\n", stdout);
        for (uint32_t y = 0; y < rows; ++y) {
            std::fputs("\t\t{ ", stdout);
            internal::printRow(this->m_pData + x * this->m_shape.numYZ + y * rowLength, rowLength);
            std::fputs(y + 1 < rows ? "},\n" : "}\n", stdout);
        }
        std::fputs(x + 1 < planes ? "\t},\n" : "\t}\n", stdout);
    }
    std::fputs("}\n", stdout);
    return JLIB::kOk;
}

template class Array3D<uint32_t>;
template class Array3D<uint16_t>;
template class Array3D<uint8_t>;
template class Array3D<int32_t>;
template class Array3D<int16_t>;
template class Array3D<int8_t>;
template class Array3D<float>;
template class Array3D<double>;

}  // namespace PARRAY
