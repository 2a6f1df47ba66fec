#pragma once
// Creates and destroys the arrays of one element type for the table factory. Stateless; any task.
// No virtual destructor: the accessor objects are static and never deleted through this interface.
#include <cstdint>

namespace PARRAY {

class IArray;

class ITypeAccessor {
public:
    // Stores a new Array1D (dimension 1, extent x), Array2D (x, y) or Array3D (x, y, z) in slot;
    // 0 when the object was created, even if its elements could not be set up (it then has none).
    // Another dimension or no memory for the object: 0x80000000 and null in slot.
    [[nodiscard]] virtual uint32_t create(IArray*& slot, uint32_t dimension, uint32_t x, uint32_t y,
                                          uint32_t z) const = 0;
    // Deletes the array in slot and empties it, 0. An empty slot or a dimension other than 1 to 3:
    // 0x80000000, slot left as it was.
    [[nodiscard]] virtual uint32_t destroy(IArray*& slot, uint32_t dimension) const = 0;

protected:
    ~ITypeAccessor() = default;
};

}  // namespace PARRAY
