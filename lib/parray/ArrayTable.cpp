#include "parray/ArrayTable.h"

#include <cstring>
#include <new>

#include "jlib/jlib_memory.h"
#include "jlib/jlib_result.h"
#include "parray/IArray.h"
#include "parray/TypeAccessor.h"

namespace PARRAY {

namespace {

constexpr uint32_t kHeaderSize = 8;
constexpr uint32_t kSlotSize = 8;
static_assert(sizeof(IArray*) == kSlotSize, "a table slot holds an 8-byte array address");

constexpr uint32_t kCountMask = 0x00FFFFFFu;
constexpr uint32_t kGranuleShift = 24;
constexpr uint32_t kScaleShift = 28;
constexpr uint32_t kMaxScale = 4;
constexpr uint32_t kMaxGranule = 6;  // 64 elements

constexpr uint32_t kElementWidth[kTypeCount] = {4, 2, 1, 4, 2, 1, 4, 8};

bool isTable(const void* block)
{
    // jlib_memcmp answers non-zero for a null block as well.
    return jlib_memcmp(block, gPArrayDataHeaderV1, sizeof(gPArrayDataHeaderV1)) == JLIB_CMP_EQUAL;
}

uint32_t arrayCount(const void* block)
{
    uint32_t count = 0;
    std::memcpy(&count, static_cast<const uint8_t*>(block) + sizeof(gPArrayDataHeaderV1), sizeof(count));
    return count;
}

// Counts in 64 bits so that a large numX, n or granule cannot wrap into a small count.
// false for a scale or granule code that means nothing.
bool decodeWide(uint32_t word, uint32_t numX, uint32_t numY, uint64_t& count)
{
    const uint64_t n = word & kCountMask;
    const uint32_t granule = (word >> kGranuleShift) & 0xFu;
    const uint32_t scale = word >> kScaleShift;
    if (scale > kMaxScale || granule > kMaxGranule) return false;
    switch (scale) {
    case 0: count = n; break;
    case 1: count = n * numX; break;
    case 2: count = n * numY; break;
    // Divided into 0 parts there is nothing: no elements instead of a division by zero.
    case 3: count = n == 0 ? 0 : (numX + n - 1) / n; break;
    default: count = n == 0 ? 0 : (numY + n - 1) / n; break;
    }
    if (granule != 0) {
        const uint64_t step = uint64_t{1} << granule;
        count = (count + step - 1) / step * step;
    }
    return true;
}

// Checks one description completely, so that a refusal happens before anything is allocated.
bool isBuildable(const ArrayInfo& info, uint32_t numX, uint32_t numY)
{
    if (info.type >= kTypeCount) return false;
    const uint32_t dimension = _decodeArrayDimension(info);
    if (dimension == 0) return false;
    const uint32_t words[3] = {info.sizeX, info.sizeY, info.sizeZ};
    uint64_t bytes = kElementWidth[info.type];
    for (uint32_t axis = 0; axis < 3; ++axis) {
        // Every word is decoded and kept by the accessor, used by the shape or not.
        uint64_t count = 0;
        if (!decodeWide(words[axis], numX, numY, count) || count > UINT32_MAX) return false;
        if (axis < dimension) {
            bytes *= count;  // stays below 2^64: each factor was checked against 2^32 and bytes
            if (bytes > UINT32_MAX) return false;
        }
    }
    return true;
}

IArray** slotsOf(void* block)
{
    return reinterpret_cast<IArray**>(static_cast<uint8_t*>(block) + kHeaderSize);
}

IArray* const* slotsOf(const void* block)
{
    return reinterpret_cast<IArray* const*>(static_cast<const uint8_t*>(block) + kHeaderSize);
}

// Deletes the first built arrays and the block of a build that cannot finish.
void discardBlock(void* block, uint32_t built)
{
    IArray** slots = slotsOf(block);
    for (uint32_t i = 0; i < built; ++i) delete slots[i];
    std::memset(block, 0, kHeaderSize);
    ::operator delete(block);
}

}  // namespace

uint32_t createArrayTable(void*& block, uint32_t& length, const ArrayInfo* infos, uint32_t count, uint32_t numX,
                          uint32_t numY)
{
    block = nullptr;
    length = 0;
    if (!infos || count == 0 || numX == 0 || numY == 0) return JLIB::kFailed;
    const uint64_t wideLength = kHeaderSize + uint64_t{kSlotSize} * count;
    if (wideLength > UINT32_MAX) return JLIB::kFailed;
    for (uint32_t i = 0; i < count; ++i) {
        if (!isBuildable(infos[i], numX, numY)) return JLIB::kFailed;
    }

    void* built = ::operator new(static_cast<size_t>(wideLength), std::nothrow);
    if (!built) return JLIB::kFailed;
    std::memset(built, 0, static_cast<size_t>(wideLength));
    std::memcpy(built, gPArrayDataHeaderV1, sizeof(gPArrayDataHeaderV1));
    std::memcpy(static_cast<uint8_t*>(built) + sizeof(gPArrayDataHeaderV1), &count, sizeof(count));

    IArray** slots = slotsOf(built);
    for (uint32_t i = 0; i < count; ++i) {
        const ArrayInfo& info = infos[i];
        const uint32_t result = gAccessorTable[info.type].accessor->create(
            slots[i], _decodeArrayDimension(info), _decodeArraySize(info.sizeX, numX, numY),
            _decodeArraySize(info.sizeY, numX, numY), _decodeArraySize(info.sizeZ, numX, numY));
        if (JLIB::isFailure(result)) {
            discardBlock(built, i);
            return result;
        }
    }
    block = built;
    length = static_cast<uint32_t>(wideLength);
    return JLIB::kOk;
}

uint32_t destroyArrayTable(void* block, const ArrayInfo* infos, uint32_t count)
{
    if (!block || !infos || count == 0 || !isTable(block)) return JLIB::kFailed;
    const uint32_t arrays = arrayCount(block);
    // Descriptions past the end of a short table do not exist: release nothing rather than guess.
    if (count < arrays) return JLIB::kFailed;
    IArray** slots = slotsOf(block);
    // Everything is checked before the first release, so a refusal leaves the table whole and a
    // second call with the right descriptions can still release it.
    for (uint32_t i = 0; i < arrays; ++i) {
        const uint32_t dimension = _decodeArrayDimension(infos[i]);
        if (infos[i].type >= kTypeCount || dimension == 0 || !slots[i]) return JLIB::kFailed;
    }
    for (uint32_t i = 0; i < arrays; ++i) {
        JLIB_RETURN_IF_FAILED(gAccessorTable[infos[i].type].accessor->destroy(slots[i], _decodeArrayDimension(infos[i])));
    }
    std::memset(block, 0, kHeaderSize);
    ::operator delete(block);
    return JLIB::kOk;
}

uint32_t getPArrayDataHeaderSize()
{
    return kHeaderSize;
}

uint32_t _decodeArrayDimension(const ArrayInfo& info)
{
    if (info.sizeX == 0) return 0;
    if (info.sizeY == 0) return 1;
    if (info.sizeZ == 0) return 2;
    return 3;
}

uint32_t _decodeArraySize(uint32_t word, uint32_t numX, uint32_t numY)
{
    uint64_t count = 0;
    if (!decodeWide(word, numX, numY, count) || count > UINT32_MAX) return 0;
    return static_cast<uint32_t>(count);
}

uint32_t _AlignSize(uint32_t value, uint32_t granule)
{
    if (granule == 0) return value;
    const uint64_t aligned = (uint64_t{value} + granule - 1) / granule * granule;
    return aligned > UINT32_MAX ? 0 : static_cast<uint32_t>(aligned);
}

IArray** _getArrayPointer(void* block, uint32_t id)
{
    if (!isTable(block) || id >= arrayCount(block)) return nullptr;
    return slotsOf(block) + id;
}

IArray* const* _getArrayPointer(const void* block, uint32_t id)
{
    if (!isTable(block) || id >= arrayCount(block)) return nullptr;
    return slotsOf(block) + id;
}

IArray** _getArrayTablePointer(void* block)
{
    return isTable(block) ? slotsOf(block) : nullptr;
}

IArray* const* _getArrayTablePointer(const void* block)
{
    return isTable(block) ? slotsOf(block) : nullptr;
}

uint32_t _getArrayIDNum(const void* block)
{
    return isTable(block) ? arrayCount(block) : 0;
}

uint32_t importArrayTable(void* block, uint32_t id, uint32_t offset, const void* source, uint32_t length)
{
    IArray** slot = _getArrayPointer(block, id);
    if (!slot || !*slot) return JLIB::kFailed;
    IArray& array = **slot;
    if (uint64_t{offset} + length > array.totalSize()) return JLIB::kFailed;
    auto* elements = static_cast<uint8_t*>(array.dataPtr());
    if (!elements) return JLIB::kFailed;
    if (JLIB::isFailure(jlib_memcpy(elements + offset, source, length))) return JLIB::kFailed;
    return JLIB::kOk;
}

uint32_t copyArrayTable(void* destination, const void* source)
{
    if (!_getArrayPointer(destination, 0) || !_getArrayPointer(static_cast<const void*>(source), 0)) {
        return JLIB::kFailed;
    }
    const uint32_t sourceCount = arrayCount(source);
    const uint32_t destinationCount = arrayCount(destination);
    const uint32_t common = sourceCount < destinationCount ? sourceCount : destinationCount;
    IArray** to = slotsOf(destination);
    IArray* const* from = slotsOf(source);
    for (uint32_t id = 0; id < common; ++id) {
        if (to[id] && from[id]) (void)to[id]->copy(*from[id]);  // always 0
    }
    return JLIB::kOk;
}

uint32_t getArrayPointer(const void*& data, uint32_t& size, const void* block, uint32_t id)
{
    data = nullptr;
    size = 0;
    IArray* const* slot = _getArrayPointer(block, id);
    if (!slot || !*slot) return JLIB::kFailed;
    const IArray& array = **slot;
    data = array.dataPtr();
    size = array.totalSize();
    return JLIB::kOk;
}

}  // namespace PARRAY
