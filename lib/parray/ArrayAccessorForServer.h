#pragma once
// The component manager's handle on one typed array table: builds it from a description table,
// keeps one record per array, reads and writes single elements by array ID and indexes, hands out
// element memory for bulk transfers, and tracks which arrays were written through it.
// No lock: tables are built and released by the task that creates and removes their component;
// element access and dirty flags are plain memory accesses by the tasks the owner lets in.
// Results: 0 success, 0x80000000 failure; nothing is logged.
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

#include "jlib/jlib_result.h"
#include "parray/ArrayInfo.h"

namespace PARRAY {

class IArray;

class ArrayAccessorForServer {
public:
    struct ArrayInfoCache {
        uint32_t type = kTypeCount;  // kTypeCount: no valid type
        uint32_t dimension = 0;
        uint32_t sizeX = 0;  // decoded element counts of the three size words
        uint32_t sizeY = 0;
        uint32_t sizeZ = 0;
        IArray* array = nullptr;  // owned by the table block
        bool dirty = false;
    };

    // The extension information of an ID beyond the table: an empty text.
    static constexpr char nullExtInfo[16] = {};

    ArrayAccessorForServer();
    // A copy holds a table of its own with the same descriptions, elements and dirty flags (empty
    // when no memory was had), so that each accessor releases only what it built.
    ArrayAccessorForServer(const ArrayAccessorForServer& other);
    ArrayAccessorForServer& operator=(const ArrayAccessorForServer& other);
    virtual ~ArrayAccessorForServer();

    // Builds the table (see createArrayTable). infos is not copied: its supplier keeps it alive
    // while the accessor holds the table. A null infos or count 0 is refused and the table held
    // stays; otherwise the held table is released first, and a failed build leaves the accessor
    // empty.
    [[nodiscard]] uint32_t initialize(const ArrayInfo* infos, uint32_t count, uint32_t numX, uint32_t numY);
    // Releases the table and empties the accessor. Always 0.
    uint32_t finalize();

    // Writable element memory of the array and its byte size. Both are set to null and 0 before
    // anything else, so a caller that ignores the result sees an empty range on failure. Writes
    // through the pointer leave the dirty flags alone.
    [[nodiscard]] uint32_t getArrayPointer(void*& data, uint32_t& size, uint32_t id) const;

    // Writes one element as T at the array's position of (x, y, z) (position 0 when out of range)
    // and marks the array dirty. T is not checked against the array's type code. Refused, nothing
    // written: an ID out of range, an array without element memory, or a position whose T runs
    // past the array's bytes.
    template <typename T>
    [[nodiscard]] uint32_t setParam(uint32_t id, uint32_t x, uint32_t y, uint32_t z, T value);
    // Reads one element as T; gDummy<T> (0) where setParam would refuse.
    template <typename T>
    const T& getParam(uint32_t id, uint32_t x, uint32_t y, uint32_t z) const;

    bool hasDirty() const;
    // The array's dirty flag before the call, which clears it; false for an ID out of range.
    bool hasArrayDirty(uint32_t id);
    // Collects the next dirty array at or after id: 0 with id on it, its flag cleared; otherwise
    // 0x80000000 with id at arrayIDNum (or left where it was when it started beyond).
    [[nodiscard]] uint32_t checkNextDirty(uint32_t& id);

    uint32_t arrayIDNum() const;
    // The description table given to initialize; null when no table is held.
    const ArrayInfo* arrayInfoTable() const;
    // The 16-byte extension information of the array's description; nullExtInfo beyond the table.
    const char* getExtInfo(uint32_t id) const;

    // Read by getParam where there is no element; 0.
    template <typename T>
    static constexpr T gDummy = T();

private:
    // The element's address when a T at position (x, y, z) lies within the array's bytes.
    void* elementAt(uint32_t id, uint32_t x, uint32_t y, uint32_t z, uint32_t width) const;
    void markDirty(uint32_t id);

    void* m_pTable = nullptr;
    const ArrayInfo* m_pInfoTable = nullptr;  // kept alive by the supplier, see initialize
    std::vector<ArrayInfoCache> m_records;
    uint32_t m_dirtyCount = 0;
    uint32_t m_numX = 0;  // what the table was built with, for copies
    uint32_t m_numY = 0;
};

template <typename T>
uint32_t ArrayAccessorForServer::setParam(uint32_t id, uint32_t x, uint32_t y, uint32_t z, T value)
{
    static_assert(std::is_same_v<T, uint32_t> || std::is_same_v<T, int32_t> || std::is_same_v<T, float> ||
                      std::is_same_v<T, double>,
                  "setParam writes unsigned or signed 32-bit, float or double elements");
    void* element = elementAt(id, x, y, z, sizeof(T));
    if (!element) return JLIB::kFailed;
    std::memcpy(element, &value, sizeof(T));
    markDirty(id);
    return JLIB::kOk;
}

template <typename T>
const T& ArrayAccessorForServer::getParam(uint32_t id, uint32_t x, uint32_t y, uint32_t z) const
{
    static_assert(std::is_same_v<T, uint32_t> || std::is_same_v<T, int32_t> || std::is_same_v<T, float> ||
                      std::is_same_v<T, uint8_t> || std::is_same_v<T, double>,
                  "getParam reads unsigned or signed 32-bit, float, unsigned 8-bit or double elements");
    const void* element = elementAt(id, x, y, z, sizeof(T));
    if (!element) return gDummy<T>;
    return *static_cast<const T*>(element);
}

}  // namespace PARRAY
