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
uint32_t Array1D<T>::initialize(uint32_t x)
{
    return this->allocate(internal::checkedCount<T>(x), {});
}

template <typename T>
uint32_t Array1D<T>::initializeWithExistMemory(void* memory, uint32_t byteLength, uint32_t x)
{
    return this->borrow(memory, byteLength, internal::checkedCount<T>(x), {});
}

template <typename T>
bool Array1D<T>::checkRange(uint32_t x) const
{
    return x < this->m_num;
}

template <typename T>
uint32_t Array1D<T>::pos(uint32_t x) const
{
    return checkRange(x) ? x : 0;
}

template <typename T>
T& Array1D<T>::at(uint32_t x)
{
    if (checkRange(x)) return this->m_pData[x];
    gDummy = T();
    return gDummy;
}

template <typename T>
const T& Array1D<T>::at(uint32_t x) const
{
    return checkRange(x) ? this->m_pData[x] : gDummy;
}

template <typename T>
uint32_t Array1D<T>::pos(uint32_t x, uint32_t, uint32_t) const
{
    return pos(x);
}

template <typename T>
uint32_t Array1D<T>::print() const
{
    std::fputs("{ ", stdout);
    internal::printRow(this->m_pData, this->m_num);
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
