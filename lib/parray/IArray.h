#pragma once
// A typed array of one to three dimensions seen without its shape or element type.
// Component libraries call these operations through the tables they are handed, so the order of
// the virtual slots is a contract: append nothing, reorder nothing.
#include <cstdint>

namespace PARRAY {

class IArray {
public:
    virtual ~IArray() {}

    // Element memory, null when the array has no elements.
    virtual void* dataPtr() = 0;
    virtual const void* dataPtr() const = 0;
    // Bytes of element memory (element count times the element width).
    virtual uint32_t totalSize() const = 0;
    virtual uint32_t totalNum() const = 0;
    // 1, 2 or 3.
    virtual uint32_t dimension() const = 0;
    // Extent along axis 0, 1 or 2 as the shape has it; 0 for any other axis.
    virtual uint32_t num(uint32_t axis) const = 0;
    virtual bool isValid() const = 0;
    // Storage position of the shape's own indexes (a 1D array ignores y and z, a 2D array z);
    // 0 when they are out of range.
    virtual uint32_t pos(uint32_t x, uint32_t y, uint32_t z) const = 0;
    // Copies the first min(own, source) bytes of the source's element memory as raw bytes, whatever
    // the source's shape and element type; nothing when either side has no elements. Always 0.
    virtual uint32_t copy(const IArray& source) = 0;
    // Writes the elements as text to standard output. Always 0.
    virtual uint32_t print() const = 0;
};

}  // namespace PARRAY
