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
Array2D<T>::Array2D(const Array2D& other)
{
    *this = other;
}

template <typename T>
Array2D<T>::Array2D(Array2D&& other) noexcept
    : m_pData(other.m_pData), m_num(other.m_num), m_numY(other.m_numY), m_owner(other.m_owner)
{
    other.m_owner = false;
}

template <typename T>
Array2D<T>::~Array2D()
{
    clear();
}

template <typename T>
Array2D<T>& Array2D<T>::operator=(const Array2D& other)
{
    if (&other == this) return *this;
    // Copied before clearing: the source may share this array's memory (a moved-from array
    // keeps its pointer).
    T* copy = internal::duplicateElements(other.m_pData, other.m_num);
    clear();
    if (!copy) return *this;
    m_pData = copy;
    m_num = other.m_num;
    m_numY = other.m_numY;
    m_owner = true;
    return *this;
}

template <typename T>
uint32_t Array2D<T>::initialize(uint32_t x, uint32_t y)
{
    clear();
    const uint32_t count = internal::checkedCount<T>(x, y);
    if (count == 0) return JLIB::kFailed;
    T* elements = internal::newZeroedElements<T>(count);
    if (!elements) return JLIB::kFailed;
    m_pData = elements;
    m_num = count;
    m_numY = y;
    m_owner = true;
    return JLIB::kOk;
}

template <typename T>
uint32_t Array2D<T>::initializeWithExistMemory(void* memory, uint32_t byteLength, uint32_t x, uint32_t y)
{
    clear();
    const uint32_t count = internal::checkedCount<T>(x, y);
    if (!memory || count == 0 || byteLength < count * sizeof(T)) return JLIB::kFailed;
    m_pData = static_cast<T*>(memory);
    m_num = count;
    m_numY = y;
    return JLIB::kOk;
}

template <typename T>
uint32_t Array2D<T>::clear()
{
    if (m_owner) delete[] m_pData;
    m_pData = nullptr;
    m_num = 0;
    m_numY = 0;
    m_owner = false;
    return JLIB::kOk;
}

template <typename T>
uint32_t Array2D<T>::numX() const
{
    return m_numY == 0 ? 0 : m_num / m_numY;
}

template <typename T>
bool Array2D<T>::checkRange(uint32_t x, uint32_t y) const
{
    return y < m_numY && x < numX();
}

template <typename T>
uint32_t Array2D<T>::pos(uint32_t x, uint32_t y) const
{
    return checkRange(x, y) ? x * m_numY + y : 0;
}

template <typename T>
T& Array2D<T>::at(uint32_t x, uint32_t y)
{
    if (checkRange(x, y)) return m_pData[x * m_numY + y];
    gDummy = T();
    return gDummy;
}

template <typename T>
const T& Array2D<T>::at(uint32_t x, uint32_t y) const
{
    return checkRange(x, y) ? m_pData[x * m_numY + y] : gDummy;
}

template <typename T>
void* Array2D<T>::dataPtr()
{
    return m_pData;
}

template <typename T>
const void* Array2D<T>::dataPtr() const
{
    return m_pData;
}

template <typename T>
uint32_t Array2D<T>::totalSize() const
{
    return m_num * static_cast<uint32_t>(sizeof(T));
}

template <typename T>
uint32_t Array2D<T>::totalNum() const
{
    return m_num;
}

template <typename T>
uint32_t Array2D<T>::dimension() const
{
    return 2;
}

template <typename T>
uint32_t Array2D<T>::num(uint32_t axis) const
{
    switch (axis) {
    case 0: return numX();
    case 1: return m_numY;
    default: return 0;
    }
}

template <typename T>
bool Array2D<T>::isValid() const
{
    return m_pData != nullptr;
}

template <typename T>
uint32_t Array2D<T>::pos(uint32_t x, uint32_t y, uint32_t) const
{
    return pos(x, y);
}

template <typename T>
uint32_t Array2D<T>::copy(const IArray& source)
{
    internal::copyRaw(m_pData, totalSize(), source);
    return JLIB::kOk;
}

template <typename T>
uint32_t Array2D<T>::print() const
{
    if (m_num == 0) {
        std::fputs("null\n", stdout);
        return JLIB::kOk;
    }
    const uint32_t rows = numX();
    std::fputs("{\n", stdout);
    for (uint32_t x = 0; x < rows; ++x) {
        std::fputs("\t{ ", stdout);
        internal::printRow(m_pData + x * m_numY, m_numY);
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
