#include "pdb_ParamRawArrayBool.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace PDB {

using internal::kRawNoMemory;
using internal::kRawNotOffered;
using internal::kRawNotSetUp;
using internal::kRawTypeMismatch;

namespace {

constexpr unsigned kHeapCount = 32;

bool bitOf(const uint8_t* bytes, uint32_t index) { return ((bytes[index >> 3] >> (7u - (index & 7u))) & 1u) != 0; }

}  // namespace

RawArrayBool::RawArrayBool(uint32_t count)
{
    (void)initialize(count);  // a refused count leaves the storage empty, which isValid() shows
}

RawArrayBool::RawArrayBool(const RawArrayBool& other) : IRawArray() { *this = other; }

RawArrayBool& RawArrayBool::operator=(const RawArrayBool& other)
{
    if (this == &other) return *this;
    (void)clear();
    if (!other.isValid()) return *this;
    if (JLIB::isFailure(initialize(other.m_num))) return *this;  // exhausted memory: an empty copy
    std::memcpy(m_block.data(), other.m_block.data(), totalSize());
    return *this;
}

RawArrayBool::RawArrayBool(RawArrayBool&& other) noexcept
    : IRawArray(), m_block(std::move(other.m_block)), m_num(std::exchange(other.m_num, 0u))
{
}

RawArrayBool& RawArrayBool::operator=(RawArrayBool&& other) noexcept
{
    if (this != &other) {
        m_block = std::move(other.m_block);
        m_num = std::exchange(other.m_num, 0u);
    }
    return *this;
}

uint64_t RawArrayBool::storageSize(uint32_t count) { return ((uint64_t(count) + 7u) / 8u + 3u) & ~uint64_t(3); }

JLIB::JResult RawArrayBool::initialize(uint32_t count)
{
    (void)clear();
    if (count == 0 || !m_block.allocate(storageSize(count))) return JLIB::kFailed;
    m_num = count;
    return JLIB::kOk;
}

JLIB::JResult RawArrayBool::initialize(uint32_t count, const void* data, uint32_t length)
{
    JLIB_RETURN_IF_FAILED(initialize(count));
    const uint32_t bytes = length < totalSize() ? length : totalSize();
    if (data && bytes > 0) std::memcpy(m_block.data(), data, bytes);
    return JLIB::kOk;
}

JLIB::JResult RawArrayBool::initializeWithExistMemory(uint32_t count, void* memory, uint32_t length)
{
    (void)clear();
    if (!memory || count == 0 || storageSize(count) > length) return JLIB::kFailed;
    m_block.wrap(memory);
    m_num = count;
    return JLIB::kOk;
}

uint32_t RawArrayBool::clear()
{
    m_block.release();
    m_num = 0;
    return 0;
}

JLIB::JResult RawArrayBool::setBit(uint32_t index, bool on)
{
    uint8_t& byte = m_block.data()[index >> 3];
    const uint8_t mask = uint8_t(1u << (7u - (index & 7u)));
    byte = on ? uint8_t(byte | mask) : uint8_t(byte & ~mask);
    return JLIB::kOk;
}

JLIB::JResult RawArrayBool::getVariant(JVariant& value, uint32_t index) const { return value.setUInt32(bit(index)); }

JLIB::JResult RawArrayBool::getString(uint32_t, char* buffer, uint32_t length) const
{
    if (buffer && length > 0) std::memset(buffer, 0, length);
    return kRawNotOffered;
}

JLIB::JResult RawArrayBool::getBinary(uint32_t, uint8_t* buffer, uint32_t length) const
{
    if (buffer && length > 0) std::memset(buffer, 0, length);
    return kRawNotOffered;
}

JLIB::JResult RawArrayBool::setVariant(uint32_t index, const JVariant& value)
{
    // Only Int32 and UInt32 convert; a Float 1.0 therefore stores 0.
    return setBit(index, value.toUInt32() != 0);
}

JLIB::JResult RawArrayBool::setFloat(uint32_t index, float value) { return setBit(index, std::trunc(value) != 0.0f); }

JLIB::JResult RawArrayBool::setString(uint32_t, const char*) { return kRawNotOffered; }

JLIB::JResult RawArrayBool::setBinary(uint32_t, const uint8_t*, uint32_t) { return kRawNotOffered; }

JLIB::JResult RawArrayBool::duplicate(const IRawArray& source, JLIB::HeapId heap)
{
    if (heap.id() >= kHeapCount) return kRawNotOffered;
    if (!source.isValid()) return JLIB::kInvalidArgument;
    if (source.type() != kTypeBool) return kRawTypeMismatch;
    if (source.totalNum() != m_num) {
        if (JLIB::isFailure(initialize(source.totalNum()))) return kRawNoMemory;
    }
    return recall(source);
}

JLIB::JResult RawArrayBool::recall(const IRawArray& source) { return recall(source, 0, m_num); }

JLIB::JResult RawArrayBool::recall(const IRawArray& source, uint32_t start, uint32_t count)
{
    if (!isValid()) return kRawNotSetUp;
    if (!source.isValid()) return JLIB::kInvalidArgument;
    if (source.type() != kTypeBool) return kRawTypeMismatch;
    const uint32_t n = m_num < source.totalNum() ? m_num : source.totalNum();
    JLIB_RETURN_IF_FAILED(internal::clipRange(n, start, count));
    copyBits(static_cast<const uint8_t*>(source.dataPtr(0)), start, count);
    return JLIB::kOk;
}

JLIB::JResult RawArrayBool::recall(const void* data, uint32_t length, uint8_t type, uint32_t itemSize)
{
    return recall(data, length, type, itemSize, 0, m_num);
}

JLIB::JResult RawArrayBool::recall(const void* data, uint32_t length, uint8_t type, uint32_t itemSize,
                                   uint32_t start, uint32_t count)
{
    (void)itemSize;  // one bit per element whatever the stored item size says
    if (!isValid()) return kRawNotSetUp;
    if (!data || length == 0) return JLIB::kInvalidArgument;
    if (type != kTypeBool) return kRawTypeMismatch;
    const uint64_t held = uint64_t(length) * 8u;
    const uint32_t n = m_num < held ? m_num : uint32_t(held);
    JLIB_RETURN_IF_FAILED(internal::clipRange(n, start, count));
    copyBits(static_cast<const uint8_t*>(data), start, count);
    return JLIB::kOk;
}

void RawArrayBool::copyBits(const uint8_t* source, uint32_t start, uint32_t count)
{
    uint8_t* own = m_block.data();
    if (source == own) return;  // the same bits at the same positions
    uint32_t i = start;
    const uint32_t end = start + count;
    if ((i & 7u) == 0) {
        // Whole bytes inside the range hold only copied elements.
        const uint32_t bytes = count / 8u;
        std::memcpy(own + (i >> 3), source + (i >> 3), bytes);
        i += bytes * 8u;
    }
    for (; i < end; ++i) (void)setBit(i, bitOf(source, i));
}

uint32_t RawArrayBool::print() const
{
    if (!isValid()) {
        std::printf("null\n");
        return 0;
    }
    std::printf("{ ");
    for (uint32_t i = 0; i < m_num; ++i) std::printf(i + 1 < m_num ? "%d, " : "%d ", int(bit(i)));
    std::printf("}\n");
    return 0;
}

}  // namespace PDB
