#include "pdb_ParamRawArray.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <type_traits>

#include "jlib/jlib_cfg.h"
#include "pdb_ParamRawArrayBool.h"
#include "pdb_ParamRawArrayByteData.h"

namespace PDB {

using internal::kRawNoMemory;
using internal::kRawNotOffered;
using internal::kRawNotSetUp;
using internal::kRawTypeMismatch;

namespace {

constexpr unsigned kHeapCount = 32;

// Float to integer: truncation toward zero; a NaN gives 0, values past 64 bits saturate, and
// the 64-bit result narrows by keeping its low bits like any integer.
template <typename To>
To fromFloat(float value)
{
    if constexpr (std::is_floating_point_v<To>) {
        return value;
    } else {
        if (std::isnan(value)) return To(0);
        const double t = std::trunc(double(value));
        int64_t wide;
        if (t >= 9223372036854775807.0) {
            wide = INT64_MAX;
        } else if (t <= -9223372036854775808.0) {
            wide = INT64_MIN;
        } else {
            wide = int64_t(t);
        }
        return static_cast<To>(wide);
    }
}

// Plain value conversion: integers narrow keeping their low bits and widen by their own
// signedness; integers become the nearest float.
template <typename To, typename From>
To convertValue(From value)
{
    if constexpr (std::is_floating_point_v<From>) {
        return fromFloat<To>(value);
    } else {
        return static_cast<To>(value);
    }
}

template <typename T>
constexpr uint8_t typeCodeOf()
{
    if constexpr (std::is_same_v<T, uint32_t>) return kTypeUInt32;
    if constexpr (std::is_same_v<T, uint16_t>) return kTypeUInt16;
    if constexpr (std::is_same_v<T, uint8_t>) return kTypeUInt8;
    if constexpr (std::is_same_v<T, int32_t>) return kTypeSInt32;
    if constexpr (std::is_same_v<T, int16_t>) return kTypeSInt16;
    if constexpr (std::is_same_v<T, int8_t>) return kTypeSInt8;
    return kTypeFloat;
}

JLIB::JResult zeroAndRefuse(void* buffer, uint32_t length)
{
    if (buffer && length > 0) std::memset(buffer, 0, length);
    return kRawNotOffered;
}

uint32_t elementWidth(uint8_t type)
{
    switch (type) {
    case kTypeUInt8:
    case kTypeSInt8:
        return 1;
    case kTypeUInt16:
    case kTypeSInt16:
        return 2;
    case kTypeUInt32:
    case kTypeSInt32:
    case kTypeFloat:
        return 4;
    default:
        return 0;
    }
}

}  // namespace

uint64_t calcTotalSizeWide(uint8_t type, uint32_t itemSize, uint32_t count)
{
    if (const uint32_t width = elementWidth(type)) {
        return (uint64_t(count) * width + 3u) & ~uint64_t(3);
    }
    switch (type) {
    case kTypeBool:
        return RawArrayBool::storageSize(count);
    case kTypeString:
    case kTypeBinary:
        return uint64_t(count) * ((uint64_t(itemSize) + 3u) & ~uint64_t(3));
    default:
        return 0;
    }
}

uint32_t calcTotalSize(uint8_t type, uint32_t itemSize, uint32_t count)
{
    const uint64_t size = calcTotalSizeWide(type, itemSize, count);
    return size > 0xFFFFFFFFu ? 0 : uint32_t(size);
}

// ---- RawArray<T> ----

template <typename T>
RawArray<T>::RawArray(uint32_t count)
{
    (void)initialize(count);  // a refused count leaves the storage empty, which isValid() shows
}

template <typename T>
RawArray<T>::RawArray(const RawArray& other) : IRawArray()
{
    *this = other;
}

template <typename T>
RawArray<T>& RawArray<T>::operator=(const RawArray& other)
{
    if (this == &other) return *this;
    (void)clear();
    if (!other.isValid()) return *this;
    if (JLIB::isFailure(initialize(other.m_num))) return *this;  // exhausted memory: an empty copy
    std::memcpy(m_block.data(), other.m_block.data(), size_t(m_num) * kWidth);
    return *this;
}

template <typename T>
RawArray<T>::RawArray(RawArray&& other) noexcept
    : IRawArray(), m_block(std::move(other.m_block)), m_num(std::exchange(other.m_num, 0u))
{
}

template <typename T>
RawArray<T>& RawArray<T>::operator=(RawArray&& other) noexcept
{
    if (this != &other) {
        m_block = std::move(other.m_block);
        m_num = std::exchange(other.m_num, 0u);
    }
    return *this;
}

template <typename T>
JLIB::JResult RawArray<T>::initialize(uint32_t count)
{
    (void)clear();
    if (count == 0 || !m_block.allocate(uint64_t(count) * kWidth)) return JLIB::kFailed;
    m_num = count;
    return JLIB::kOk;
}

template <typename T>
JLIB::JResult RawArray<T>::initialize(uint32_t count, const void* data, uint32_t length)
{
    JLIB_RETURN_IF_FAILED(initialize(count));
    const uint32_t bytes = length < totalSize() ? length : totalSize();
    if (data && bytes > 0) std::memcpy(m_block.data(), data, bytes);
    return JLIB::kOk;
}

template <typename T>
JLIB::JResult RawArray<T>::initializeWithExistMemory(uint32_t count, void* memory, uint32_t length)
{
    (void)clear();
    if (!memory || count == 0 || uint64_t(count) * kWidth > length) return JLIB::kFailed;
    m_block.wrap(memory);
    m_num = count;
    return JLIB::kOk;
}

template <typename T>
uint32_t RawArray<T>::clear()
{
    m_block.release();
    m_num = 0;
    return 0;
}

template <typename T>
uint8_t RawArray<T>::type() const
{
    return typeCodeOf<T>();
}

// Byte copies keep wrapped memory of any alignment safe.
template <typename T>
T RawArray<T>::load(uint32_t index) const
{
    T value;
    std::memcpy(&value, m_block.data() + size_t(index) * kWidth, kWidth);
    return value;
}

template <typename T>
void RawArray<T>::store(uint32_t index, T value)
{
    std::memcpy(m_block.data() + size_t(index) * kWidth, &value, kWidth);
}

template <typename T>
JLIB::JResult RawArray<T>::getVariant(JVariant& value, uint32_t index) const
{
    const T element = load(index);
    if constexpr (std::is_floating_point_v<T>) {
        return value.setFloat(element);
    } else if constexpr (std::is_signed_v<T>) {
        return value.setInt32(int32_t(element));
    } else {
        return value.setUInt32(uint32_t(element));
    }
}

template <typename T>
uint32_t RawArray<T>::getUInt32(uint32_t index) const
{
    return convertValue<uint32_t>(load(index));
}

template <typename T>
uint16_t RawArray<T>::getUInt16(uint32_t index) const
{
    return convertValue<uint16_t>(load(index));
}

template <typename T>
uint8_t RawArray<T>::getUInt8(uint32_t index) const
{
    return convertValue<uint8_t>(load(index));
}

template <typename T>
int32_t RawArray<T>::getSInt32(uint32_t index) const
{
    return convertValue<int32_t>(load(index));
}

template <typename T>
int16_t RawArray<T>::getSInt16(uint32_t index) const
{
    return convertValue<int16_t>(load(index));
}

template <typename T>
int8_t RawArray<T>::getSInt8(uint32_t index) const
{
    return convertValue<int8_t>(load(index));
}

template <typename T>
float RawArray<T>::getFloat(uint32_t index) const
{
    return convertValue<float>(load(index));
}

template <typename T>
bool RawArray<T>::getBool(uint32_t index) const
{
    return load(index) != T(0);  // a NaN compares unequal, so it reads as set
}

template <typename T>
JLIB::JResult RawArray<T>::getString(uint32_t, char* buffer, uint32_t length) const
{
    return zeroAndRefuse(buffer, length);
}

template <typename T>
JLIB::JResult RawArray<T>::getBinary(uint32_t, uint8_t* buffer, uint32_t length) const
{
    return zeroAndRefuse(buffer, length);
}

template <typename T>
JLIB::JResult RawArray<T>::setVariant(uint32_t index, const JVariant& value)
{
    // The value's own conversions: integers accept only Int32 and UInt32, floats also Float;
    // anything else converts to 0.
    if constexpr (std::is_floating_point_v<T>) {
        store(index, value.toFloat());
    } else if constexpr (std::is_signed_v<T>) {
        store(index, static_cast<T>(value.toInt32()));
    } else {
        store(index, static_cast<T>(value.toUInt32()));
    }
    return JLIB::kOk;
}

template <typename T>
JLIB::JResult RawArray<T>::setUInt32(uint32_t index, uint32_t value)
{
    store(index, convertValue<T>(value));
    return JLIB::kOk;
}

template <typename T>
JLIB::JResult RawArray<T>::setUInt16(uint32_t index, uint16_t value)
{
    store(index, convertValue<T>(value));
    return JLIB::kOk;
}

template <typename T>
JLIB::JResult RawArray<T>::setUInt8(uint32_t index, uint8_t value)
{
    store(index, convertValue<T>(value));
    return JLIB::kOk;
}

template <typename T>
JLIB::JResult RawArray<T>::setSInt32(uint32_t index, int32_t value)
{
    store(index, convertValue<T>(value));
    return JLIB::kOk;
}

template <typename T>
JLIB::JResult RawArray<T>::setSInt16(uint32_t index, int16_t value)
{
    store(index, convertValue<T>(value));
    return JLIB::kOk;
}

template <typename T>
JLIB::JResult RawArray<T>::setSInt8(uint32_t index, int8_t value)
{
    store(index, convertValue<T>(value));
    return JLIB::kOk;
}

template <typename T>
JLIB::JResult RawArray<T>::setFloat(uint32_t index, float value)
{
    store(index, convertValue<T>(value));
    return JLIB::kOk;
}

template <typename T>
JLIB::JResult RawArray<T>::setBool(uint32_t index, bool value)
{
    store(index, value ? T(1) : T(0));
    return JLIB::kOk;
}

template <typename T>
JLIB::JResult RawArray<T>::setString(uint32_t, const char*)
{
    return kRawNotOffered;
}

template <typename T>
JLIB::JResult RawArray<T>::setBinary(uint32_t, const uint8_t*, uint32_t)
{
    return kRawNotOffered;
}

template <typename T>
JLIB::JResult RawArray<T>::duplicate(const IRawArray& source, JLIB::HeapId heap)
{
    if (heap.id() >= kHeapCount) return kRawNotOffered;
    if (!source.isValid()) return JLIB::kInvalidArgument;
    if (source.type() != type()) return kRawTypeMismatch;
    if (source.totalNum() != m_num) {
        if (JLIB::isFailure(initialize(source.totalNum()))) return kRawNoMemory;
    }
    return recall(source);
}

template <typename T>
JLIB::JResult RawArray<T>::recall(const IRawArray& source)
{
    return recall(source, 0, m_num);
}

template <typename T>
JLIB::JResult RawArray<T>::recall(const IRawArray& source, uint32_t start, uint32_t count)
{
    if (!isValid()) return kRawNotSetUp;
    if (!source.isValid()) return JLIB::kInvalidArgument;
    if (source.type() != type()) return kRawTypeMismatch;
    const uint32_t n = m_num < source.totalNum() ? m_num : source.totalNum();
    JLIB_RETURN_IF_FAILED(internal::clipRange(n, start, count));
    copyRange(static_cast<const uint8_t*>(source.dataPtr(0)), start, count);
    return JLIB::kOk;
}

template <typename T>
JLIB::JResult RawArray<T>::recall(const void* data, uint32_t length, uint8_t type, uint32_t itemSize)
{
    return recall(data, length, type, itemSize, 0, m_num);
}

template <typename T>
JLIB::JResult RawArray<T>::recall(const void* data, uint32_t length, uint8_t type, uint32_t itemSize,
                                  uint32_t start, uint32_t count)
{
    if (!isValid()) return kRawNotSetUp;
    if (!data || length == 0) return JLIB::kInvalidArgument;
    if (type != this->type()) return kRawTypeMismatch;
    if (itemSize != kWidth) {
        JLIB_LOG("[E] RawArray::recall - stored width differs. [type=0x%02x, itemSize=%u]\n", unsigned(type),
                 itemSize);
        return JLIB::kInvalidArgument;
    }
    const uint32_t held = length / kWidth;
    const uint32_t n = m_num < held ? m_num : held;
    JLIB_RETURN_IF_FAILED(internal::clipRange(n, start, count));
    copyRange(static_cast<const uint8_t*>(data), start, count);
    return JLIB::kOk;
}

template <typename T>
void RawArray<T>::copyRange(const uint8_t* source, uint32_t start, uint32_t count)
{
    const size_t offset = size_t(start) * kWidth;
    std::memmove(m_block.data() + offset, source + offset, size_t(count) * kWidth);  // may be our own block
}

template <typename T>
uint32_t RawArray<T>::print() const
{
    if (!isValid()) {
        std::printf("null\n");
        return 0;
    }
    std::printf("{ ");
    for (uint32_t i = 0; i < m_num; ++i) {
        if constexpr (std::is_floating_point_v<T>) {
            std::printf("%f", double(load(i)));
        } else {
            std::printf("%d", int(load(i)));
        }
        std::printf(i + 1 < m_num ? ", " : " ");
    }
    std::printf("}\n");
    return 0;
}

template class RawArray<uint32_t>;
template class RawArray<uint16_t>;
template class RawArray<uint8_t>;
template class RawArray<int32_t>;
template class RawArray<int16_t>;
template class RawArray<int8_t>;
template class RawArray<float>;

// ---- RawArrayNull ----

RawArrayNull& RawArrayNull::getNullObject()
{
    static RawArrayNull s_instance;
    return s_instance;
}

JLIB::JResult RawArrayNull::getVariant(JVariant& value, uint32_t) const
{
    (void)value.invalid();  // always 0
    return JLIB::kOk;
}

JLIB::JResult RawArrayNull::getString(uint32_t, char* buffer, uint32_t length) const
{
    if (buffer && length > 0) std::memset(buffer, 0, length);
    return JLIB::kOk;
}

JLIB::JResult RawArrayNull::getBinary(uint32_t, uint8_t* buffer, uint32_t length) const
{
    if (buffer && length > 0) std::memset(buffer, 0, length);
    return JLIB::kOk;
}

uint32_t RawArrayNull::print() const
{
    std::printf("null\n");
    return 0;
}

// ---- factories ----

namespace {

enum class SetUp { kOwn, kOwnWithData, kWrap };

struct SetUpArgs {
    SetUp how;
    uint32_t itemSize;
    uint32_t count;
    const void* data;
    void* memory;
    uint32_t length;
};

template <typename A>
JLIB::JResult setUpFixed(A& storage, const SetUpArgs& a)
{
    switch (a.how) {
    case SetUp::kOwn:
        return storage.initialize(a.count);
    case SetUp::kOwnWithData:
        return storage.initialize(a.count, a.data, a.length);
    case SetUp::kWrap:
        return storage.initializeWithExistMemory(a.count, a.memory, a.length);
    }
    return JLIB::kFailed;
}

JLIB::JResult setUpSlots(RawArrayAbstractByteData& storage, const SetUpArgs& a)
{
    switch (a.how) {
    case SetUp::kOwn:
        return storage.initialize(a.count, a.itemSize);
    case SetUp::kOwnWithData:
        return storage.initialize(a.count, a.itemSize, a.data, a.length);
    case SetUp::kWrap:
        return storage.initializeWithExistMemory(a.count, a.itemSize, a.memory, a.length);
    }
    return JLIB::kFailed;
}

template <typename A>
JLIB::JResult makeFixed(std::unique_ptr<IRawArray>& out, const SetUpArgs& a)
{
    std::unique_ptr<A> storage(new (std::nothrow) A());
    if (!storage) return kRawNoMemory;
    if (JLIB::isFailure(setUpFixed(*storage, a))) return kRawNoMemory;
    out = std::move(storage);
    return JLIB::kOk;
}

template <typename A>
JLIB::JResult makeSlots(std::unique_ptr<IRawArray>& out, const SetUpArgs& a)
{
    std::unique_ptr<A> storage(new (std::nothrow) A());
    if (!storage) return kRawNoMemory;
    if (JLIB::isFailure(setUpSlots(*storage, a))) return kRawNoMemory;
    out = std::move(storage);
    return JLIB::kOk;
}

JLIB::JResult makeStorage(std::unique_ptr<IRawArray>& out, uint8_t type, const SetUpArgs& a)
{
    out.reset();
    JLIB::JResult result = kRawNoMemory;
    switch (type) {
    case kTypeUInt32:
        result = makeFixed<RawArray<uint32_t>>(out, a);
        break;
    case kTypeUInt16:
        result = makeFixed<RawArray<uint16_t>>(out, a);
        break;
    case kTypeUInt8:
        result = makeFixed<RawArray<uint8_t>>(out, a);
        break;
    case kTypeSInt32:
        result = makeFixed<RawArray<int32_t>>(out, a);
        break;
    case kTypeSInt16:
        result = makeFixed<RawArray<int16_t>>(out, a);
        break;
    case kTypeSInt8:
        result = makeFixed<RawArray<int8_t>>(out, a);
        break;
    case kTypeFloat:
        result = makeFixed<RawArray<float>>(out, a);
        break;
    case kTypeBool:
        result = makeFixed<RawArrayBool>(out, a);
        break;
    case kTypeString:
        result = makeSlots<RawArrayString>(out, a);
        break;
    case kTypeBinary:
        result = makeSlots<RawArrayBinary>(out, a);
        break;
    default:
        JLIB_LOG("[E] createRawArray - unknown type code. [type=0x%02x]\n", unsigned(type));
        return kRawNoMemory;
    }
    if (JLIB::isFailure(result)) {
        JLIB_LOG("[E] createRawArray - storage not set up. [type=0x%02x, itemSize=%u, count=%u]\n", unsigned(type),
                 a.itemSize, a.count);
    }
    return result;
}

}  // namespace

JLIB::JResult createRawArray(std::unique_ptr<IRawArray>& out, uint8_t type, uint32_t itemSize, uint32_t count,
                             JLIB::HeapId heap)
{
    (void)heap;  // bookkeeping only: blocks come from the general allocator
    return makeStorage(out, type, SetUpArgs{SetUp::kOwn, itemSize, count, nullptr, nullptr, 0});
}

JLIB::JResult createRawArray(std::unique_ptr<IRawArray>& out, uint8_t type, uint32_t itemSize, uint32_t count,
                             const void* data, uint32_t length, JLIB::HeapId heap)
{
    (void)heap;
    return makeStorage(out, type, SetUpArgs{SetUp::kOwnWithData, itemSize, count, data, nullptr, length});
}

JLIB::JResult createRawArrayWithExistingMemory(std::unique_ptr<IRawArray>& out, uint8_t type, uint32_t itemSize,
                                               uint32_t count, void* memory, uint32_t length)
{
    return makeStorage(out, type, SetUpArgs{SetUp::kWrap, itemSize, count, nullptr, memory, length});
}

}  // namespace PDB
