#include "parray/TypeAccessor.h"

#include <new>

#include "jlib/jlib_result.h"
#include "parray/Array1D.h"
#include "parray/Array2D.h"
#include "parray/Array3D.h"

namespace PARRAY {

template <typename T>
uint32_t TypeAccessor<T>::create(IArray*& slot, uint32_t dimension, uint32_t x, uint32_t y, uint32_t z) const
{
    switch (dimension) {
    case 1: slot = new (std::nothrow) Array1D<T>(x); break;
    case 2: slot = new (std::nothrow) Array2D<T>(x, y); break;
    case 3: slot = new (std::nothrow) Array3D<T>(x, y, z); break;
    default: slot = nullptr; break;
    }
    return slot ? JLIB::kOk : JLIB::kFailed;
}

template <typename T>
uint32_t TypeAccessor<T>::destroy(IArray*& slot, uint32_t dimension) const
{
    if (!slot || dimension < 1 || dimension > 3) return JLIB::kFailed;
    delete slot;  // the virtual destructor knows the shape
    slot = nullptr;
    return JLIB::kOk;
}

template class TypeAccessor<uint32_t>;
template class TypeAccessor<uint16_t>;
template class TypeAccessor<uint8_t>;
template class TypeAccessor<int32_t>;
template class TypeAccessor<int16_t>;
template class TypeAccessor<int8_t>;
template class TypeAccessor<float>;
template class TypeAccessor<double>;

const TypeAccessor<uint32_t> gAccessorUINT32;
const TypeAccessor<uint16_t> gAccessorUINT16;
const TypeAccessor<uint8_t> gAccessorUINT8;
const TypeAccessor<int32_t> gAccessorSINT32;
const TypeAccessor<int16_t> gAccessorSINT16;
const TypeAccessor<int8_t> gAccessorSINT8;
const TypeAccessor<float> gAccessorFLOAT;
const TypeAccessor<double> gAccessorDOUBLE;

constinit const AccessorTableEntry gAccessorTable[kTypeCount] = {
    {kTypeUINT32, &gAccessorUINT32}, {kTypeUINT16, &gAccessorUINT16}, {kTypeUINT8, &gAccessorUINT8},
    {kTypeSINT32, &gAccessorSINT32}, {kTypeSINT16, &gAccessorSINT16}, {kTypeSINT8, &gAccessorSINT8},
    {kTypeFLOAT, &gAccessorFLOAT},   {kTypeDOUBLE, &gAccessorDOUBLE},
};

}  // namespace PARRAY
