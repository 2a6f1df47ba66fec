#pragma once
// The element block of a typed array and the IArray operations every shape answers alike; Array1D,
// Array2D and Array3D derive from it and add their indexing. Not for other modules.
// It adds no virtual function, so the shapes keep IArray's slot order.
#include <cstdint>

#include "jlib/jlib_result.h"
#include "parray/IArray.h"
#include "parray/internal/ArrayElements.h"

namespace PARRAY::internal {

// What a shape keeps beside the element count, copied and reset along with the elements, and the
// extents it derives from the two. A shape without elements (count 0) has every extent 0.
struct Shape1D {
    static constexpr uint32_t kDimension = 1;

    uint32_t num(uint32_t axis, uint32_t count) const { return axis == 0 ? count : 0; }
};

struct Shape2D {
    static constexpr uint32_t kDimension = 2;

    uint32_t numX(uint32_t count) const { return numY == 0 ? 0 : count / numY; }
    uint32_t num(uint32_t axis, uint32_t count) const
    {
        switch (axis) {
        case 0: return numX(count);
        case 1: return numY;
        default: return 0;
        }
    }

    uint32_t numY = 0;  // row length
};

struct Shape3D {
    static constexpr uint32_t kDimension = 3;

    uint32_t numX(uint32_t count) const { return numYZ == 0 ? 0 : count / numYZ; }
    uint32_t numY() const { return numZ == 0 ? 0 : numYZ / numZ; }
    uint32_t num(uint32_t axis, uint32_t count) const
    {
        switch (axis) {
        case 0: return numX(count);
        case 1: return numY();
        case 2: return numZ;
        default: return 0;
        }
    }

    uint32_t numYZ = 0;  // plane length
    uint32_t numZ = 0;   // row length
};

template <typename T, typename Shape>
class ArrayStorage : public IArray {
public:
    // Frees owned elements; the array has none afterwards. Always 0.
    uint32_t clear()
    {
        if (m_owner) delete[] m_pData;
        m_pData = nullptr;
        m_num = 0;
        m_shape = Shape();
        m_owner = false;
        return JLIB::kOk;
    }

    void* dataPtr() override { return m_pData; }
    const void* dataPtr() const override { return m_pData; }
    uint32_t totalSize() const override { return m_num * static_cast<uint32_t>(sizeof(T)); }
    uint32_t totalNum() const override { return m_num; }
    uint32_t dimension() const override { return Shape::kDimension; }
    uint32_t num(uint32_t axis) const override { return extent(axis); }
    bool isValid() const override { return m_pData != nullptr; }
    uint32_t copy(const IArray& source) override
    {
        copyRaw(m_pData, totalSize(), source);
        return JLIB::kOk;
    }

protected:
    ArrayStorage() = default;
    ArrayStorage(const ArrayStorage& other) : IArray() { *this = other; }
    // The source keeps its pointer, count and shape but no longer frees the elements.
    ArrayStorage(ArrayStorage&& other) noexcept
        : IArray(), m_pData(other.m_pData), m_num(other.m_num), m_shape(other.m_shape), m_owner(other.m_owner)
    {
        other.m_owner = false;
    }
    ~ArrayStorage() override { clear(); }

    ArrayStorage& operator=(const ArrayStorage& other)
    {
        if (&other == this) return *this;
        // Copied before clearing: the source may share this array's memory (a moved-from array
        // keeps its pointer).
        T* copy = duplicateElements(other.m_pData, other.m_num);
        clear();
        if (!copy) return *this;
        set(copy, other.m_num, other.m_shape, true);
        return *this;
    }

    // count zero-filled elements of its own; count comes from checkedCount, 0 for refused extents.
    // 0x80000000 for count 0 or no memory, the array then has no elements.
    [[nodiscard]] uint32_t allocate(uint32_t count, const Shape& shape)
    {
        clear();
        if (count == 0) return JLIB::kFailed;
        T* elements = newZeroedElements<T>(count);
        if (!elements) return JLIB::kFailed;
        set(elements, count, shape, true);
        return JLIB::kOk;
    }

    // The caller's memory, never freed here. 0x80000000 for null memory, count 0 or byteLength
    // below count elements; the array then has no elements.
    [[nodiscard]] uint32_t borrow(void* memory, uint32_t byteLength, uint32_t count, const Shape& shape)
    {
        clear();
        if (!memory || count == 0 || byteLength < count * sizeof(T)) return JLIB::kFailed;
        set(static_cast<T*>(memory), count, shape, false);
        return JLIB::kOk;
    }

    // What num answers, without the virtual call.
    uint32_t extent(uint32_t axis) const { return m_shape.num(axis, m_num); }

    T* m_pData = nullptr;
    uint32_t m_num = 0;  // product of the extents
    Shape m_shape;

private:
    void set(T* elements, uint32_t count, const Shape& shape, bool owner)
    {
        m_pData = elements;
        m_num = count;
        m_shape = shape;
        m_owner = owner;
    }

    bool m_owner = false;
};

}  // namespace PARRAY::internal
