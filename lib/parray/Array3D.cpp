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
Array3D<T>::Array3D(const Array3D& other)
{
    *this = other;
}

template <typename T>
Array3D<T>::Array3D(Array3D&& other) noexcept
    : m_pData(other.m_pData),
      m_num(other.m_num),
      m_numYZ(other.m_numYZ),
      m_numZ(other.m_numZ),
      m_owner(other.m_owner)
{
    other.m_owner = false;
}

template <typename T>
Array3D<T>::~Array3D()
{
    clear();
}

template <typename T>
Array3D<T>& Array3D<T>::operator=(const Array3D& other)
{
    if (&other == this) return *this;
    // Copied before clearing: the source may share this array's memory (a moved-from array
    // keeps its pointer).
    T* copy = internal::duplicateElements(other.m_pData, other.m_num);
    clear();
    if (!copy) return *this;
    m_pData = copy;
    m_num = other.m_num;
    m_numYZ = other.m_numYZ;
    m_numZ = other.m_numZ;
    m_owner = true;
    return *this;
}

template <typename T>
uint32_t Array3D<T>::initialize(uint32_t x, uint32_t y, uint32_t z)
{
    clear();
    const uint32_t count = internal::checkedCount<T>(x, y, z);
    if (count == 0) return JLIB::kFailed;
    T* elements = internal::newZeroedElements<T>(count);
    if (!elements) return JLIB::kFailed;
    m_pData = elements;
    m_num = count;
    m_numYZ = y * z;  // fits: it divides the checked count
    m_numZ = z;
    m_owner = true;
    return JLIB::kOk;
}

template <typename T>
uint32_t Array3D<T>::initializeWithExistMemory(void* memory, uint32_t byteLength, uint32_t x, uint32_t y, uint32_t z)
{
    clear();
    const uint32_t count = internal::checkedCount<T>(x, y, z);
    if (!memory || count == 0 || byteLength < count * sizeof(T)) return JLIB::kFailed;
    m_pData = static_cast<T*>(memory);
    m_num = count;
    m_numYZ = y * z;
    m_numZ = z;
    return JLIB::kOk;
}

template <typename T>
uint32_t Array3D<T>::clear()
{
    if (m_owner) delete[] m_pData;
    m_pData = nullptr;
    m_num = 0;
    m_numYZ = 0;
    m_numZ = 0;
    m_owner = false;
    return JLIB::kOk;
}

template <typename T>
uint32_t Array3D<T>::numX() const
{
    return m_numYZ == 0 ? 0 : m_num / m_numYZ;
}

template <typename T>
uint32_t Array3D<T>::numY() const
{
    return m_numZ == 0 ? 0 : m_numYZ / m_numZ;
}

template <typename T>
bool Array3D<T>::checkRange(uint32_t x, uint32_t y, uint32_t z) const
{
    return z < m_numZ && y < numY() && x < numX();
}

template <typename T>
uint32_t Array3D<T>::pos(uint32_t x, uint32_t y, uint32_t z) const
{
    return checkRange(x, y, z) ? x * m_numYZ + y * m_numZ + z : 0;
}

template <typename T>
T& Array3D<T>::at(uint32_t x, uint32_t y, uint32_t z)
{
    if (checkRange(x, y, z)) return m_pData[x * m_numYZ + y * m_numZ + z];
    gDummy = T();
    return gDummy;
}

template <typename T>
const T& Array3D<T>::at(uint32_t x, uint32_t y, uint32_t z) const
{
    return checkRange(x, y, z) ? m_pData[x * m_numYZ + y * m_numZ + z] : gDummy;
}

template <typename T>
void* Array3D<T>::dataPtr()
{
    return m_pData;
}

template <typename T>
const void* Array3D<T>::dataPtr() const
{
    return m_pData;
}

template <typename T>
uint32_t Array3D<T>::totalSize() const
{
    return m_num * static_cast<uint32_t>(sizeof(T));
}

template <typename T>
uint32_t Array3D<T>::totalNum() const
{
    return m_num;
}

template <typename T>
uint32_t Array3D<T>::dimension() const
{
    return 3;
}

template <typename T>
uint32_t Array3D<T>::num(uint32_t axis) const
{
    switch (axis) {
    case 0: return numX();
    case 1: return numY();
    case 2: return m_numZ;
    default: return 0;
    }
}

template <typename T>
bool Array3D<T>::isValid() const
{
    return m_pData != nullptr;
}

template <typename T>
uint32_t Array3D<T>::copy(const IArray& source)
{
    internal::copyRaw(m_pData, totalSize(), source);
    return JLIB::kOk;
}

template <typename T>
uint32_t Array3D<T>::print() const
{
    if (m_num == 0) {
        std::fputs("null\n", stdout);
        return JLIB::kOk;
    }
    const uint32_t planes = numX();
    const uint32_t rows = numY();
    std::fputs("{\n", stdout);
    for (uint32_t x = 0; x < planes; ++x) {
        std::fputs("\t{\n", stdout);
        for (uint32_t y = 0; y < rows; ++y) {
            std::fputs("\t\t{ ", stdout);
            internal::printRow(m_pData + x * m_numYZ + y * m_numZ, m_numZ);
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
