#include "pdb_ParamRawArrayByteData.h"

#include <cstdio>
#include <cstring>

#include "jlib/jlib_cfg.h"

namespace PDB {

using internal::kRawNoMemory;
using internal::kRawNotOffered;
using internal::kRawNotSetUp;
using internal::kRawTypeMismatch;

namespace {

constexpr unsigned kHeapCount = 32;
// Above this, rounding an item size up to 4 wraps to 0.
constexpr uint32_t kMaxItemSize = 0xFFFFFFFCu;

uint32_t boundedLength(const char* text, uint32_t maximum)
{
    const void* zero = std::memchr(text, 0, maximum);
    return zero ? uint32_t(static_cast<const char*>(zero) - text) : maximum;
}

}  // namespace

// ---- RawArrayAbstractByteData ----

uint64_t RawArrayAbstractByteData::storageSize(uint32_t count, uint32_t itemSize)
{
    if (itemSize == 0 || itemSize > kMaxItemSize) return 0;
    return uint64_t(count) * roundUp4(itemSize);
}

RawArrayAbstractByteData::RawArrayAbstractByteData(const RawArrayAbstractByteData& other) : IRawArray()
{
    *this = other;
}

RawArrayAbstractByteData& RawArrayAbstractByteData::operator=(const RawArrayAbstractByteData& other)
{
    if (this == &other) return *this;
    (void)clear();
    if (!other.isValid()) return *this;
    if (JLIB::isFailure(initialize(other.m_num, other.m_itemSize))) return *this;  // an empty copy
    std::memcpy(m_block.data(), other.m_block.data(), totalSize());
    return *this;
}

RawArrayAbstractByteData::RawArrayAbstractByteData(RawArrayAbstractByteData&& other) noexcept
    : IRawArray(),
      m_block(std::move(other.m_block)),
      m_num(std::exchange(other.m_num, 0u)),
      m_itemSize(std::exchange(other.m_itemSize, 0u))
{
}

RawArrayAbstractByteData& RawArrayAbstractByteData::operator=(RawArrayAbstractByteData&& other) noexcept
{
    if (this != &other) {
        m_block = std::move(other.m_block);
        m_num = std::exchange(other.m_num, 0u);
        m_itemSize = std::exchange(other.m_itemSize, 0u);
    }
    return *this;
}

JLIB::JResult RawArrayAbstractByteData::initialize(uint32_t count, uint32_t itemSize)
{
    (void)clear();
    if (count == 0 || !m_block.allocate(storageSize(count, itemSize))) return JLIB::kFailed;
    m_num = count;
    m_itemSize = itemSize;
    return JLIB::kOk;
}

JLIB::JResult RawArrayAbstractByteData::initialize(uint32_t count, uint32_t itemSize, const void* data,
                                                   uint32_t length)
{
    JLIB_RETURN_IF_FAILED(initialize(count, itemSize));
    const uint32_t bytes = length < totalSize() ? length : totalSize();
    if (data && bytes > 0) std::memcpy(m_block.data(), data, bytes);
    return JLIB::kOk;
}

JLIB::JResult RawArrayAbstractByteData::initializeWithExistMemory(uint32_t count, uint32_t itemSize, void* memory,
                                                                  uint32_t length)
{
    (void)clear();
    const uint64_t size = storageSize(count, itemSize);
    if (!memory || count == 0 || size == 0 || size > length) return JLIB::kFailed;
    m_block.wrap(memory);
    m_num = count;
    m_itemSize = itemSize;
    return JLIB::kOk;
}

uint32_t RawArrayAbstractByteData::clear()
{
    m_block.release();
    m_num = 0;
    m_itemSize = 0;
    return 0;
}

void RawArrayAbstractByteData::fillSlot(uint32_t index, const void* content, uint32_t n)
{
    uint8_t* target = slot(index);
    if (n > 0) std::memmove(target, content, n);  // the content may lie in this very slot
    std::memset(target + n, 0, size_t(roundUp4(m_itemSize)) - n);
}

JLIB::JResult RawArrayAbstractByteData::putContent(uint32_t index, const void* content, uint32_t n)
{
    JLIB::JResult result = JLIB::kOk;
    if (n > m_itemSize) {
        n = m_itemSize;
        result = kRawValueCut;
    }
    fillSlot(index, content, n);
    return result;
}

JLIB::JResult RawArrayAbstractByteData::refuseAccess(void* buffer, uint32_t length)
{
    if (buffer && length > 0) std::memset(buffer, 0, length);
    return kRawNotOffered;
}

JLIB::JResult RawArrayAbstractByteData::duplicate(const IRawArray& source, JLIB::HeapId heap)
{
    if (heap.id() >= kHeapCount) return kRawNotOffered;
    if (!source.isValid()) return JLIB::kInvalidArgument;
    if (source.type() != type()) return kRawTypeMismatch;
    if (source.totalNum() != m_num || source.itemSize() != m_itemSize) {
        if (JLIB::isFailure(initialize(source.totalNum(), source.itemSize()))) return kRawNoMemory;
    }
    return recall(source);
}

JLIB::JResult RawArrayAbstractByteData::recall(const IRawArray& source) { return recall(source, 0, m_num); }

JLIB::JResult RawArrayAbstractByteData::recall(const IRawArray& source, uint32_t start, uint32_t count)
{
    if (!isValid()) return kRawNotSetUp;
    if (!source.isValid()) return JLIB::kInvalidArgument;
    if (source.type() != type()) return kRawTypeMismatch;
    const uint32_t n = m_num < source.totalNum() ? m_num : source.totalNum();
    JLIB_RETURN_IF_FAILED(internal::clipRange(n, start, count));
    copySlots(static_cast<const uint8_t*>(source.dataPtr(0)), source.itemSize(), start, count);
    return JLIB::kOk;
}

JLIB::JResult RawArrayAbstractByteData::recall(const void* data, uint32_t length, uint8_t type, uint32_t itemSize)
{
    return recall(data, length, type, itemSize, 0, m_num);
}

JLIB::JResult RawArrayAbstractByteData::recall(const void* data, uint32_t length, uint8_t type, uint32_t itemSize,
                                               uint32_t start, uint32_t count)
{
    if (!isValid()) return kRawNotSetUp;
    if (!data || length == 0) return JLIB::kInvalidArgument;
    if (type != this->type()) return kRawTypeMismatch;
    if (itemSize == 0 || itemSize > kMaxItemSize) {
        // Stored slots of no size cannot be counted.
        JLIB_LOG("[E] RawArrayAbstractByteData::recall - bad stored item size. [type=0x%02x, itemSize=%u]\n",
                 unsigned(type), itemSize);
        return JLIB::kInvalidArgument;
    }
    const uint32_t held = length / roundUp4(itemSize);
    const uint32_t n = m_num < held ? m_num : held;
    JLIB_RETURN_IF_FAILED(internal::clipRange(n, start, count));
    copySlots(static_cast<const uint8_t*>(data), itemSize, start, count);
    return JLIB::kOk;
}

void RawArrayAbstractByteData::copySlots(const uint8_t* source, uint32_t sourceItemSize, uint32_t start,
                                         uint32_t count)
{
    const size_t ownStride = roundUp4(m_itemSize);
    if (sourceItemSize == m_itemSize) {
        std::memmove(m_block.data() + start * ownStride, source + start * ownStride, count * ownStride);
        return;
    }
    const size_t sourceStride = roundUp4(sourceItemSize);
    const uint32_t common = sourceItemSize < m_itemSize ? sourceItemSize : m_itemSize;
    for (uint32_t j = start; j < start + count; ++j) fillSlot(j, source + j * sourceStride, common);
}

// ---- RawArrayString ----

RawArrayString::RawArrayString(uint32_t count, uint32_t itemSize)
{
    (void)initialize(count, itemSize);  // a refused shape leaves the storage empty, which isValid() shows
}

JLIB::JResult RawArrayString::getVariant(JVariant& value, uint32_t index) const
{
    const JLIB::JResult r = value.setString(reinterpret_cast<const char*>(slot(index)), itemSize());
    if (JLIB::isFailure(r)) {
        (void)value.invalid();  // an over-long text must not read as "ERROR:"
        return kRawNoMemory;
    }
    return JLIB::kOk;
}

JLIB::JResult RawArrayString::getString(uint32_t index, char* buffer, uint32_t length) const
{
    if (!buffer || uint64_t(length) < uint64_t(itemSize()) + 1u) return JLIB::kInvalidArgument;
    const char* text = reinterpret_cast<const char*>(slot(index));
    const uint32_t n = boundedLength(text, itemSize());
    std::memcpy(buffer, text, n);
    buffer[n] = '\0';
    return JLIB::kOk;
}

JLIB::JResult RawArrayString::getBinary(uint32_t, uint8_t* buffer, uint32_t length) const
{
    return refuseAccess(buffer, length);
}

JLIB::JResult RawArrayString::setVariant(uint32_t index, const JVariant& value)
{
    const char* text = value.getType() == JVariant::kTypeString ? value.toString() : nullptr;
    if (!text) {
        fillSlot(index, nullptr, 0);
        return JLIB::kOk;
    }
    const uint32_t stored = value.getStringLength();
    return putContent(index, text, stored > 0 ? stored - 1 : 0);
}

JLIB::JResult RawArrayString::setString(uint32_t index, const char* text)
{
    fillSlot(index, text, text ? boundedLength(text, itemSize()) : 0);
    return JLIB::kOk;
}

JLIB::JResult RawArrayString::setBinary(uint32_t, const uint8_t*, uint32_t) { return kRawNotOffered; }

uint32_t RawArrayString::print() const
{
    if (!isValid()) {
        std::printf("null\n");
        return 0;
    }
    std::printf("{ ");
    for (uint32_t i = 0; i < totalNum(); ++i) {
        const char* text = reinterpret_cast<const char*>(slot(i));
        std::printf("%.*s", int(boundedLength(text, itemSize())), text);
        std::printf(i + 1 < totalNum() ? ", " : " ");
    }
    std::printf("}\n");
    return 0;
}

// ---- RawArrayBinary ----

RawArrayBinary::RawArrayBinary(uint32_t count, uint32_t itemSize)
{
    (void)initialize(count, itemSize);  // a refused shape leaves the storage empty, which isValid() shows
}

JLIB::JResult RawArrayBinary::getVariant(JVariant& value, uint32_t index) const
{
    if (JLIB::isFailure(value.setBinary(slot(index), itemSize()))) return kRawNoMemory;
    return JLIB::kOk;
}

JLIB::JResult RawArrayBinary::getString(uint32_t, char* buffer, uint32_t length) const
{
    return refuseAccess(buffer, length);
}

JLIB::JResult RawArrayBinary::getBinary(uint32_t index, uint8_t* buffer, uint32_t length) const
{
    if (!buffer || length < itemSize()) return JLIB::kInvalidArgument;
    std::memcpy(buffer, slot(index), itemSize());
    std::memset(buffer + itemSize(), 0, length - itemSize());
    return JLIB::kOk;
}

JLIB::JResult RawArrayBinary::setVariant(uint32_t index, const JVariant& value)
{
    const uint8_t* bytes = value.getType() == JVariant::kTypeBinary ? value.toBinary() : nullptr;
    if (!bytes) {
        fillSlot(index, nullptr, 0);
        return JLIB::kOk;
    }
    return putContent(index, bytes, value.getBinaryLength());
}

JLIB::JResult RawArrayBinary::setString(uint32_t, const char*) { return kRawNotOffered; }

JLIB::JResult RawArrayBinary::setBinary(uint32_t index, const uint8_t* bytes, uint32_t length)
{
    if (!bytes || length == 0) {
        fillSlot(index, nullptr, 0);
        return JLIB::kOk;
    }
    return putContent(index, bytes, length);
}

uint32_t RawArrayBinary::print() const
{
    if (!isValid()) {
        std::printf("null\n");
        return 0;
    }
    std::printf("{ ");
    for (uint32_t i = 0; i < totalNum(); ++i) {
        std::printf("0x");
        const uint8_t* bytes = slot(i);
        for (uint32_t b = 0; b < roundUp4(itemSize()); ++b) std::printf("%02X", unsigned(bytes[b]));
        std::printf(i + 1 < totalNum() ? ", " : " ");
    }
    std::printf("}\n");
    return 0;
}

}  // namespace PDB
