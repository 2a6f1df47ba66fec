#pragma once
// The type accessor of each element type, and the table the factory picks them from by type code.
// Stateless and constant; any task.
#include <cstdint>

#include "parray/ArrayInfo.h"
#include "parray/ITypeAccessor.h"

namespace PARRAY {

template <typename T>
class TypeAccessor final : public ITypeAccessor {
public:
    constexpr TypeAccessor() = default;

    [[nodiscard]] uint32_t create(IArray*& slot, uint32_t dimension, uint32_t x, uint32_t y,
                                  uint32_t z) const override;
    [[nodiscard]] uint32_t destroy(IArray*& slot, uint32_t dimension) const override;
};

extern template class TypeAccessor<uint32_t>;
extern template class TypeAccessor<uint16_t>;
extern template class TypeAccessor<uint8_t>;
extern template class TypeAccessor<int32_t>;
extern template class TypeAccessor<int16_t>;
extern template class TypeAccessor<int8_t>;
extern template class TypeAccessor<float>;
extern template class TypeAccessor<double>;

extern const TypeAccessor<uint32_t> gAccessorUINT32;
extern const TypeAccessor<uint16_t> gAccessorUINT16;
extern const TypeAccessor<uint8_t> gAccessorUINT8;
extern const TypeAccessor<int32_t> gAccessorSINT32;
extern const TypeAccessor<int16_t> gAccessorSINT16;
extern const TypeAccessor<int8_t> gAccessorSINT8;
extern const TypeAccessor<float> gAccessorFLOAT;
extern const TypeAccessor<double> gAccessorDOUBLE;

struct AccessorTableEntry {
    uint64_t type;  // equal to the row's index
    const ITypeAccessor* accessor;
};

// Row i serves type code i.
extern const AccessorTableEntry gAccessorTable[kTypeCount];

}  // namespace PARRAY
