#include "parray/Array1D.h"

#include "internal/ArrayElements.h"
#include "jlib/jlib_result.h"

namespace PARRAY {

template <typename T>
Array1D<T>::Array1D() = default;

template <typename T>
Array1D<T>::Array1D(uint32_t x)
{
    (void)initialize(x);  // a failure leaves no elements, which isValid reports
}

template <typename T>
Array1D<T>::Array1D(const Array1D& other)
{
    *this = other;
}

template <typename T>
Array1D<T>::Array1D(Array1D&& other) noexcept : m_pData(other.m_pData), m_num(other.m_num), m_owner(other.m_owner)
{
    other.m_owner = false;
}

template <typename T>
Array1D<T>::~Array1D()
{
    clear();
}

template <typename T>
Array1D<T>& Array1D<T>::operator=(const Array1D& other)
{
    if (&other == this) return *this;
    // Copied before clearing: the source may share this array's memory (a moved-from array
    // keeps its pointer).
    T* copy = internal::duplicateElements(other.m_pData, other.m_num);
    clear();
    if (!copy) return *this;
    m_pData = copy;
    m_num = other.m_num;
    m_owner = true;
    return *this;
}

template <typename T>
uint32_t Array1D<T>::initialize(uint32_t x)
{
    clear();
    const uint32_t count = internal::checkedCount<T>(x);
    if (count == 0) return JLIB::kFailed;
    T* elements = internal::newZeroedElements<T>(count);
    if (!elements) return JLIB::kFailed;
    m_pData = elements;
    m_num = count;
    m_owner = true;
    return JLIB::kOk;
}

template <typename T>
uint32_t Array1D<T>::initializeWithExistMemory(void* memory, uint32_t byteLength, uint32_t x)
{
    clear();
    const uint32_t count = internal::checkedCount<T>(x);
    if (!memory || count == 0 || byteLength < count * sizeof(T)) return JLIB::kFailed;
    m_pData = static_cast<T*>(memory);
    m_num = count;
    return JLIB::kOk;
}

template <typename T>
uint32_t Array1D<T>::clear()
{
    if (m_owner) delete[] m_pData;
    m_pData = nullptr;
    m_num = 0;
    m_owner = false;
    return JLIB::kOk;
}

template <typename T>
bool Array1D<T>::checkRange(uint32_t x) const
{
    return x < m_num;
}

template <typename T>
uint32_t Array1D<T>::pos(uint32_t x) const
{
    return checkRange(x) ? x : 0;
}

template <typename T>
T& Array1D<T>::at(uint32_t x)
{
    if (checkRange(x)) return m_pData[x];
    gDummy = T();
    return gDummy;
}

template <typename T>
const T& Array1D<T>::at(uint32_t x) const
{
    return checkRange(x) ? m_pData[x] : gDummy;
}

template <typename T>
void* Array1D<T>::dataPtr()
{
    return m_pData;
}

template <typename T>
const void* Array1D<T>::dataPtr() const
{
    return m_pData;
}

template <typename T>
uint32_t Array1D<T>::totalSize() const
{
    return m_num * static_cast<uint32_t>(sizeof(T));
}

template <typename T>
uint32_t Array1D<T>::totalNum() const
{
    return m_num;
}

template <typename T>
uint32_t Array1D<T>::dimension() const
{
    return 1;
}

template <typename T>
uint32_t Array1D<T>::num(uint32_t axis) const
{
    return axis == 0 ? m_num : 0;
}

template <typename T>
bool Array1D<T>::isValid() const
{
    return m_pData != nullptr;
}

template <typename T>
uint32_t Array1D<T>::pos(uint32_t x, uint32_t, uint32_t) const
{
    return pos(x);
}

template <typename T>
uint32_t Array1D<T>::copy(const IArray& source)
{
    internal::copyRaw(m_pData, totalSize(), source);
    return JLIB::kOk;
}

template <typename T>
uint32_t Array1D<T>::print() const
{
    std::fputs("{ ", stdout);
    internal::printRow(m_pData, m_num);
    std::fputs("}\n", stdout);
    return JLIB::kOk;
}

template class Array1D<uint32_t>;
template class Array1D<uint16_t>;
template class Array1D<uint8_t>;
template class Array1D<int32_t>;
template class Array1D<int16_t>;
template class Array1D<int8_t>;
template class Array1D<float>;
template class Array1D<double>;

}  // namespace PARRAY
