// Typed array tables built from fuzzed descriptions and sizes, then written, read, imported,
// copied and released through the accessor and the client-side operations.
// Input: count A, count B, numX/numY for A, numX/numY for B (u32 each), the descriptions
// (type u8, X/Y/Z words u32, one text byte), then operations until the data ends.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "parray/ArrayAccessorForServer.h"
#include "parray/ArrayTable.h"
#include "parray/IArray.h"

namespace {

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool empty() const { return m_pos >= m_size; }
    uint8_t u8() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    uint16_t u16() { return static_cast<uint16_t>(u8() | u8() << 8); }
    uint32_t u32() { return static_cast<uint32_t>(u16()) | static_cast<uint32_t>(u16()) << 16; }
    // Up to length bytes of the rest, as the source of an import.
    const uint8_t* bytes(uint32_t& length)
    {
        const size_t left = m_size - (m_pos < m_size ? m_pos : m_size);
        if (length > left) length = static_cast<uint32_t>(left);
        const uint8_t* at = m_data + (m_size - left);
        m_pos += length;
        return left == 0 ? nullptr : at;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

void check(bool condition)
{
    if (!condition) __builtin_trap();
}

constexpr uint64_t kMaxArrayBytes = 1u << 20;  // keeps one run's memory small

// False when a description would allocate more than the fuzzer should; sizes the factory refuses
// (beyond 32 bits, undefined codes) are fine, they allocate nothing.
bool isAffordable(const std::vector<PARRAY::ArrayInfo>& infos, uint32_t numX, uint32_t numY)
{
    for (const PARRAY::ArrayInfo& info : infos) {
        const uint32_t dimension = PARRAY::_decodeArrayDimension(info);
        const uint32_t words[3] = {info.sizeX, info.sizeY, info.sizeZ};
        static constexpr uint32_t kWidth[PARRAY::kTypeCount] = {4, 2, 1, 4, 2, 1, 4, 8};
        if (info.type >= PARRAY::kTypeCount) continue;  // refused before anything is allocated
        long double bytes = kWidth[info.type];
        for (uint32_t axis = 0; axis < dimension; ++axis) bytes *= PARRAY::_decodeArraySize(words[axis], numX, numY);
        if (bytes > kMaxArrayBytes && bytes <= UINT32_MAX) return false;
    }
    return true;
}

// Element reads through the accessor must land inside what getArrayPointer hands out.
template <typename T>
void readElement(const PARRAY::ArrayAccessorForServer& accessor, uint32_t id, uint32_t x, uint32_t y, uint32_t z)
{
    const T& value = accessor.getParam<T>(id, x, y, z);
    void* data = nullptr;
    uint32_t size = 0;
    if (accessor.getArrayPointer(data, size, id) != 0 || !data) {
        check(&value == &PARRAY::ArrayAccessorForServer::gDummy<T>);
        return;
    }
    const auto* at = reinterpret_cast<const uint8_t*>(&value);
    const auto* begin = static_cast<const uint8_t*>(data);
    check(&value == &PARRAY::ArrayAccessorForServer::gDummy<T> || (at >= begin && at + sizeof(T) <= begin + size));
}

void walkDirty(PARRAY::ArrayAccessorForServer& accessor)
{
    uint32_t id = 0;
    while (id < accessor.arrayIDNum()) {
        if (accessor.checkNextDirty(id) != 0) break;
        void* data = nullptr;
        uint32_t size = 0;
        check(accessor.getArrayPointer(data, size, id) == 0);
    }
    check(!accessor.hasDirty());
}

void release(void*& block, const std::vector<PARRAY::ArrayInfo>& infos)
{
    if (!block) return;
    check(PARRAY::destroyArrayTable(block, infos.data(), static_cast<uint32_t>(infos.size())) == 0);
    block = nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Reader in(data, size);
    const uint32_t countA = in.u8() % 9;
    const uint32_t countB = in.u8() % 9;
    const uint32_t numXA = in.u32(), numYA = in.u32(), numXB = in.u32(), numYB = in.u32();
    std::vector<PARRAY::ArrayInfo> infosA(countA), infosB(countB);
    for (std::vector<PARRAY::ArrayInfo>* infos : {&infosA, &infosB}) {
        for (PARRAY::ArrayInfo& info : *infos) {
            info = PARRAY::ArrayInfo{in.u8(), in.u32(), in.u32(), in.u32(), ""};
            info.extInfo[0] = static_cast<char>(in.u8());
        }
    }
    if (!isAffordable(infosA, numXA, numYA) || !isAffordable(infosA, numXB, numYB) ||
        !isAffordable(infosB, numXB, numYB)) {
        return 0;
    }

    PARRAY::ArrayAccessorForServer accessor;
    const uint32_t built = accessor.initialize(infosA.empty() ? nullptr : infosA.data(), countA, numXA, numYA);
    check(built != 0 || accessor.arrayIDNum() == countA);
    void* blockB = nullptr;
    void* blockC = nullptr;
    uint32_t length = 0;
    if (PARRAY::createArrayTable(blockB, length, infosB.data(), countB, numXB, numYB) == 0) {
        check(length == 8 + 8 * countB && PARRAY::_getArrayIDNum(blockB) == countB);
    } else {
        check(!blockB && length == 0);
    }
    if (PARRAY::createArrayTable(blockC, length, infosA.data(), countA, numXB, numYB) != 0) check(!blockC);

    while (!in.empty()) {
        const uint8_t op = in.u8();
        const uint32_t id = in.u8() % 10;
        const uint32_t x = in.u16(), y = in.u16(), z = in.u16();
        switch (op % 16) {
        case 0: (void)accessor.setParam<uint32_t>(id, x, y, z, in.u32()); break;
        case 1: (void)accessor.setParam<int32_t>(id, x, y, z, static_cast<int32_t>(in.u32())); break;
        case 2: (void)accessor.setParam<float>(id, x, y, z, static_cast<float>(in.u16())); break;
        case 3: (void)accessor.setParam<double>(id, x, y, z, static_cast<double>(in.u32())); break;
        case 4: readElement<uint32_t>(accessor, id, x, y, z); break;
        case 5: readElement<uint8_t>(accessor, id, x, y, z); break;
        case 6: readElement<double>(accessor, id, x, y, z); break;
        case 7: readElement<float>(accessor, id, x, y, z); readElement<int32_t>(accessor, id, x, y, z); break;
        case 8: {
            uint32_t sourceLength = in.u16() % 512;
            const uint8_t* source = in.bytes(sourceLength);
            const uint32_t offset = op & 0x80 ? in.u32() : x;
            (void)PARRAY::importArrayTable(op & 0x40 ? blockC : blockB, id, offset, source, sourceLength);
            break;
        }
        case 9:
            (void)PARRAY::copyArrayTable(blockB, blockC);
            (void)PARRAY::copyArrayTable(blockC, blockB);
            (void)PARRAY::copyArrayTable(blockB, blockB);
            break;
        case 10: {
            const void* elements = nullptr;
            uint32_t bytes = 0;
            if (PARRAY::getArrayPointer(elements, bytes, op & 0x80 ? blockC : blockB, id) != 0) {
                check(!elements && bytes == 0);
            } else if (elements && bytes) {
                volatile uint8_t last = static_cast<const uint8_t*>(elements)[bytes - 1];
                (void)last;
            }
            void* writable = nullptr;
            if (accessor.getArrayPointer(writable, bytes, id) != 0) check(!writable && bytes == 0);
            else if (writable && bytes) static_cast<uint8_t*>(writable)[bytes - 1] ^= 1;
            break;
        }
        case 11: walkDirty(accessor); break;
        case 12: check(std::memchr(accessor.getExtInfo(id), 0, 16) != nullptr); break;
        case 13: {
            PARRAY::IArray* const* slot = PARRAY::_getArrayPointer(static_cast<const void*>(blockB), id);
            if (slot && *slot && (*slot)->totalNum() <= 64) (void)(*slot)->print();
            break;
        }
        case 14:  // rebuilding with B's sizes releases the held table first
            (void)accessor.initialize(infosA.empty() ? nullptr : infosA.data(), countA, numXB, numYB);
            break;
        default: {
            PARRAY::ArrayAccessorForServer copy(accessor);
            check(copy.arrayIDNum() == accessor.arrayIDNum() || copy.arrayIDNum() == 0);
            walkDirty(copy);
            break;
        }
        }
    }
    walkDirty(accessor);
    release(blockB, infosB);
    release(blockC, infosA);
    return 0;
}
